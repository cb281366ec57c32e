// verify ARCHIVE: the integrity check modders run after editing an archive, the same
// one as the desktop program's Verify.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "formats/entry_report.h"

int RunVerify(const CliRequest& request) {
    CLgpArchive archive;
    if (!OpenArchive(archive, request.archive)) {
        return kExitFailure;
    }
    const std::vector<EntryFault> faults = VerifyArchive(archive, {}, nullptr);
    std::string out;
    for (const EntryFault& fault : faults) {
        out += std::to_string(fault.index) + '\t' + ShownName(archive, fault.index) + '\t' +
               fault.problem + '\n';
    }
    std::cout << out << std::flush;
    if (!faults.empty()) {
        ReportError(request.archive, std::to_string(faults.size()) + " of " +
                                         std::to_string(archive.GetEntryCount()) +
                                         " entries have problems");
        return kExitFailure;
    }
    return std::cout ? kExitOk : kExitFailure;
}
