// SPDX-License-Identifier: MIT
#pragma once
// Builds an LGP archive from a list of entries, laid out as the game reads it: header,
// table of contents, lookup table, conflict table, the data blocks in table order and
// the terminator. Every rule is checked before the first byte is written, so a refused
// list writes nothing; the refusal names the entry and the rule.
//
// Memory stays proportional to the table of contents: entry bytes go to the sink a
// piece at a time, from memory, from a host file or from the open archive.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/lgp_archive.h"
#include "archive/lgp_tables.h"
#include "platform/host_file.h"

// Where an entry's bytes come from.
struct EntrySource {
    enum class Kind { Memory, HostFile, Archive };
    Kind kind = Kind::Memory;
    std::shared_ptr<const std::vector<uint8_t>> bytes;  // Memory
    std::string path;                                   // HostFile
    FileIdentity identity;                              // HostFile: the file as it was when chosen
    uint16_t index = 0;                                 // Archive: the entry of the open archive
    uint64_t offset = 0;  // Archive: where its stored bytes start in the file
    uint64_t size = 0;    // bytes the entry will hold
};

EntrySource MemorySource(std::vector<uint8_t> bytes);
// The file as it is now; a later change or removal fails the write. `error` gets the
// reason when it cannot be read.
EntrySource HostFileSource(const std::string& path, std::string* error);
// The stored bytes of an entry of the loaded archive.
EntrySource ArchiveSource(const CLgpArchive& archive, uint16_t index);

struct WriterEntry {
    std::string name;
    std::string folder;  // kept only when another entry has the same name
    uint8_t checkCode = lgp::kNewEntryCheckCode;
    // New names are held to the shorter limit of names Lumo gives; names read from an
    // archive may fill the field.
    bool isNew = true;
    // Re-saves keep an entry's place in the list wherever the rules allow it; other
    // entries go to the end of their slot's run (a new archive has none kept).
    bool keepPlace = false;
    EntrySource source;
};

// Where everything goes: the entries in table order and the tables.
struct LgpPlan {
    std::vector<size_t> order;       // indices into the entry list, in table order
    std::vector<uint16_t> conflict;  // per table position: 1-based conflict record or 0
    std::vector<std::vector<uint16_t>> conflictRecords;  // table positions per record
    std::vector<std::string> folders;                    // per table position, "" for none
    std::array<LgpSlotRecord, lgp::kLookupSlots> lookup{};
    std::vector<uint32_t> offsets;  // per table position: the data block's offset
    uint64_t size = 0;              // the whole file
};

// Orders and checks the entries; "" and the plan, or the refusal ("entry `X`: ...").
std::string PlanArchive(const std::vector<WriterEntry>& entries, LgpPlan* plan);

// Where the archive goes. Write and Copy return false (with Error() set) on failure.
class LgpSink {
public:
    virtual ~LgpSink() = default;
    virtual bool Write(const uint8_t* data, size_t size) = 0;
    // Appends `length` bytes of `file` from `offset`; by default read and written a
    // piece at a time.
    virtual bool Copy(const ReadOnlyFile& file, uint64_t offset, uint64_t length);
    const std::string& Error() const { return m_error; }

protected:
    bool Fail(const std::string& error) {
        m_error = error;
        return false;
    }

private:
    std::string m_error;
};

class MemorySink : public LgpSink {
public:
    bool Write(const uint8_t* data, size_t size) override;
    std::vector<uint8_t> bytes;
};

struct WriteOptions {
    // The file of the open archive, for entries taken from it (may be null otherwise).
    const ReadOnlyFile* archive = nullptr;
    // Told the bytes written and the total before each entry; false stops the write.
    std::function<bool(uint64_t done, uint64_t total)> progress;
    // When set, sized like the entries: for each small file from the host, the digest of
    // the bytes written, so that a check after writing need not open it again.
    std::vector<std::optional<uint64_t>>* digests = nullptr;
};

// A 64-bit digest of bytes (FNV-1a), for telling written bytes from what was read.
uint64_t ContentDigest(const uint8_t* data, size_t size, uint64_t digest = 0xCBF29CE484222325u);
// Host files below this size are read whole and digested while an archive is written.
constexpr uint64_t kDigestedFileSize = uint64_t{64} << 10;

// Writes the planned archive to the sink; "" or why it stopped ("cancelled", a source
// that changed, the sink's error).
std::string WriteArchive(const std::vector<WriterEntry>& entries, const LgpPlan& plan,
                         LgpSink& sink, const WriteOptions& options);

// The text a cancelled write gives.
extern const char kWriteCancelled[];
