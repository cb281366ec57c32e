// SPDX-License-Identifier: MIT
// list and info: read-only looks at the catalogue, as text lines or as one JSON document.
#include <iostream>

#include "archive/entry_check.h"
#include "archive/lgp_snapshot.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "environment/game_environment.h"
#include "extract/extract_engine.h"
#include "extract/host_names.h"

namespace {

// What --long adds for a compressed (field) entry: the stream length in front of its
// stream and the size it decodes to, checked by the rule extraction goes by. Other
// entries are stored as they are.
struct StreamSizes {
    bool compressed = false;
    EntryCheck check;
};

StreamSizes ReadStreamSizes(const IEntrySource& source, EntryId id) {
    StreamSizes sizes;
    sizes.compressed = IsCompressedType(source.Type(id));
    if (sizes.compressed) {
        sizes.check = source.Check(id, true);
    }
    return sizes;
}

// Only archives with entries sharing a name have folders; only their listings say so.
bool ListsFolders(const CLgpArchive& catalogue) {
    return catalogue.GetTables().conflictProblem.empty() &&
           catalogue.GetTables().conflictRecords != 0;
}

// What the long listing and JSON give of the archive's own layout: the catalogue's.
uint32_t OffsetOf(const IEntrySource& source, size_t i) {
    return source.Catalogue()->GetEntryOffset(static_cast<uint16_t>(i));
}

// `sizes` is null without --long.
std::string TextLine(const IEntrySource& source, size_t i, const StreamSizes* sizes) {
    const EntryId id = source.IdAt(i);
    std::string line = std::to_string(i) + '\t' + ShownName(source, id) + '\t' +
                       PrintableName(HostNameFromLatin1(source.Extension(id))) + '\t' +
                       std::to_string(source.Size(id)) + '\t' + std::to_string(source.Type(id));
    if (ListsFolders(*source.Catalogue())) {
        line += '\t' + PrintableName(HostNameFromLatin1(source.Folder(id)));
    }
    if (sizes) {
        line += '\t' + std::to_string(OffsetOf(source, i)) + '\t' +
                (sizes->compressed ? std::to_string(sizes->check.streamLength) : "-") + '\t' +
                (sizes->compressed ? std::to_string(sizes->check.decodedSize) : "-");
    }
    return line + '\n';
}

std::string JsonEntry(const IEntrySource& source, size_t i, const StreamSizes* sizes) {
    const EntryId id = source.IdAt(i);
    std::string entry = "{\"index\":" + std::to_string(i) +
                        ",\"name\":" + JsonString(extract::EntryHostName(source, id)) +
                        ",\"extension\":" + JsonString(HostNameFromLatin1(source.Extension(id))) +
                        ",\"size\":" + std::to_string(source.Size(id)) +
                        ",\"type\":" + std::to_string(source.Type(id)) +
                        ",\"folder\":" + JsonString(HostNameFromLatin1(source.Folder(id))) +
                        ",\"offset\":" + std::to_string(OffsetOf(source, i)) +
                        ",\"whole\":" + (source.Check(id, false).Whole() ? "true" : "false");
    if (sizes) {
        const auto number = [sizes](uint64_t n) {
            return sizes->compressed ? std::to_string(n) : std::string("null");
        };
        entry += ",\"streamLength\":" + number(sizes->check.streamLength) +
                 ",\"decodedSize\":" + number(sizes->check.decodedSize);
    }
    return entry + '}';
}

// Why an entry is not whole, in the entry check's words, as extract and verify say it:
// the file holds it only in part, or, with --long, which shows what field entries decode
// to, its stream is one extraction would refuse.
EntryProblem ProblemOf(const IEntrySource& source, EntryId id, const StreamSizes* sizes) {
    if (sizes != nullptr && sizes->compressed) {
        return sizes->check.problem;
    }
    return source.Check(id, false).problem;
}

}  // namespace

int RunList(const CliRequest& request) {
    const EntrySourcePtr source = OpenSource(request.archive);
    if (!source) {
        return kExitFailure;
    }
    std::string out;
    if (request.json) {
        out = "{\"archive\":" + JsonString(request.archive) + ",\"entries\":[";
    }
    std::vector<std::string> problems;
    const SourceReadScope scope(*source);
    for (size_t i = 0; i < source->Count(); ++i) {
        const EntryId id = source->IdAt(i);
        const StreamSizes sizes = request.longForm ? ReadStreamSizes(*source, id) : StreamSizes();
        const StreamSizes* shown = request.longForm ? &sizes : nullptr;
        if (request.json) {
            out += (i == 0 ? "\n" : ",\n") + JsonEntry(*source, i, shown);
        } else {
            out += TextLine(*source, i, shown);
        }
        const EntryProblem problem = ProblemOf(*source, id, shown);
        if (problem != EntryProblem::None) {
            problems.push_back(DescribeEntry(*source, id) + ": " + DescribeEntryProblem(problem));
        }
    }
    if (request.json) {
        out += "\n]}\n";
    }
    std::cout << out << std::flush;
    // Listed like the others, then named: the listing stays complete, and the run fails
    // so that scripts notice.
    for (const std::string& problem : problems) {
        ReportError(request.archive, problem);
    }
    return std::cout && problems.empty() ? kExitOk : kExitFailure;
}

int RunInfo(const CliRequest& request) {
    if (!request.entries.empty()) {
        return RunEntryInfo(request);
    }
    const EntrySourcePtr source = OpenSource(request.archive);
    if (!source) {
        return kExitFailure;
    }
    const auto length = static_cast<uint32_t>(source->ArchiveLength());
    if (request.json) {
        std::cout << "{\"archive\":" << JsonString(request.archive) << ",\"length\":" << length
                  << ",\"entryCount\":" << source->Count() << "}\n"
                  << std::flush;
        return std::cout ? kExitOk : kExitFailure;
    }
    char size[16];
    std::cout << "path:\t" << request.archive << '\n'
              << "length:\t" << length << " (" << CGameEnvironment::FormatSizeLong(size, length)
              << ")\n"
              << "entries:\t" << source->Count() << '\n'
              << std::flush;
    return std::cout ? kExitOk : kExitFailure;
}
