// SPDX-License-Identifier: MIT
// create, add, remove and rename: change an archive through the edit list and save it
// as the desktop program saves, or with --dry-run only say what would change.
#include <filesystem>
#include <iostream>
#include <set>

#include "archive/lgp_rules.h"
#include "archive/lgp_soundness.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/json_writer.h"
#include "cli/patterns.h"
#include "edit/field_entry.h"
#include "edit/files_to_add.h"
#include "edit/lgp_changes.h"
#include "edit/lgp_save.h"
#include "platform/ascii.h"
#include "platform/file_output.h"

namespace {

// One line of what a command changes.
struct Change {
    std::string action;  // "add", "replace", "remove", "rename"
    std::string name;
    std::string folder;
    uint64_t size = 0;
    std::string newName;  // rename
};

// Archive names are Latin-1 text, host names UTF-8; a name Latin-1 cannot hold has no
// place in an archive.
bool Latin1FromUtf8(const std::string& utf8, std::string* latin1) {
    latin1->clear();
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            *latin1 += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size() &&
                   (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
            *latin1 += static_cast<char>(((c & 0x03) << 6) | (utf8[++i] & 0x3F));
        } else {
            return false;
        }
    }
    return true;
}

// The source of a file as the archive will hold it as `name`: by the rule the desktop's
// Insert follows, with --stored and --compress choosing how fields go in.
std::optional<EntrySource> SourceFor(const CliRequest& request, const std::string& path,
                                     const std::string& name) {
    const FieldPacking packing = request.stored     ? FieldPacking::Stored
                                 : request.compress ? FieldPacking::ForceCompress
                                                    : FieldPacking::Compress;
    std::string error;
    EntrySource source = AddedFileSource(request.archive, name, path, packing, &error);
    if (!error.empty()) {
        const std::string prefix = path + ": ";
        ReportError(path, error.compare(0, prefix.size(), prefix) == 0 ? error.substr(prefix.size())
                                                                       : error);
        return std::nullopt;
    }
    return source;
}

bool AddPaths(const CliRequest& request, const std::vector<std::string>& paths, ArchiveEdits& edits,
              std::vector<Change>& changes) {
    // One change for the whole run: the edit list keeps one state to undo, not one per file.
    edits.BeginBatch();
    std::vector<FileToAdd> files;
    for (const std::string& path : paths) {
        const std::string why =
            ExpandPath(path, lgp::NormalFolder(request.folder.value_or("")), &files);
        if (!why.empty()) {
            ReportError(path, why);
            return false;
        }
    }
    for (const FileToAdd& file : files) {
        std::string name;
        if (!Latin1FromUtf8(request.asName.value_or(file.name), &name)) {
            ReportError(file.path, "the name has characters an archive cannot hold");
            return false;
        }
        const std::optional<EntrySource> source = SourceFor(request, file.path, name);
        if (!source) {
            return false;
        }
        const bool replaces = edits.Has(name, lgp::NormalFolder(file.folder));
        const std::string why = edits.Add(name, file.folder, *source);
        if (!why.empty()) {
            ReportError(file.path, why);
            return false;
        }
        changes.push_back({replaces ? "replace" : "add", name, file.folder, source->size, ""});
    }
    return true;
}

void Tell(const CliRequest& request, const std::vector<Change>& changes, bool written) {
    if (request.json) {
        std::string out = "{\"archive\":" + JsonString(request.archive) +
                          ",\"written\":" + (written ? "true" : "false") + ",\"changes\":[";
        for (size_t i = 0; i < changes.size(); ++i) {
            const Change& c = changes[i];
            out += std::string(i == 0 ? "\n" : ",\n") + "{\"action\":" + JsonString(c.action) +
                   ",\"name\":" + JsonString(c.name) + ",\"folder\":" + JsonString(c.folder) +
                   ",\"size\":" + std::to_string(c.size) +
                   (c.action == "rename" ? ",\"newName\":" + JsonString(c.newName) : "") + "}";
        }
        std::cout << out << "\n]}\n";
        return;
    }
    if (request.quiet) {
        return;
    }
    for (const Change& c : changes) {
        std::cout << (request.dryRun ? "would " : "") << c.action << '\t' << PrintableName(c.name)
                  << '\t' << PrintableName(c.folder) << '\t'
                  << (c.action == "rename" ? PrintableName(c.newName) : std::to_string(c.size))
                  << '\n';
    }
}

int Finish(const CliRequest& request, const CLgpArchive& archive, const ArchiveEdits& edits,
           const std::vector<Change>& changes) {
    const std::vector<WriterEntry> entries = edits.ForWriter();
    if (request.dryRun) {
        LgpPlan plan;
        const std::string why = PlanArchive(entries, &plan);
        if (!why.empty()) {
            ReportError(request.archive, why);
            return kExitFailure;
        }
        Tell(request, changes, false);
        return kExitOk;
    }
    InterruptWatch interrupt;
    SaveOptions options;
    options.progress = [](uint64_t, uint64_t) { return !InterruptWatch::Interrupted(); };
    const SaveResult saved = SaveArchive(archive, entries, request.archive, options);
    if (InterruptWatch::Interrupted() && !saved.Ok()) {
        ReportError(request.archive, "interrupted; the archive was left as it was");
        return InterruptWatch::ExitStatus();
    }
    if (!saved.Ok()) {
        ReportError(request.archive, saved.error + "; the archive was left as it was");
        return kExitFailure;
    }
    Tell(request, changes, true);
    return kExitOk;
}

