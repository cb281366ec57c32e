// SPDX-License-Identifier: MIT
// Loads arbitrary bytes as an archive, from memory, and reads its first entries every
// way, decoded included; the first byte picks whether it is named like the field archive
// (whose entries are compressed). Loading alone has a faster target of its own.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "archive/entry_check.h"
#include "archive/entry_reader.h"
#include "archive/lgp_archive.h"

namespace {

// Caller's buffers are only handed out for sizes near what the file could hold, so that
// lying size fields do not turn every run into megabytes of clearing.
constexpr uint32_t kCallerBufferSlack = 1u << 16;

void ReadEverything(const CLgpArchive& archive) {
    // One open file for the run's reads, as Verify and render --all have.
    const CLgpArchive::ReadScope scope(archive);
    // Enough entries to reach every shape (each entry takes the same paths), few enough
    // that a run stays short.
    uint16_t count = archive.GetEntryCount() < 6 ? archive.GetEntryCount() : 6;
    for (uint16_t i = 0; i < count; ++i) {
        if (std::strlen(archive.GetEntryName(i)) > 20 ||
            std::strlen(archive.GetEntryExtension(i)) > 20) {
            std::abort();
        }
        unsigned char* raw = nullptr;
        uint32_t delivered = archive.ReadEntry(i, &raw);
        if (delivered > archive.GetEntrySize(i) || delivered > archive.GetArchiveLength()) {
            std::abort();
        }
        std::free(raw);

        archive.ReadEntryStreamLength(i);
        // The completeness rule and the one-open reader agree on every entry.
        const EntryCheck check = CheckEntry(archive, i, true);
        std::vector<uint8_t> bytes;
        if (LgpEntryReader(archive).Read(i, true, &bytes).problem != check.problem ||
            check.storedBytes > archive.GetEntrySize(i)) {
            std::abort();
        }
        uint32_t decoded = archive.ReadEntryDecompressed(i, nullptr, 0);
        unsigned char* whole = nullptr;
        if (archive.ReadEntryDecompressed(i, &whole, 0) != decoded) {
            std::abort();
        }
        std::free(whole);
        unsigned char* hinted = nullptr;
        uint32_t hint = decoded / 3 + 1;
        if (archive.ReadEntryDecompressed(i, &hinted, hint) > hint) {
            std::abort();
        }
        std::free(hinted);

        // The caller's-buffer modes, with buffers of exactly the documented size, so
        // that a write past it lands in the sanitizer's red zone.
        const uint64_t callerLimit = uint64_t{archive.GetArchiveLength()} + kCallerBufferSlack;
        if (archive.GetEntrySize(i) <= callerLimit) {
            std::vector<unsigned char> stored(archive.GetEntrySize(i));
            unsigned char* into = stored.data();
            if (into != nullptr && archive.ReadEntry(i, &into) != delivered) {
                std::abort();
            }
        }
        if (decoded > 0 && decoded <= callerLimit) {
            std::vector<unsigned char> plain(decoded);
            unsigned char* into = plain.data();
            if (archive.ReadEntryDecompressed(i, &into, 0) != decoded) {
                std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bool field = size > 0 && (data[0] & 1) != 0;
    const char* name = field ? "flevel.lgp" : "input.lgp";
    const std::vector<uint8_t> bytes(data, data + size);
    CLgpArchive archive;
    uint16_t count = archive.LoadFromMemory(bytes, name);
    if (count != archive.GetEntryCount() && archive.GetLastLoadStatus() == LgpLoadStatus::Ok) {
        std::abort();
    }
    ReadEverything(archive);
    return 0;
}
