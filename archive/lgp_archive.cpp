// SPDX-License-Identifier: MIT
#include "archive/lgp_archive.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/host_file.h"
#ifdef __linux__
#include <sys/mman.h>
#endif

#include "archive/lgp_layout.h"
#include "archive/lgp_snapshot.h"
#include "archive/lzss.h"
#include "platform/ascii.h"
#include "platform/byte_cursor.h"
#include "platform/file_output.h"

namespace {

using lgp::kCountOffset;
using lgp::kDataHeaderSize;
using lgp::kHeaderSize;
using lgp::kNameSize;
using lgp::kSignature;
using lgp::kSignatureOffset;
using lgp::kSignatureSize;
using lgp::kTocRecordSize;
// Data headers are fetched together, in one read of at most kHeaderSpan bytes, while
// the data between them is shorter than kHeaderGap: reading a few kilobytes too many
// costs less than another seek and read, reading megabytes of entry data does not.
constexpr uint32_t kHeaderSpan = 1u << 20;
constexpr uint32_t kHeaderGap = 16u << 10;

uint8_t TypeFor(const char* extension, bool fieldArchive) {
    static const struct {
        const char* extension;
        uint8_t type;
    } kTypes[] = {
        {"tex", LGP_TYPE_TEX}, {"cam", LGP_TYPE_CAM}, {"p", LGP_TYPE_P},     {"mid", LGP_TYPE_MID},
        {"txt", LGP_TYPE_TXT}, {"a", LGP_TYPE_A},     {"tut", LGP_TYPE_TUT}, {"hrc", LGP_TYPE_HRC},
    };
    for (const auto& row : kTypes) {
        if (SameIgnoringCase(extension, row.extension)) {
            return row.type;
        }
    }
    return fieldArchive ? LGP_TYPE_FIELD : LGP_TYPE_OTHER;
}

// A block for an entry's bytes, released with free like any other. Large entries (a
// hex view of a 64 MiB file) would spend most of their read faulting in 4 KiB pages one
// by one; where the host allows it they get huge pages, 512 times fewer faults.
unsigned char* AllocateBlock(uint64_t size) {
#ifdef __linux__
    constexpr uint64_t kHugePage = 2u << 20;
    if (size >= 2 * kHugePage) {
        const uint64_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
        void* block = std::aligned_alloc(kHugePage, rounded);
        if (block != nullptr) {
            madvise(block, rounded, MADV_HUGEPAGE);  // a hint: refused, it is just slower
            return static_cast<unsigned char*>(block);
        }
    }
#endif
    return static_cast<unsigned char*>(std::malloc(std::max<uint64_t>(size, 1)));
}

uint32_t ClampToU32(uint64_t value) {
    return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value);
}

}  // namespace

// One row of the catalogue. The name keeps all 20 bytes of its field plus a terminator;
// the extension is the tail of the name after its first '.', so it is kept whole
// however long it is.
struct CLgpArchive::Entry {
    char szName[kNameSize + 1];
    uint8_t nExtStart;
    uint8_t nType;
    uint32_t dwOffset;
    uint32_t dwSize;
    uint8_t nCheck;
    uint16_t wConflict;
};

const char* DescribeLoadStatus(LgpLoadStatus status) {
    switch (status) {
        case LgpLoadStatus::Ok:
            return "ok";
        case LgpLoadStatus::CannotOpen:
            return "cannot open file";
        case LgpLoadStatus::NotAnArchive:
            return "not an LGP archive";
        case LgpLoadStatus::CutShort:
            return "the archive is cut short before the end of its table of contents";
    }
    return "unknown";
}

CLgpArchive::CLgpArchive() = default;
CLgpArchive::~CLgpArchive() = default;

