// SPDX-License-Identifier: MIT
// extract: writes entries into a folder through the extraction engine, printing each
// file written and reporting each entry refused or failed; one entry's failure does not
// stop the others, an archive changed on disk stops the run.
#include <filesystem>
#include <iostream>
#include <memory>
#include <set>
#include <vector>

#include "archive/entry_source.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/patterns.h"
#include "cli/progress.h"
#include "extract/extract_engine.h"
#include "platform/file_output.h"

namespace {

// The entries to write, in the order asked and each once; false if any is unknown.
bool SelectEntries(const IEntrySource& source, const CliRequest& request,
                   std::vector<EntryId>* selection) {
    if (request.entries.empty()) {
        for (size_t i = 0; i < source.Count(); ++i) {
            selection->push_back(source.IdAt(i));
        }
        return true;
    }
    bool ok = true;
    std::set<EntryId> seen;
    for (const std::string& wanted : request.entries) {
        const std::vector<EntryId> selected = EntriesSelectedBy(source, wanted);
        if (selected.empty()) {
            ReportError(request.archive, NothingSelectedProblem(source, wanted));
            ok = false;
        }
        for (EntryId id : selected) {
            if (seen.insert(id).second) {
                selection->push_back(id);
            }
        }
    }
    return ok;
}

bool EnsureFolder(const std::string& folder) {
    if (folder.empty()) {
        return true;
    }
    const std::filesystem::path hostFolder = HostPath(folder);
    std::error_code ec;
    std::filesystem::create_directories(hostFolder, ec);
    if (ec || !std::filesystem::is_directory(hostFolder, ec)) {
        ReportError(folder, "cannot create folder" + (ec ? ": " + ec.message() : std::string()));
        return false;
    }
    return true;
}

// The engine's reason, with the counts that help when an entry is cut short.
std::string Reason(const IEntrySource& source, const extract::EntryResult& result) {
    if (result.check.problem == EntryProblem::CutShort) {
        return result.reason + " (the archive holds " + std::to_string(result.check.storedBytes) +
               " of its " + std::to_string(source.Size(result.entry)) + " bytes)";
    }
    return result.reason;
}

void Report(const IEntrySource& source, const CliRequest& request,
            const extract::EntryResult& result) {
    const std::string entry = DescribeEntry(source, result.entry);
    switch (result.outcome) {
        case extract::Outcome::Written:
        case extract::Outcome::Partial:
            // The name comes from the archive: a tab or a line break in it must not split
            // or fake lines of the listing that scripts read. The folder is the user's own
            // and is shown as given (a Windows folder keeps its single backslashes).
            if (!request.quiet) {
                std::cout << JoinPath(request.outputDir, ShownName(source, result.entry)) << '\t'
                          << result.bytes << '\n';
            }
            if (result.outcome == extract::Outcome::Partial) {
                ReportError(request.archive,
                            entry + ": " + Reason(source, result) + "; written as far as it goes");
            }
            break;
        case extract::Outcome::Refused:
            if (result.code == RunReason::TargetWriteProtected) {
                ReportError(request.archive,
                            entry + ": " + result.reason + " (--force replaces it)");
                break;
            }
            ReportError(request.archive, entry + ": " + Reason(source, result) +
                                             (request.partial ? "" : "; not written"));
            break;
        case extract::Outcome::Kept:
            break;  // lumo-cli replaces files; it never asks
        case extract::Outcome::Failed:
            // An archive changed on disk is said once, for the whole run.
            if (result.reason != DescribeEntryProblem(EntryProblem::ArchiveChanged)) {
                ReportError(request.archive, entry + ": " + result.reason);
            }
            break;
    }
}

// --stdout: the entries' bytes, and nothing else, go to standard output; the same rule
// for entries that are not whole as for files.
bool ToStdout(const IEntrySource& source, const CliRequest& request,
              const std::vector<EntryId>& selection) {
    const std::unique_ptr<IEntryReader> reader = source.OpenReader();
    const EntrySink toStdout = [](const uint8_t* data, size_t size) {
        return static_cast<bool>(std::cout.write(reinterpret_cast<const char*>(data),
                                                 static_cast<std::streamsize>(size)));
    };
    bool ok = true;
    for (EntryId id : selection) {
        // Decoded a piece at a time: a large field never sits in memory whole.
        const EntryCheck check =
            CopyEntryOut(*reader, source, id, request.decompress, request.partial, toStdout);
        if (check.problem == EntryProblem::ArchiveChanged ||
            check.problem == EntryProblem::CannotRead) {
            ReportError(request.archive, DescribeEntryProblem(check.problem));
            return false;
        }
        if (!check.Whole()) {
            extract::EntryResult result;
            result.entry = id;
            result.check = check;
            result.reason = DescribeEntryProblem(check.problem);
            ok = false;
            ReportError(request.archive,
                        DescribeEntry(source, id) + ": " + Reason(source, result) +
                            (request.partial ? "; written as far as it goes" : "; not written"));
        }
    }
    // Bytes read after the archive changed are not the entry's.
    if (!reader->StillUnchanged()) {
        ReportError(request.archive, DescribeEntryProblem(EntryProblem::ArchiveChanged));
        return false;
    }
    return ok;
}

}  // namespace

int RunExtract(const CliRequest& request) {
    const EntrySourcePtr source = OpenSource(request.archive);
    if (!source) {
        return kExitFailure;
    }
    std::vector<EntryId> selection;
    bool ok = SelectEntries(*source, request, &selection);
    if (request.toStdout) {
        ok = ToStdout(*source, request, selection) && ok;
        std::cout << std::flush;
        return ok ? kExitOk : kExitFailure;
    }
    if (selection.empty()) {
        return ok ? kExitOk : kExitFailure;  // and no empty folder left behind
    }
    if (!EnsureFolder(request.outputDir)) {
        return kExitFailure;
    }
    InterruptWatch interrupt;
    Progress progress(request.verbose, selection.size());
    extract::Options options;
    options.run.progress = [](size_t, size_t, EntryId) { return !InterruptWatch::Interrupted(); };
    options.folder = request.outputDir;
    options.decompress = request.decompress;
    options.partial = request.partial;
    options.replaceWriteProtected = request.force;
    options.report = [&](const extract::EntryResult& result) {
        Report(*source, request, result);
        progress.Step();
    };
    std::vector<extract::Job> jobs(selection.size());
    for (size_t i = 0; i < selection.size(); ++i) {
        jobs[i].entry = selection[i];  // into the run's folder under its own name
    }
    const extract::Summary summary = extract::ExtractEntries(*source, jobs, options);
    std::cout << std::flush;
    if (summary.archiveChanged) {
        ReportError(request.archive, DescribeEntryProblem(EntryProblem::ArchiveChanged));
    }
    if (InterruptWatch::Interrupted()) {
        ReportError(request.archive, "interrupted; " + std::to_string(summary.written) + " of " +
                                         std::to_string(summary.total) + " files written");
        return InterruptWatch::ExitStatus();
    }
    return ok && summary.AllWritten() ? kExitOk : kExitFailure;
}
