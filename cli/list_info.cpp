// list and info: read-only looks at the catalogue.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "environment/game_environment.h"

int RunList(const CliRequest& request) {
    CLgpArchive archive;
    if (!OpenArchive(archive, request.archive)) {
        return kExitFailure;
    }
    std::string out;
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        out += std::to_string(i) + '\t' + PrintableName(archive.GetEntryName(i)) + '\t' +
               PrintableName(archive.GetEntryExtension(i)) + '\t' +
               std::to_string(archive.GetEntrySize(i)) + '\t' +
               std::to_string(archive.GetEntryType(i)) + '\n';
    }
    std::cout << out << std::flush;
    return std::cout ? kExitOk : kExitFailure;
}

int RunInfo(const CliRequest& request) {
    if (!request.entries.empty()) {
        return RunEntryInfo(request);
    }
    CLgpArchive archive;
    if (!OpenArchive(archive, request.archive)) {
        return kExitFailure;
    }
    char size[16];
    const uint32_t length = archive.GetArchiveLength();
    std::cout << "path:\t" << request.archive << '\n'
              << "length:\t" << length << " (" << CGameEnvironment::FormatSizeLong(size, length)
              << ")\n"
              << "entries:\t" << archive.GetEntryCount() << '\n'
              << std::flush;
    return std::cout ? kExitOk : kExitFailure;
}
