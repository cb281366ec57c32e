// SPDX-License-Identifier: MIT
// Loads arbitrary bytes as an archive, from memory: the header, the table of contents,
// every data header and the lookup and conflict tables, then what the index shows of
// each entry and its stored bytes. Nothing is decoded here (the entries target does
// that), so that a run costs what loading costs. The first byte picks whether the bytes
// are named like the field archive.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "archive/lgp_archive.h"
#include "archive/lgp_layout.h"

namespace {

void CheckCatalogue(const CLgpArchive& archive) {
    const CLgpArchive::ReadScope scope(archive);
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        if (std::strlen(archive.GetEntryName(i)) > 20 ||
            std::strlen(archive.GetEntryExtension(i)) > 20 ||
            std::strlen(archive.GetEntryFolder(i)) > lgp::kConflictFolderSize) {
            std::abort();
        }
        const bool whole = archive.IsEntryWhole(i);
        const uint32_t size = archive.GetEntrySize(i);
        if (whole && uint64_t{archive.GetEntryOffset(i)} + size > archive.GetArchiveLength()) {
            std::abort();
        }
        archive.ReadEntryStreamLength(i);
        // Stored bytes of small entries only: a lying size is the decoding targets' work.
        if (size <= 4096) {
            std::vector<unsigned char> stored(size);
            unsigned char* into = stored.data();
            if (into != nullptr && archive.ReadEntry(i, &into) > size) {
                std::abort();
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bool field = size > 0 && (data[0] & 1) != 0;
    const char* name = field ? "flevel.lgp" : "input.lgp";
    CLgpArchive archive;
    const uint16_t count = archive.LoadFromMemory(std::vector<uint8_t>(data, data + size), name);
    if (archive.GetLastLoadStatus() != LgpLoadStatus::Ok) {
        return 0;
    }
    if (count != archive.GetEntryCount()) {
        std::abort();
    }
    CheckCatalogue(archive);
    return 0;
}
