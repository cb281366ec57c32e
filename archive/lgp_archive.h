// SPDX-License-Identifier: MIT
#pragma once
// The catalogue of the one LGP archive open at a time.
//
// It keeps the archive's path, not an open file: a read reopens the archive (or, within
// a ReadScope, uses the scope's one open file) and finds the file Load read (same
// identity, size and modification time) or reads nothing: an archive replaced or
// rewritten since is never read under the old catalogue.
// Every byte of the file is untrusted: a table of contents cut short refuses the file,
// an entry whose data lies past the end of the file stays listed and its reads deliver
// only the bytes the file really holds.
//
// Safety contract, whatever the file holds:
//  - no read outside the file and no write outside a buffer the catalogue allocated or
//    the caller's buffer of the documented size;
//  - an entry whose data header is not wholly inside the file lists size 0; one whose
//    data runs past the end keeps the size its header gives, and reads return fewer;
//  - reads allocate at most what the file holds (or the decoded size, or the hint),
//    so a lying size field cannot make them allocate gigabytes;
//  - an index at or past the count reads as an empty entry (name "", size 0) and its
//    reads return 0; the table is never indexed outside its records;
//  - Load builds the new table aside and swaps it in only once complete.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/lgp_bytes.h"
#include "archive/lgp_tables.h"
#include "platform/host_file.h"

// Entry type codes; they double as the icon index in the index list.
enum : uint8_t {
    LGP_TYPE_OTHER = 0,
    LGP_TYPE_TEX = 1,
    LGP_TYPE_CAM = 2,
    LGP_TYPE_FIELD = 3,  // entries of "flevel.lgp": LZSS-compressed
    LGP_TYPE_P = 4,
    LGP_TYPE_MID = 5,
    LGP_TYPE_TXT = 6,
    LGP_TYPE_A = 7,
    LGP_TYPE_TUT = 8,
    LGP_TYPE_HRC = 9,
};

// Whether entries of a type are stored compressed: a 4-byte stream length L, then an
// L-byte LZSS stream.
inline bool IsCompressedType(uint8_t type) {
    return type == LGP_TYPE_FIELD;
}

// The type code Load gives an entry named `entryName` in an archive whose file is named
// `archiveFileName` (without its folder): its extension's (after the first '.'), else
// field in "flevel.lgp" and other elsewhere, ignoring ASCII letter case. What a change
// list adds or renames is typed by it, so it reads as the saved archive will.
uint8_t EntryTypeForName(const std::string& entryName, const std::string& archiveFileName);

// Why the last Load returned what it did; Load returns 0 both for a failure and for a
// valid empty archive, and callers that must tell them apart ask this.
enum class LgpLoadStatus {
    Ok,            // loaded (possibly with 0 entries)
    CannotOpen,    // the file could not be opened or read
    NotAnArchive,  // no "SQUARESOFT" signature
    CutShort,      // the signature is there, but the file ends inside the count or the
                   // table of contents: refused like a wrong signature
};

// Short human text for a status: "cannot open file", "not an LGP archive", ...
const char* DescribeLoadStatus(LgpLoadStatus status);

class LgpSnapshot;

class CLgpArchive {
public:
    CLgpArchive();
    virtual ~CLgpArchive();
    CLgpArchive(const CLgpArchive&) = delete;
    CLgpArchive& operator=(const CLgpArchive&) = delete;

    // Reads the header, the table of contents and every data header in one pass.
    // Returns the number of entries, or 0 on failure (see GetLastLoadStatus()).
    // On failure the previous entries, count and path stay; a file that opens but is
    // refused still records its length, as GetArchiveLength() reports.
    uint16_t Load(const char* path);
    // The same from a block of bytes in memory, which the catalogue keeps: `name` stands
    // for the file's name (it tells the field archive). Reads then go to the block, the
    // path is "", and the identity is not known, so nothing takes it for a file.
    uint16_t LoadFromMemory(std::vector<uint8_t> bytes, const std::string& name);
    LgpLoadStatus GetLastLoadStatus() const;

    // Indices are taken modulo 65,536 and must be below GetEntryCount().
    uint16_t GetEntryCount() const;
    const char* GetEntryName(uint16_t index) const;       // up to 20 characters
    const char* GetEntryExtension(uint16_t index) const;  // text after the first '.', or ""
    uint32_t GetEntrySize(uint16_t index) const;
    uint8_t GetEntryType(uint16_t index) const;
    uint32_t GetEntryOffset(uint16_t index) const;
    uint32_t GetArchiveLength() const;
    const char* GetArchivePath() const;

    // The folder the conflict table gives an entry that shares its name with others, ""
    // for every other entry (and for all when the table cannot be used).
    const char* GetEntryFolder(uint16_t index) const;
    // The check code and conflict index of the entry's table-of-contents record.
    uint8_t GetEntryCheckCode(uint16_t index) const;
    uint16_t GetEntryConflictIndex(uint16_t index) const;
    // The lookup and conflict tables as Load read them.
    const LgpTables& GetTables() const;