namespace {

// Fills the entries' names, extensions, types and offsets from the table of contents.
template <typename Entry>
void ParseToc(const unsigned char* toc, std::vector<Entry>& entries, bool fieldArchive) {
    for (Entry& entry : entries) {
        std::memcpy(entry.szName, toc, kNameSize);
        entry.szName[kNameSize] = '\0';
        size_t nameLength = std::strlen(entry.szName);
        // Bytes after the name's terminator are padding and must not show up later.
        std::memset(entry.szName + nameLength, 0, kNameSize + 1 - nameLength);
        const char* dot = static_cast<const char*>(std::memchr(entry.szName, '.', nameLength));
        entry.nExtStart = static_cast<uint8_t>(dot ? dot - entry.szName + 1 : nameLength);
        entry.nType = TypeFor(entry.szName + entry.nExtStart, fieldArchive);
        entry.dwOffset = LoadLe32(toc + lgp::kTocDataOffsetOffset);
        entry.dwSize = 0;
        entry.nCheck = toc[lgp::kTocCheckCodeOffset];
        entry.wConflict = LoadLe16(toc + lgp::kTocConflictOffset);
        toc += kTocRecordSize;
    }
}

// Reads every entry's data header in file order, fetching headers that lie close
// together with one read. An entry whose size field is not wholly inside the file
// keeps size 0. Returns false on a read error.
template <typename Entry>
bool ReadDataHeaders(ReadOnlyFile& file, std::vector<Entry>& entries) {
    std::vector<uint32_t> order(entries.size());
    for (uint32_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    auto byOffset = [&](uint32_t a, uint32_t b) {
        return entries[a].dwOffset < entries[b].dwOffset;
    };
    if (!std::is_sorted(order.begin(), order.end(), byOffset)) {
        std::stable_sort(order.begin(), order.end(), byOffset);
    }
    std::vector<unsigned char> span;
    size_t next = 0;
    while (next < order.size()) {
        uint64_t first = entries[order[next]].dwOffset;
        if (file.Available(first, kDataHeaderSize) < kDataHeaderSize) {
            break;  // this and every later header lie past the end of the file
        }
        size_t last = next;
        while (last + 1 < order.size()) {
            uint64_t following = entries[order[last + 1]].dwOffset;
            uint64_t gap = following - entries[order[last]].dwOffset;
            if (gap > kHeaderGap || following + kDataHeaderSize - first > kHeaderSpan ||
                file.Available(following, kDataHeaderSize) < kDataHeaderSize) {
                break;
            }
            ++last;
        }
        uint64_t spanLength = entries[order[last]].dwOffset + uint64_t{kDataHeaderSize} - first;
        span.resize(spanLength);
        if (file.ReadAt(first, span.data(), spanLength) != spanLength) {
            return false;
        }
        for (; next <= last; ++next) {
            Entry& entry = entries[order[next]];
            entry.dwSize = LoadLe32(span.data() + (entry.dwOffset - first) + lgp::kDataSizeOffset);
        }
    }
    return true;
}

}  // namespace

uint16_t CLgpArchive::Load(const char* path) {
    if (path == nullptr) {
        m_lastStatus = LgpLoadStatus::CannotOpen;
        return 0;
    }
    ReadOnlyFile file(path);
    if (!file.IsOpen()) {
        m_lastStatus = LgpLoadStatus::CannotOpen;
        return 0;
    }
    m_dwArchiveLength = ClampToU32(file.Length());

    // Bytes 14 and 15 are never looked at, so a file that ends right after the count's
    // low 16 bits is still a (necessarily empty) archive.
    unsigned char header[kHeaderSize] = {};
    const uint64_t headerRead = file.ReadAt(0, header, kHeaderSize);
    if (headerRead < kSignatureOffset + kSignatureSize ||
        std::memcmp(header + kSignatureOffset, kSignature, kSignatureSize) != 0) {
        m_lastStatus = LgpLoadStatus::NotAnArchive;
        return 0;
    }
    // A signed file that ends early is an archive whose download or copy broke off, and
    // the user is told so rather than that it is no archive at all.
    if (headerRead < kCountOffset + 2) {
        m_lastStatus = LgpLoadStatus::CutShort;
        return 0;
    }
    // Only the low 16 bits of the count field are the count.
    uint16_t count = LoadLe16(header + kCountOffset);
    uint64_t tocLength = uint64_t{count} * kTocRecordSize;
    if (file.Available(kHeaderSize, tocLength) < tocLength) {
        m_lastStatus = LgpLoadStatus::CutShort;
        return 0;
    }
    std::vector<unsigned char> toc(tocLength);
    if (file.ReadAt(kHeaderSize, toc.data(), tocLength) != tocLength) {
        m_lastStatus = LgpLoadStatus::CannotOpen;
        return 0;
    }

    // The new table is built aside and swapped in only once complete, so a failure
    // part-way leaves the previous catalogue usable.
    std::vector<Entry> entries(count);
    ParseToc(toc.data(), entries, SameIgnoringCase(FileNamePart(path), "flevel.lgp"));
    if (!ReadDataHeaders(file, entries)) {
        m_lastStatus = LgpLoadStatus::CannotOpen;
        return 0;
    }
    LgpTables tables = ReadLgpTables(file, toc.data(), count);
    m_entries.swap(entries);
    m_tables = std::move(tables);
    m_snapshot.reset();
    m_scopeFile = nullptr;  // a scope holds the file loaded before
    m_szArchivePath = path;
    m_identity = file.Identity();
    m_lastStatus = LgpLoadStatus::Ok;
    return count;
}

LgpLoadStatus CLgpArchive::GetLastLoadStatus() const {
    return m_lastStatus;
}

uint16_t CLgpArchive::GetEntryCount() const {
    return static_cast<uint16_t>(m_entries.size());
}

// Indices at or past the count are the caller's mistake; they answer as an empty entry
// rather than reading outside the table.
const char* CLgpArchive::GetEntryName(uint16_t index) const {
    return index < m_entries.size() ? m_entries[index].szName : "";
}

const char* CLgpArchive::GetEntryExtension(uint16_t index) const {
    if (index >= m_entries.size()) {
        return "";
    }
    const Entry& entry = m_entries[index];
    return entry.szName + entry.nExtStart;
}

uint32_t CLgpArchive::GetEntrySize(uint16_t index) const {
    return index < m_entries.size() ? m_entries[index].dwSize : 0;
}

uint8_t CLgpArchive::GetEntryType(uint16_t index) const {
    return index < m_entries.size() ? m_entries[index].nType : uint8_t{LGP_TYPE_OTHER};
}

uint32_t CLgpArchive::GetEntryOffset(uint16_t index) const {
    return index < m_entries.size() ? m_entries[index].dwOffset : 0;
}

uint32_t CLgpArchive::GetArchiveLength() const {
    return m_dwArchiveLength;
}

const char* CLgpArchive::GetArchivePath() const {
    return m_szArchivePath.c_str();
}

uint32_t CLgpArchive::ReadEntry(uint16_t index, unsigned char** ppBuffer) const {
    if (ppBuffer == nullptr || index >= m_entries.size()) {
        return 0;
    }
    std::optional<ReadOnlyFile> own;
    const ReadOnlyFile* file = FileForRead(own);
    if (file == nullptr) {
        return 0;
    }
    const Entry& entry = m_entries[index];
    uint64_t start = uint64_t{entry.dwOffset} + kDataHeaderSize;
    // Only what the file really holds is allocated and read: a size field that lies
    // cannot make us allocate gigabytes or hand out uninitialised bytes.
    uint64_t available = file->Available(start, entry.dwSize);
    unsigned char* buffer = *ppBuffer;
    bool allocated = buffer == nullptr;
    if (allocated) {
        // Never a null block on success, even for an empty entry.
        buffer = AllocateBlock(available);
        if (buffer == nullptr) {
            return 0;
        }
    }
    uint64_t delivered = file->ReadAt(start, buffer, available);
    // Whatever the read did not fill reads as zeros: the rest of our block if the read
    // failed part-way, and the rest of the caller's buffer, which holds the full size.
    uint64_t filled = allocated ? available : entry.dwSize;
    if (delivered < filled) {
        std::memset(buffer + delivered, 0, filled - delivered);
    }
    *ppBuffer = buffer;
    return static_cast<uint32_t>(delivered);
}

uint32_t CLgpArchive::ReadEntryDecompressed(uint16_t index, unsigned char** ppBuffer,
                                            uint32_t nSizeHint) const {
    if (index >= m_entries.size()) {
        return 0;
    }
    std::optional<ReadOnlyFile> own;
    const ReadOnlyFile* file = FileForRead(own);
    if (file == nullptr) {
        return 0;
    }
    const Entry& entry = m_entries[index];
    const uint64_t start = uint64_t{entry.dwOffset} + kDataHeaderSize;
    // The stream ends where the entry does, whatever its length field says: decoding
    // on would turn the next entry's bytes into this one's.
    uint32_t streamLength = 0;
    unsigned char lengthField[lgp::kStreamLengthSize];
    if (entry.dwSize >= lgp::kStreamLengthSize &&
        file->ReadAt(start, lengthField, sizeof lengthField) == sizeof lengthField) {
        const uint64_t bound =
            std::min<uint64_t>(LoadLe32(lengthField), entry.dwSize - lgp::kStreamLengthSize);
        streamLength = static_cast<uint32_t>(file->Available(start + sizeof lengthField, bound));
    }
    std::vector<uint8_t> stream(streamLength);
    streamLength = static_cast<uint32_t>(
        file->ReadAt(start + sizeof lengthField, stream.data(), streamLength));

    if (ppBuffer == nullptr) {
        return LzssDecodedSize(stream.data(), streamLength);
    }
    if (*ppBuffer != nullptr) {
        // The caller's buffer holds the decoded size, so that is the decoder's bound.
        uint32_t capacity = LzssDecodedSize(stream.data(), streamLength);
        return LzssDecode(stream.data(), streamLength, *ppBuffer, capacity);
    }
    uint32_t capacity = nSizeHint != 0 ? nSizeHint : LzssDecodedSize(stream.data(), streamLength);
    unsigned char* buffer =
        static_cast<unsigned char*>(std::malloc(std::max<uint32_t>(capacity, 1)));
    if (buffer == nullptr) {
        return 0;
    }
    uint32_t written = LzssDecode(stream.data(), streamLength, buffer, capacity);
    // A generous hint leaves a tail the stream never reached; it reads as zeros.
    std::memset(buffer + written, 0, capacity - written);
    *ppBuffer = buffer;
    return written;
}

bool CLgpArchive::IsEntryWhole(uint16_t index) const {
    if (index >= m_entries.size()) {
        return false;
    }
    // The file as it is now, as the reads see it, not its length when it was loaded.
    std::optional<ReadOnlyFile> own;
    const ReadOnlyFile* file = FileForRead(own);
    const Entry& entry = m_entries[index];
    return file != nullptr &&
           uint64_t{entry.dwOffset} + kDataHeaderSize + entry.dwSize <= file->Length();
}

uint32_t CLgpArchive::ReadEntryStreamLength(uint16_t index) const {
    if (index >= m_entries.size()) {
        return 0;
    }
    std::optional<ReadOnlyFile> own;
    const ReadOnlyFile* file = FileForRead(own);
    unsigned char lengthField[lgp::kStreamLengthSize];
    if (file == nullptr || file->ReadAt(uint64_t{m_entries[index].dwOffset} + kDataHeaderSize,
                                        lengthField, sizeof lengthField) != sizeof lengthField) {
        return 0;
    }
    return LoadLe32(lengthField);
}

const ReadOnlyFile* CLgpArchive::FileForRead(std::optional<ReadOnlyFile>& own) const {
    if (m_scopeFile != nullptr) {
        // Rewritten in place since Load: its bytes are no longer the catalogue's.
        return m_scopeFile->IsOpen() && m_scopeFile->Current().Unchanged(m_identity) ? m_scopeFile
                                                                                     : nullptr;
    }
    own.emplace(m_szArchivePath);
    return IsLoadedFile(*own) ? &*own : nullptr;
}

CLgpArchive::ReadScope::ReadScope(const CLgpArchive& archive)
    : m_archive(archive), m_file(archive.m_szArchivePath) {
    if (m_archive.m_scopeFile == nullptr && m_archive.IsLoadedFile(m_file)) {
        m_archive.m_scopeFile = &m_file;
    }
}

CLgpArchive::ReadScope::~ReadScope() {
    if (m_archive.m_scopeFile == &m_file) {
        m_archive.m_scopeFile = nullptr;
    }
}

const FileIdentity& CLgpArchive::GetArchiveIdentity() const {
    return m_identity;
}

bool CLgpArchive::IsLoadedFile(const ReadOnlyFile& file) const {
    return file.IsOpen() && file.Identity().Unchanged(m_identity);
}

bool CLgpArchive::ArchiveChangedOnDisk() const {
    return !m_szArchivePath.empty() && !IdentifyFile(m_szArchivePath).Unchanged(m_identity);
}

const char* CLgpArchive::GetEntryFolder(uint16_t index) const {
    return index < m_tables.folders.size() ? m_tables.folders[index].c_str() : "";
}

uint8_t CLgpArchive::GetEntryCheckCode(uint16_t index) const {
    return index < m_entries.size() ? m_entries[index].nCheck : uint8_t{0};
}

uint16_t CLgpArchive::GetEntryConflictIndex(uint16_t index) const {
    return index < m_entries.size() ? m_entries[index].wConflict : uint16_t{0};
}

const LgpTables& CLgpArchive::GetTables() const {
    return m_tables;
}

std::shared_ptr<const LgpSnapshot> CLgpArchive::Snapshot() const {
    if (!m_snapshot) {
        auto copy = std::make_unique<CLgpArchive>();
        copy->m_entries = m_entries;
        copy->m_dwArchiveLength = m_dwArchiveLength;
        copy->m_szArchivePath = m_szArchivePath;
        copy->m_lastStatus = m_lastStatus;
        copy->m_identity = m_identity;
        copy->m_tables = m_tables;
        m_snapshot = std::make_shared<const LgpSnapshot>(std::move(copy));
    }
    return m_snapshot;
}