// The archive to change, as the loaded catalogue's snapshot: the edit list and the save
// take its catalogue, since they copy kept entries by the archive's own layout. Null
// (reported) when it cannot be loaded or saved as it is.
EntrySourcePtr OpenForEditing(const CliRequest& request) {
    EntrySourcePtr source = OpenSource(request.archive);
    if (!source) {
        return nullptr;
    }
    const CLgpArchive& archive = *source->Catalogue();
    const std::vector<WriterEntry> kept = ArchiveEdits(archive).ForWriter();
    const std::string why = UnsavableEntries(archive, kept);
    if (!why.empty()) {
        ReportError(request.archive, why);
        return nullptr;
    }
    // What the game could not use in the archive as it is; the save lays it out anew.
    const std::vector<SoundFault> faults = CheckSoundArchive(archive);
    constexpr size_t kShown = 20;
    for (size_t i = 0; i < faults.size() && i < kShown && !request.quiet; ++i) {
        ReportError(request.archive, "as it is: " + faults[i].problem);
    }
    if (faults.size() > kShown && !request.quiet) {
        ReportError(request.archive,
                    "as it is: " + std::to_string(faults.size() - kShown) + " problems more");
    }
    if (!faults.empty() && !request.quiet) {
        ReportError(request.archive,
                    "the saved archive is laid out so that the game finds "
                    "every entry");
    }
    return source;
}

}  // namespace

int RunCreate(const CliRequest& request) {
    std::error_code error;
    if (!request.force && std::filesystem::exists(HostPath(request.archive), error)) {
        ReportError(request.archive, "already exists (use --force to replace it)");
        return kExitFailure;
    }
    const CLgpArchive none;
    ArchiveEdits edits(none);
    std::vector<Change> changes;
    if (!AddPaths(request, request.entries, edits, changes)) {
        return kExitFailure;
    }
    return Finish(request, none, edits, changes);
}

int RunAdd(const CliRequest& request) {
    const EntrySourcePtr source = OpenForEditing(request);
    if (!source) {
        return kExitFailure;
    }
    const CLgpArchive& archive = *source->Catalogue();
    ArchiveEdits edits(archive);
    std::vector<Change> changes;
    if (!AddPaths(request, request.entries, edits, changes)) {
        return kExitFailure;
    }
    return Finish(request, archive, edits, changes);
}

int RunRemove(const CliRequest& request) {
    const EntrySourcePtr source = OpenForEditing(request);
    if (!source) {
        return kExitFailure;
    }
    // Positions in archive order, which are the edit list's own before it changes.
    std::set<size_t> chosen;
    for (const std::string& wanted : request.entries) {
        const std::vector<EntryId> selected = EntriesSelectedBy(*source, wanted);
        if (selected.empty()) {
            ReportError(request.archive, NothingSelectedProblem(*source, wanted));
            return kExitFailure;
        }
        for (EntryId id : selected) {
            chosen.insert(source->PositionOf(id));
        }
    }
    const CLgpArchive& archive = *source->Catalogue();
    ArchiveEdits edits(archive);
    std::vector<Change> changes;
    for (size_t i : chosen) {
        const WriterEntry& entry = edits.Entries()[i].entry;
        changes.push_back({"remove", entry.name, entry.folder, entry.source.size, ""});
    }
    edits.RemoveAll(std::vector<size_t>(chosen.begin(), chosen.end()));
    return Finish(request, archive, edits, changes);
}

int RunRename(const CliRequest& request) {
    const EntrySourcePtr source = OpenForEditing(request);
    if (!source) {
        return kExitFailure;
    }
    const std::optional<EntryId> id = FindEntry(*source, request.entries[0]);
    if (!id) {
        ReportError(request.archive, NoEntryProblem(*source, request.entries[0]));
        return kExitFailure;
    }
    const size_t position = source->PositionOf(*id);
    std::string name;
    if (!Latin1FromUtf8(request.entries[1], &name)) {
        ReportError(request.entries[1], "the name has characters an archive cannot hold");
        return kExitFailure;
    }
    const CLgpArchive& archive = *source->Catalogue();
    ArchiveEdits edits(archive);
    const WriterEntry old = edits.Entries()[position].entry;
    const std::string folder = request.folder.value_or(old.folder);
    const std::string why = edits.Rename(position, name, folder);
    if (!why.empty()) {
        ReportError(request.archive, why);
        return kExitFailure;
    }
    return Finish(request, archive, edits,
                  {{"rename", old.name, old.folder, old.source.size, name}});
}
