// SPDX-License-Identifier: MIT
// list and info: read-only looks at the catalogue, as text lines or as one JSON document.
#include <iostream>

#include "archive/entry_check.h"
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

StreamSizes ReadStreamSizes(const CLgpArchive& archive, uint16_t i) {
    StreamSizes sizes;
    sizes.compressed = IsCompressedType(archive.GetEntryType(i));
    if (sizes.compressed) {
        sizes.check = CheckEntry(archive, i, true);
    }
    return sizes;
}

// `sizes` is null without --long.
std::string TextLine(const CLgpArchive& archive, uint16_t i, const StreamSizes* sizes) {
    std::string line = std::to_string(i) + '\t' + ShownName(archive, i) + '\t' +
                       PrintableName(HostNameFromLatin1(archive.GetEntryExtension(i))) + '\t' +
                       std::to_string(archive.GetEntrySize(i)) + '\t' +
                       std::to_string(archive.GetEntryType(i));
    // Only archives with entries sharing a name have folders; only their listings say so.
    if (archive.GetTables().conflictProblem.empty() && archive.GetTables().conflictRecords != 0) {
        line += '\t' + PrintableName(HostNameFromLatin1(archive.GetEntryFolder(i)));
    }
    if (sizes) {
        line += '\t' + std::to_string(archive.GetEntryOffset(i)) + '\t' +
                (sizes->compressed ? std::to_string(sizes->check.streamLength) : "-") + '\t' +
                (sizes->compressed ? std::to_string(sizes->check.decodedSize) : "-");
    }
    return line + '\n';
}

std::string JsonEntry(const CLgpArchive& archive, uint16_t i, const StreamSizes* sizes) {
    std::string entry =
        "{\"index\":" + std::to_string(i) +
        ",\"name\":" + JsonString(extract::EntryHostName(archive, i)) +
        ",\"extension\":" + JsonString(HostNameFromLatin1(archive.GetEntryExtension(i))) +
        ",\"size\":" + std::to_string(archive.GetEntrySize(i)) +
        ",\"type\":" + std::to_string(archive.GetEntryType(i)) +
        ",\"folder\":" + JsonString(HostNameFromLatin1(archive.GetEntryFolder(i))) +
        ",\"offset\":" + std::to_string(archive.GetEntryOffset(i)) +
        ",\"whole\":" + (archive.IsEntryWhole(i) ? "true" : "false");
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
EntryProblem ProblemOf(const CLgpArchive& archive, uint16_t i, const StreamSizes* sizes) {
    if (sizes != nullptr && sizes->compressed) {
        return sizes->check.problem;
    }
    return CheckEntry(archive, i, false).problem;
}

}  // namespace

int RunList(const CliRequest& request) {
    CLgpArchive archive;
    if (!OpenArchive(archive, request.archive)) {
        return kExitFailure;
    }
    std::string out;
    if (request.json) {
        out = "{\"archive\":" + JsonString(request.archive) + ",\"entries\":[";
    }
    std::vector<std::string> problems;
    const CLgpArchive::ReadScope scope(archive);
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        const StreamSizes sizes = request.longForm ? ReadStreamSizes(archive, i) : StreamSizes();
        const StreamSizes* shown = request.longForm ? &sizes : nullptr;
        if (request.json) {
            out += (i == 0 ? "\n" : ",\n") + JsonEntry(archive, i, shown);
        } else {
            out += TextLine(archive, i, shown);
        }
        const EntryProblem problem = ProblemOf(archive, i, shown);
        if (problem != EntryProblem::None) {
            problems.push_back(DescribeEntry(archive, i) + ": " + DescribeEntryProblem(problem));
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
    CLgpArchive archive;
    if (!OpenArchive(archive, request.archive)) {
        return kExitFailure;
    }
    const uint32_t length = archive.GetArchiveLength();
    if (request.json) {
        std::cout << "{\"archive\":" << JsonString(request.archive) << ",\"length\":" << length
                  << ",\"entryCount\":" << archive.GetEntryCount() << "}\n"
                  << std::flush;
        return std::cout ? kExitOk : kExitFailure;
    }
    char size[16];
    std::cout << "path:\t" << request.archive << '\n'
              << "length:\t" << length << " (" << CGameEnvironment::FormatSizeLong(size, length)
              << ")\n"
              << "entries:\t" << archive.GetEntryCount() << '\n'
              << std::flush;
    return std::cout ? kExitOk : kExitFailure;
}
