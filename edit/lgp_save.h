// SPDX-License-Identifier: MIT
#pragma once
// Saving an archive: the new file is written aside in the target's folder (entries kept
// from the open archive copied straight from its file), made durable, read back and
// checked (sound, every entry holding what it should), and only then put in place of
// the target, with the target's permission bits. Any failure or a cancel leaves the
// target exactly as it was and nothing aside. Memory stays proportional to the table of
// contents and one piece of an entry, never to the archive.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/lgp_archive.h"
#include "archive/lgp_writer.h"

struct SaveOptions {
    // Told (done, total) bytes while writing and again while checking; false cancels.
    std::function<bool(uint64_t done, uint64_t total)> progress;
};

struct SaveResult {
    bool ok = false;
    bool cancelled = false;
    std::string error;  // which file and why
    uint64_t size = 0;  // of the archive written
    bool Ok() const { return ok; }
};

// Writes `entries` as the archive `target`. `archive` is the open archive that entries
// taken from it are copied from (it may have no file, for a new archive); it must not
// have changed on disk since it was loaded.
SaveResult SaveArchive(const CLgpArchive& archive, const std::vector<WriterEntry>& entries,
                       const std::string& target, const SaveOptions& options = {});

// Why entries taken from the open archive cannot be saved as they are, "" when they can:
// an entry whose bytes the file no longer holds wholly would be saved cut short.
std::string UnsavableEntries(const CLgpArchive& archive, const std::vector<WriterEntry>& entries);
