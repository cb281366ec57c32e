// SPDX-License-Identifier: MIT
// render: an entry drawn by what its kind renders to (the kinds table), to a PNG (-o) or
// to the kind's raw pixels (--raw), or for music to WAV or FLAC (-o, by the name's
// extension). A field renders its background, a texture its RGBA pixels, music what
// the synthesizer plays; the type code is what says what an entry's bytes are, so a
// kind that renders to nothing is refused with a message rather than guessed at.
// Entries are read by the rule extraction goes by: one that is not whole is refused
// with the entry check's reason, or with --partial rendered from what it holds.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <set>
#include <system_error>
#include <vector>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/progress.h"
#include "extract/extract_engine.h"
#include "extract/host_names.h"
#include "formats/entry_kinds.h"
#include "platform/ascii.h"
#include "platform/file_output.h"
#include "platform/host_file.h"

namespace {

enum class Readiness { Refused, Whole, Partial };

// The entry's bytes as its kind renders them (decoded when compressed). Not whole: the
// reason is reported, and the bytes are kept only with --partial.
Readiness ReadForRender(IEntryReader& reader, const IEntrySource& source, const CliRequest& request,
                        EntryId id, std::vector<uint8_t>* bytes) {
    const EntryCheck check = reader.Read(id, IsCompressedType(source.Type(id)), bytes);
    if (check.problem == EntryProblem::ArchiveChanged ||
        check.problem == EntryProblem::CannotRead) {
        ReportError(request.archive, DescribeEntryProblem(check.problem));
        return Readiness::Refused;
    }
    if (check.Whole()) {
        return Readiness::Whole;
    }
    ReportError(request.archive,
                DescribeEntry(source, id) + ": " + DescribeEntryProblem(check.problem) +
                    (request.partial ? "; rendered as far as it goes" : "; not rendered"));
    return request.partial ? Readiness::Partial : Readiness::Refused;
}

// Makes one output of the entry's kind; false (reported) when the kind cannot.
bool MakeOutput(const IEntrySource& source, const CliRequest& request, EntryId id,
                const KindOutput& output, const std::vector<uint8_t>& bytes,
                std::vector<uint8_t>* file) {
    OutputOptions options;
    options.palette = request.palette;
    options.soundFont = request.soundFont;
    const std::string problem = output.make(bytes.data(), bytes.size(), options, file);
    if (!problem.empty()) {
        ReportError(request.archive, DescribeEntry(source, id) + ": " + problem);
        return false;
    }
    return true;
}

// One entry of render --all to `folder`/<name><extension>; false (reported) when it fails.
bool RenderToFolder(IEntryReader& reader, const IEntrySource& source, const CliRequest& request,
                    EntryId id, std::set<std::string>& written) {
    // A kind's first output is the one --all writes: a PNG for images, WAV for music.
    const KindOutput& output = KindOf(source.Type(id)).outputs.front();
    const std::string file = extract::EntryHostName(source, id) + output.extension;
    // The extraction engine's rule: names that are one file on this host collide.
    if (!IsPlainFileName(file) || !written.insert(CollisionKey(file)).second) {
        ReportError(request.archive,
                    DescribeEntry(source, id) +
                        (IsPlainFileName(file) ? ": another entry of that name was rendered already"
                                               : ": not a plain file name; refused"));
        return false;
    }
    std::vector<uint8_t> bytes;
    std::vector<uint8_t> png;
    const Readiness readiness = ReadForRender(reader, source, request, id, &bytes);
    if (readiness == Readiness::Refused || !MakeOutput(source, request, id, output, bytes, &png)) {
        return false;
    }
    const std::string path = JoinPath(request.pngPath, file);
    if (!WriteRenderOutput(source.ArchiveIdentity(), path, png)) {
        return false;
    }
    if (!request.quiet) {
        std::cout << JoinPath(request.pngPath, PrintableName(file)) << '\t' << png.size() << '\n';
    }
    return readiness == Readiness::Whole;
}

// "field": the kinds render --all draws, for messages.
std::string KindsRenderedByAll() {
    std::string names;
    for (const EntryKind& kind : EntryKinds()) {
        if (kind.renderAll) {
            names += (names.empty() ? "" : " or ") + std::string(kind.name);
        }
    }
    return names;
}

// Every entry of a kind render --all draws; a failure is reported and the others go on.
int RenderAll(const IEntrySource& source, const CliRequest& request) {
    std::vector<EntryId> chosen;
    for (size_t i = 0; i < source.Count(); ++i) {
        const EntryKind& kind = KindOf(source.Type(source.IdAt(i)));
        if (kind.renderAll && !kind.outputs.empty()) {
            chosen.push_back(source.IdAt(i));
        }
    }
    if (chosen.empty()) {
        ReportError(request.archive, "no " + KindsRenderedByAll() + " entries to render");
        return kExitFailure;
    }
    std::error_code ec;
    std::filesystem::create_directories(HostPath(request.pngPath), ec);
    if (!std::filesystem::is_directory(HostPath(request.pngPath), ec)) {
        ReportError(request.pngPath, "cannot create folder");
        return kExitFailure;
    }
    bool ok = true;
    std::set<std::string> written;
    const std::unique_ptr<IEntryReader> reader = source.OpenReader();
    Progress progress(request.verbose, chosen.size());
    for (EntryId id : chosen) {
        ok = RenderToFolder(*reader, source, request, id, written) && ok;
        progress.Step();
    }
    return ok ? kExitOk : kExitFailure;
}

// "field, music or texture": the kinds that render to anything, for messages.
std::string RenderableKinds() {
    std::vector<std::string> names;
    for (const EntryKind& kind : EntryKinds()) {
        if (!kind.outputs.empty()) {
            names.emplace_back(kind.name);
        }
    }
    std::sort(names.begin(), names.end());
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    }
    return text;
}

