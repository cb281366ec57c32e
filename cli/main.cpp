// lumo-cli: list, inspect, extract and render the entries of LGP archives.
#include <iostream>
#include <string>
#include <vector>

#include "cli/arguments.h"
#include "cli/cli_common.h"
#include "cli/commands.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string error;
    const std::optional<CliRequest> request = ParseArguments(args, &error);
    if (!request) {
        std::cerr << "lumo-cli: " << error << "\nTry 'lumo-cli --help'.\n";
        return kExitUsage;
    }
    switch (request->command) {
        case CliCommand::List:
            return RunList(*request);
        case CliCommand::Info:
            return RunInfo(*request);
        case CliCommand::Extract:
            return RunExtract(*request);
        case CliCommand::Render:
            return RunRender(*request);
        case CliCommand::Help:
            break;
    }
    std::cout << UsageText();
    return kExitOk;
}
