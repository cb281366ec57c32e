// SPDX-License-Identifier: MIT
#pragma once
// The extraction engine: writes entries of an entry source to disk, the same way for
// the desktop program and lumo-cli, and says for each entry what became of it.
//
// What it guarantees, whatever the archive holds:
//  - the archive being read is never a target (compared by file identity, not path);
//  - nothing is read from an archive that changed on disk since Load: the run stops;
//  - an entry that is not whole is refused with the reason, or with `partial` written
//    as far as it goes, never over an existing file;
//  - two entries of one run never land on the same file (letter case ignored where the
//    host ignores it): the later one is refused;
//  - every file is written aside and moved into place once durable, in batches, so a
//    crash or a killed run leaves each target as it was or wholly new.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/entry_check.h"
#include "archive/entry_source.h"
#include "archive/lgp_archive.h"
#include "archive/run_shape.h"
#include "extract/host_names.h"

namespace extract {

enum class Outcome {
    Written,  // the whole entry is on disk
    Partial,  // not whole; what the archive holds of it was written (partial runs)
    Refused,  // not written, for a reason of the entry or its target
    Failed,   // not written: the archive could not be read, or the disk refused
    Kept,     // not written: the user kept the file that was there
};

struct EntryResult {
    EntryId entry;
    std::string target;  // the file's path (UTF-8)
    Outcome outcome = Outcome::Failed;
    RunReason code = RunReason::None;  // why it was refused, failed or is partial,
    std::string reason;                // and the same in English
    uint64_t bytes = 0;                // bytes written
    EntryCheck check;                  // what the archive holds of the entry, once it was read
};

// What the front end wants after an entry was refused or failed.
using Decision = RunDecision;

// What the front end wants when an entry's target exists already. The "All" answers
// hold for the rest of the run.
enum class ReplaceDecision { Replace, Skip, ReplaceAll, SkipAll, Cancel };

struct Job {
    EntryId entry;
    // Where to write it; empty: the folder of the run, under the entry's host name.
    std::string target;
};

struct Options {
    std::string folder;       // for jobs without a target
    bool decompress = false;  // field entries are written decoded
    bool partial = false;     // write what can be recovered of entries that are not whole
    // false: a write-protected file in the way is refused instead of replaced
    bool replaceWriteProtected = true;
    // Whether names that differ only in letter case are one file (forced in tests)
    bool namesIgnoreCase = kHostNamesIgnoreCase;
    // Progress before each entry (false cancels the run after the entries already
    // written aside are in place) and the decision after each entry refused or failed,
    // as soon as that is known.
    RunHooks run;
    // Called when an entry, read and whole, would replace a file; unset, it does. Skip
    // keeps the file (Outcome::Kept); Cancel keeps it and ends the run.
    std::function<ReplaceDecision(const EntryResult&)> replace;
    // Called once per entry when its fate is final, in the order of the jobs.
    std::function<void(const EntryResult&)> report;
    // Batch limits: files and bytes written aside before one sync. Each sync of a file
    // system costs a journal commit and a wait, whatever the batch holds, so batches grow:
    // the first holds at most firstBatchFiles, so that the first reports come soon, and
    // each next one as many as all before it, up to batchFiles (and the open-file limit).
    size_t batchFiles = 8192;
    size_t firstBatchFiles = 2048;
    uint64_t batchBytes = uint64_t{64} << 20;
    bool anonymousTemporaries = true;  // false: hidden named ones (tests the fallback)
};

struct Summary {
    size_t total = 0;
    size_t written = 0;
    size_t partial = 0;
    size_t refused = 0;
    size_t failed = 0;
    size_t kept = 0;              // existing files the user kept
    bool cancelled = false;       // by the user, or by a Cancel decision
    bool archiveChanged = false;  // the run stopped: the archive changed on disk
    unsigned syncCalls = 0;
    bool AllWritten() const { return written == total; }
};

// The jobs for the entries at these positions of `source`, going into the run's folder
// under their own names.
std::vector<Job> JobsForEntries(const IEntrySource& source, const std::vector<uint16_t>& positions);
// The same for a loaded catalogue, whose entries are known by their table positions.
std::vector<Job> JobsForEntries(const std::vector<uint16_t>& entries);

Summary ExtractEntries(const IEntrySource& source, const std::vector<Job>& jobs,
                       const Options& options);
// Extracts from the catalogue's snapshot (CLgpArchive::Snapshot).
Summary ExtractEntries(const CLgpArchive& archive, const std::vector<Job>& jobs,
                       const Options& options);

// The file name an entry gets on the host: its name read as Latin-1, in UTF-8.
std::string EntryHostName(const IEntrySource& source, EntryId entry);

// Whether `path` names the source's archive file itself, under any spelling or link.
bool IsArchiveFile(const IEntrySource& source, const std::string& path);

}  // namespace extract
