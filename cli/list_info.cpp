// list and info: read-only looks at the catalogue, as text lines or as one JSON document.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "environment/game_environment.h"

namespace {

// What --long adds for a compressed (field) entry: the stream length in front of its
// stream and the size it decodes to. Other entries are stored as they are.
struct StreamSizes {
    bool compressed = false;
    uint32_t streamLength = 0;
    uint32_t decodedSize = 0;
};

StreamSizes ReadStreamSizes(const CLgpArchive& archive, uint16_t i) {
    StreamSizes sizes;
    sizes.compressed = archive.GetEntryType(i) == LGP_TYPE_FIELD;
    if (sizes.compressed) {
        sizes.streamLength = archive.ReadEntryStreamLength(i);
        sizes.decodedSize = archive.ReadEntryDecompressed(i, nullptr, 0);
    }
    return sizes;
}

std::string TextLine(const CLgpArchive& archive, uint16_t i, bool longForm) {
    std::string line = std::to_string(i) + '\t' + PrintableName(archive.GetEntryName(i)) + '\t' +
                       PrintableName(archive.GetEntryExtension(i)) + '\t' +
                       std::to_string(archive.GetEntrySize(i)) + '\t' +
                       std::to_string(archive.GetEntryType(i));
    if (longForm) {
        const StreamSizes sizes = ReadStreamSizes(archive, i);
        line += '\t' + std::to_string(archive.GetEntryOffset(i)) + '\t' +
                (sizes.compressed ? std::to_string(sizes.streamLength) : "-") + '\t' +
                (sizes.compressed ? std::to_string(sizes.decodedSize) : "-");
    }
    return line + '\n';
}

std::string JsonEntry(const CLgpArchive& archive, uint16_t i, bool longForm) {
    std::string entry = "{\"index\":" + std::to_string(i) +
                        ",\"name\":" + JsonString(archive.GetEntryName(i)) +
                        ",\"extension\":" + JsonString(archive.GetEntryExtension(i)) +
                        ",\"size\":" + std::to_string(archive.GetEntrySize(i)) +
                        ",\"type\":" + std::to_string(archive.GetEntryType(i)) +
                        ",\"offset\":" + std::to_string(archive.GetEntryOffset(i)) +
                        ",\"whole\":" + (archive.IsEntryWhole(i) ? "true" : "false");
    if (longForm) {
        const StreamSizes sizes = ReadStreamSizes(archive, i);
        const auto number = [&sizes](uint32_t n) {
            return sizes.compressed ? std::to_string(n) : std::string("null");
        };
        entry += ",\"streamLength\":" + number(sizes.streamLength) +
                 ",\"decodedSize\":" + number(sizes.decodedSize);
    }
    return entry + '}';
}

// Entries the file holds only in part are listed like the others, then named here: the
// listing stays complete, and the run fails so that scripts notice.
bool ReportCutShortEntries(const CLgpArchive& archive, const std::string& path) {
    bool ok = true;
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        if (!archive.IsEntryWhole(i)) {
            ReportError(path, DescribeEntry(archive, i) + ": cut short");
            ok = false;
        }
    }
    return ok;
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
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        if (request.json) {
            out += (i == 0 ? "\n" : ",\n") + JsonEntry(archive, i, request.longForm);
        } else {
            out += TextLine(archive, i, request.longForm);
        }
    }
    if (request.json) {
        out += "\n]}\n";
    }
    std::cout << out << std::flush;
    const bool whole = ReportCutShortEntries(archive, request.archive);
    return std::cout && whole ? kExitOk : kExitFailure;
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
