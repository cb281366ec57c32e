// SPDX-License-Identifier: MIT
// Any bytes that load as an archive save (unchanged) to an archive that loads with the
// same entries: names, folders, check codes and bytes. Entries the file cuts short are
// refused by Save, and then nothing is written.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "archive/lgp_archive.h"
#include "archive/lgp_soundness.h"
#include "edit/lgp_changes.h"
#include "edit/lgp_save.h"

namespace {

// In memory where the host has a memory file system: a save syncs, and syncing to a disk
// would leave the fuzzer most of its time waiting.
std::string Folder() {
    static const std::string folder = [] {
        char shm[] = "/dev/shm/lumo-fuzz-resave-XXXXXX";
        char tmp[] = "/tmp/lumo-fuzz-resave-XXXXXX";
        const char* made = mkdtemp(shm);
        made = made ? made : mkdtemp(tmp);
        return std::string(made ? made : "/tmp");
    }();
    return folder;
}

std::vector<uint8_t> Bytes(const CLgpArchive& archive, uint16_t i) {
    unsigned char* raw = nullptr;
    const uint32_t n = archive.ReadEntry(i, &raw);
    std::vector<uint8_t> bytes(raw, raw + n);
    std::free(raw);
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string in = Folder() + "/in.lgp";
    const std::string out = Folder() + "/out.lgp";
    FILE* file = std::fopen(in.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    CLgpArchive archive;
    archive.Load(in.c_str());
    if (archive.GetLastLoadStatus() != LgpLoadStatus::Ok) {
        return 0;
    }
    ArchiveEdits edits(archive);
    unlink(out.c_str());
    if (!SaveArchive(archive, edits.ForWriter(), out).Ok()) {
        return 0;  // refused: a name the writer will not write, an entry cut short
    }
    CLgpArchive saved;
    if (saved.Load(out.c_str()) != archive.GetEntryCount() || !CheckSoundArchive(saved).empty()) {
        std::abort();
    }
    // The saved order may differ where the old one broke the lookup rules: match by the
    // entry each saved record came from, found by name, folder and bytes.
    std::vector<bool> used(archive.GetEntryCount(), false);
    for (uint16_t i = 0; i < saved.GetEntryCount(); ++i) {
        bool found = false;
        for (uint16_t j = 0; j < archive.GetEntryCount() && !found; ++j) {
            found = !used[j] && std::strcmp(saved.GetEntryName(i), archive.GetEntryName(j)) == 0 &&
                    saved.GetEntryCheckCode(i) == archive.GetEntryCheckCode(j) &&
                    Bytes(saved, i) == Bytes(archive, j);
            used[j] = used[j] || found;
        }
        if (!found) {
            std::abort();
        }
    }
    return 0;
}