bool EndsWithIgnoringCase(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           std::equal(end.begin(), end.end(), text.end() - static_cast<long>(end.size()),
                      [](char a, char b) { return ToLowerAscii(a) == ToLowerAscii(b); });
}

// The output -o writes: the one the file's extension names (raw only through --raw), or
// the kind's first for standard output ("-"); null when the kind has none of these. A
// PNG under another file type's name would mislead whatever opens it.
const KindOutput* OutputForPath(const EntryKind& kind, const std::string& path) {
    for (const KindOutput& output : kind.outputs) {
        if (std::string(output.format) != "raw" && EndsWithIgnoringCase(path, output.extension)) {
            return &output;
        }
    }
    if (path == "-" && !kind.outputs.empty()) {
        return &kind.outputs.front();
    }
    return nullptr;
}

// Refuses an entry whose kind cannot give what the request asks; reported.
bool KindServes(const IEntrySource& source, const CliRequest& request, EntryId id,
                const EntryKind& kind) {
    if (kind.outputs.empty()) {
        ReportError(request.archive, DescribeEntry(source, id) + ": not a " + RenderableKinds() +
                                         " entry (type code " + std::to_string(kind.type) + ")");
        return false;
    }
    if (!request.soundFont.empty() && FindOutput(kind, "wav") == nullptr) {
        ReportError(request.archive, DescribeEntry(source, id) +
                                         ": --soundfont is for music; this entry is not music");
        return false;
    }
    if (!request.pngPath.empty() && OutputForPath(kind, request.pngPath) == nullptr) {
        std::string names;
        for (const KindOutput& output : kind.outputs) {
            names += (names.empty() ? "" : " or ") + std::string(output.extension);
        }
        ReportError(request.pngPath, std::string(kind.name) + " entries render to " + names +
                                         " files; the name must end in one of them");
        return false;
    }
    if (request.palette && !kind.takesPalette) {
        ReportError(request.archive,
                    DescribeEntry(source, id) + ": --palette is not for " + kind.name + " entries");
        return false;
    }
    return true;
}

// -o names one file, and never the archive: checked before its name's ending, so that
// the worse mistake is the one reported. A folder would only get a file in it that
// nothing looks for.
bool OutputTargetOk(const IEntrySource& source, const std::string& path) {
    if (path.empty() || path == "-") {
        return true;
    }
    if (extract::IsArchiveFile(source, path)) {
        ReportError(path, "is the archive being read; not overwritten");
        return false;
    }
    std::error_code error;
    if (path.back() == '/' || path.back() == '\\' ||
        std::filesystem::is_directory(HostPath(path), error)) {
        ReportError(path, "is a folder; -o takes the output file's name (such as FILE.png)");
        return false;
    }
    return true;
}

// The single entry's outputs: --raw, then -o. A kind that cannot make one stops the run.
int RenderOne(const IEntrySource& source, const CliRequest& request, EntryId id) {
    if (!OutputTargetOk(source, request.pngPath)) {
        return kExitFailure;
    }
    const EntryKind& kind = KindOf(source.Type(id));
    if (!KindServes(source, request, id, kind)) {
        return kExitFailure;
    }
    std::vector<uint8_t> bytes;
    const Readiness readiness = ReadForRender(*source.OpenReader(), source, request, id, &bytes);
    if (readiness == Readiness::Refused) {
        return kExitFailure;
    }
    bool ok = readiness == Readiness::Whole;
    const std::pair<const char*, const std::string*> wanted[] = {{"raw", &request.rawPath},
                                                                 {"png", &request.pngPath}};
    for (const auto& [format, path] : wanted) {
        const KindOutput* output =
            path == &request.pngPath ? OutputForPath(kind, *path) : FindOutput(kind, format);
        if (path->empty()) {
            continue;
        }
        if (output == nullptr) {
            ReportError(request.archive, DescribeEntry(source, id) + ": " + kind.name +
                                             " entries have no " + format + " form");
            return kExitFailure;
        }
        std::vector<uint8_t> file;
        if (!MakeOutput(source, request, id, *output, bytes, &file)) {
            return kExitFailure;
        }
        ok = WriteRenderOutput(source.ArchiveIdentity(), *path, file) && ok;
    }
    return ok ? kExitOk : kExitFailure;
}

}  // namespace

bool WriteRenderOutput(const FileIdentity& archive, const std::string& path,
                       const std::vector<uint8_t>& bytes) {
    if (IdentifyFile(path).SameFile(archive)) {
        ReportError(path, "is the archive being read; not overwritten");
        return false;
    }
    PlaceRules rules;  // its message names the path escaped
    rules.protect = archive;
    const AtomicWriteResult result = WriteOutputFile(path, bytes.data(), bytes.size(), rules);
    if (!result.Ok()) {
        std::cerr << kErrorPrefix << result.message << '\n';
        return false;
    }
    return true;
}

int RunRender(const CliRequest& request) {
    const EntrySourcePtr source = OpenSource(request.archive);
    if (!source) {
        return kExitFailure;
    }
    if (request.all) {
        return RenderAll(*source, request);
    }
    const std::string& wanted = request.entries.front();
    const std::optional<EntryId> id = FindEntry(*source, wanted);
    if (!id) {
        ReportError(request.archive, NoEntryProblem(*source, wanted));
        return kExitFailure;
    }
    return RenderOne(*source, request, *id);
}
