// info ARCHIVE ENTRY...: the properties the desktop program's Properties dialog shows,
// one key<TAB>value line each, a blank line between entries.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "extract/host_names.h"
#include "formats/entry_report.h"

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
        if (!out.empty()) {
            out += '\n';
        }
        for (const auto& [key, value] : EntryProperties(archive, *index)) {
            // Values are Latin-1, as the desktop program shows them.
            out += key + '\t' + PrintableName(HostNameFromLatin1(value)) + '\n';
        }
    }
    std::cout << out << std::flush;
    return std::cout ? status : kExitFailure;
}