    // Reads the entry's stored bytes. *ppBuffer null: allocates with malloc (the caller
    // frees); otherwise *ppBuffer must hold GetEntrySize(index) bytes. Returns the
    // number of bytes delivered (fewer than the size when the file is cut short), or 0
    // without allocating when the archive cannot be opened.
    // An allocated block holds exactly the bytes delivered (a 1-byte block for none, so
    // success always leaves a block to free); in the caller's buffer the bytes past the
    // count, up to the entry's size, are zeroed.
    uint32_t ReadEntry(uint16_t index, unsigned char** ppBuffer) const;

    // Reads and decodes a compressed entry (4-byte length L, then L stream bytes).
    //  ppBuffer null:                 returns the decoded size, allocates nothing;
    //  *ppBuffer null:                allocates (size hint, or the decoded size when the
    //                                 hint is 0), decodes, returns the count written;
    //  *ppBuffer not null:            decodes into the caller's buffer, which must hold
    //                                 the decoded size.
    // Never writes past what it allocated, whatever the hint. Returns 0 without
    // allocating when the archive cannot be opened.
    // A hint below the decoded size yields the first `hint` bytes and returns the hint; an
    // allocated block past the count reads as zeros. The stream is bounded by its entry:
    // a length L past the end of the entry (or of the file) decodes only the bytes the
    // entry holds, never the next entry's; an entry too short for the length field, or
    // one whose field the file cuts off, reads as L = 0.
    uint32_t ReadEntryDecompressed(uint16_t index, unsigned char** ppBuffer,
                                   uint32_t nSizeHint) const;

    // The compressed length L stored in front of a compressed entry's stream, as the file
    // gives it (0 when the archive cannot be opened or the field lies past the end), so
    // that callers can tell a stream the file cuts short from one that is whole.
    uint32_t ReadEntryStreamLength(uint16_t index) const;

    // Whether the archive file holds the entry's data header and every byte its size
    // gives. Reads of an entry that is not whole deliver only its start (or nothing), so
    // callers writing the entry out can tell a short copy from the real thing.
    bool IsEntryWhole(uint16_t index) const;

    // The file as Load found it. ArchiveChangedOnDisk() tells a read that failed because
    // the path now names another file, or one rewritten, or none.
    const FileIdentity& GetArchiveIdentity() const;
    bool ArchiveChangedOnDisk() const;
    // Whether an open file is the one Load read.
    bool IsLoadedFile(const ReadOnlyFile& file) const;
    // The bytes Load read, opened anew: the file at the path, or the block in memory.
    LgpBytes OpenBytes() const;
    // Whether opened bytes are the ones Load read, as opened or as they are now.
    bool IsLoadedBytes(const LgpBytes& bytes) const;
    bool StillLoadedBytes(const LgpBytes& bytes) const;

    // While a ReadScope lives, the catalogue's reads go to the one file it opened instead
    // of opening the archive again for each read: a run of many reads (Verify, Properties,
    // render --all) holds one. Reads still deliver nothing once that file is rewritten.
    // One scope at a time per catalogue, on the thread that reads.
    class ReadScope {
    public:
        explicit ReadScope(const CLgpArchive& archive);
        ~ReadScope();
        ReadScope(const ReadScope&) = delete;
        ReadScope& operator=(const ReadScope&) = delete;

    private:
        const CLgpArchive& m_archive;
        LgpBytes m_file;
    };

    // The entries as they stand, as an entry source of their own (archive/lgp_snapshot.h):
    // it keeps reading this archive whatever is loaded next. The same snapshot is handed
    // out until a Load succeeds.
    std::shared_ptr<const LgpSnapshot> Snapshot() const;

private:
    struct Entry;
    // What Load read, never changed once made: a snapshot shares it rather than copying
    // 65,535 rows, and the next Load makes new contents instead of touching these.
    struct Contents;
    const std::vector<Entry>& Entries() const;
    const LgpTables& Tables() const;
    mutable std::shared_ptr<const LgpSnapshot> m_snapshot;
    // The file a read goes to, or null when it is not the one Load read: the scope's
    // while one lives, else one opened into `own` for this read alone.
    const LgpBytes* FileForRead(std::optional<LgpBytes>& own) const;
    uint16_t LoadFrom(const LgpBytes& file, const std::string& path, const std::string& name);

    std::shared_ptr<const Contents> m_contents;  // never null
    mutable const LgpBytes* m_scopeFile = nullptr;
    LgpBlock m_block;  // the bytes of an archive loaded from memory
    uint32_t m_dwArchiveLength = 0;
    std::string m_szArchivePath;
    LgpLoadStatus m_lastStatus = LgpLoadStatus::Ok;
    FileIdentity m_identity;
};
