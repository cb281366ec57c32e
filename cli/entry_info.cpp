// info ARCHIVE ENTRY...: the properties the desktop program's Properties dialog shows,
// one key<TAB>value line each, a blank line between entries; with --json an array of
// one object per entry.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/json_writer.h"
#include "extract/host_names.h"
#include "formats/entry_report.h"

namespace {

std::string Text(const PropertyList& properties) {
    std::string out;
    for (const auto& [key, value] : properties) {
        // Values are Latin-1, as the desktop program shows them.
        out += key + '\t' + PrintableName(HostNameFromLatin1(value)) + '\n';
    }
    return out;
}

std::string Json(const PropertyList& properties) {
    std::string out = "{";
    for (const auto& [key, value] : properties) {
        out += (out.size() > 1 ? "," : "") + JsonString(key) + ":" +
               JsonString(HostNameFromLatin1(value));
    }
    return out + "}";
}

}  // namespace

int RunEntryInfo(const CliRequest& request) {
    CLgpArchive archive;
    if (!OpenArchive(archive, request.archive)) {
        return kExitFailure;
    }
    int status = kExitOk;
    std::string out;
    for (const std::string& wanted : request.entries) {
        const std::optional<uint16_t> index = FindEntry(archive, wanted);
        if (!index) {
            ReportError(request.archive, NoEntryProblem(archive, wanted));
            status = kExitFailure;
            continue;
        }
        const PropertyList properties = EntryProperties(archive, *index);
        if (!out.empty()) {
            out += request.json ? "," : "\n";
        }
        out += request.json ? Json(properties) : Text(properties);
    }
    std::cout << (request.json ? "[" + out + "]\n" : out) << std::flush;
    return std::cout ? status : kExitFailure;
}
