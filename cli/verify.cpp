// SPDX-License-Identifier: MIT
// verify ARCHIVE: the integrity check modders run after editing an archive, the same
// one as the desktop program's Verify.
#include <iostream>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "formats/entry_report.h"

// Damage comes first and fails the run; entries that are whole but do not decode as
// their type suggests are warnings, which fail it only with --strict. An archive that
// cannot be read at all is an error of its own (exit 2).
int RunVerify(const CliRequest& request) {
    const EntrySourcePtr source = OpenSource(request.archive);
    if (!source) {
        return kExitUsage;
    }
    const std::vector<EntryFault> faults = VerifyArchive(*source, {}, nullptr);
    std::string out;
    size_t damaged = 0;
    for (bool damage : {true, false}) {
        for (const EntryFault& fault : faults) {
            if (fault.damage != damage) {
                continue;
            }
            damaged += damage ? 1 : 0;
            const std::string where =
                fault.wholeArchive
                    ? "-\t-\t"
                    : std::to_string(fault.index) + '\t' + ShownName(*source, fault.entry) + '\t';
            out += where + (damage ? "" : "warning: ") + fault.problem + '\n';
        }
    }
    std::cout << out << std::flush;
    const std::string entries = std::to_string(source->Count()) + " entries";
    if (damaged != 0) {
        ReportError(request.archive, std::to_string(damaged) + " problems in " + entries +
                                         ": the archive is damaged");
    }
    const size_t warnings = faults.size() - damaged;
    if (warnings != 0) {
        ReportError(request.archive,
                    std::to_string(warnings) + " of " + entries +
                        " are whole but do not decode as their type suggests" +
                        (request.strict ? "" : " (warnings; --strict fails on them)"));
    }
    if (damaged != 0 || (warnings != 0 && request.strict)) {
        return kExitFailure;
    }
    return std::cout ? kExitOk : kExitFailure;
}
