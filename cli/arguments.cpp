// SPDX-License-Identifier: MIT
// The command line parsed into one request: the command, its operands, and which of
// them go together. Which options each command takes is in options.cpp.
#include "cli/arguments.h"

#include "cli/options.h"

namespace {

struct CommandName {
    const char* name;
    CliCommand command;
};

constexpr CommandName kCommands[] = {
    {"list", CliCommand::List},       {"info", CliCommand::Info},
    {"extract", CliCommand::Extract}, {"render", CliCommand::Render},
    {"verify", CliCommand::Verify},   {"create", CliCommand::Create},
    {"add", CliCommand::Add},         {"remove", CliCommand::Remove},
    {"rename", CliCommand::Rename},   {"diff", CliCommand::Diff},
    {"export", CliCommand::Export},
};

// --help and --version stand for themselves wherever they are, before a "--".
std::optional<CliCommand> StandaloneCommand(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (arg == "--help" || arg == "-h") {
            return CliCommand::Help;
        }
        if (arg == "--version") {
            return CliCommand::Version;
        }
    }
    return std::nullopt;
}

// export: one ENTRY and -o FILE, or --all-models and -o DIR; animations or a pose.
std::string ExportProblem(const CliRequest& request) {
    const size_t entries = request.entries.size();
    const bool animated = request.allAnimations || !request.animations.empty();
    if (request.exportPath.empty()) {
        return "export needs -o FILE.glb (or -o DIR with --all-models)";
    }
    if (request.allModels) {
        if (request.exportPath == "-") {
            return "export --all-models writes a file per skeleton; -o - is not a folder";
        }
        return entries != 0 || request.pose || !request.animations.empty()
                   ? "export --all-models takes no ENTRY, --anim or --pose"
                   : "";
    }
    if (entries != 1) {
        return entries == 0 ? "missing ENTRY" : "export takes one ENTRY";
    }
    if (request.allAnimations && !request.animations.empty()) {
        return "--anim and --all-anims cannot go together";
    }
    if (request.pose && animated) {
        return "--pose writes one still pose; it cannot go with --anim or --all-anims";
    }
    return "";
}

// Options that make no sense together, or a render without its one target.
bool CheckCombinations(const CliRequest& request, std::string* error) {
    const size_t entries = request.entries.size();
    std::string problem;
    const CliCommand command = request.command;
    if (request.toStdout && !request.outputDir.empty()) {
        problem = "--stdout and -o cannot go together";
    } else if (request.stored && request.compress) {
        problem = "--stored and --compress cannot go together";
    } else if ((command == CliCommand::Create || command == CliCommand::Add ||
                command == CliCommand::Remove) &&
               entries == 0) {
        problem = command == CliCommand::Remove ? "missing ENTRY" : "missing PATH";
    } else if (command == CliCommand::Add && request.asName && entries != 1) {
        problem = "--as names one PATH";
    } else if (command == CliCommand::Rename && entries != 2) {
        problem = "rename takes ENTRY and NEWNAME";
    } else if (command == CliCommand::Diff && entries != 1) {
        problem = "diff takes two archives";
    } else if (request.command == CliCommand::Export) {
        problem = ExportProblem(request);
    } else if (command != CliCommand::Render) {
        return true;
    } else if (request.all) {
        if (entries != 0 || !request.rawPath.empty() || request.pngPath.empty()) {
            problem = "render --all takes no ENTRY and needs -o DIR (no --raw)";
        } else if (request.pngPath == "-") {
            problem = "render --all writes a file per field; -o - is not a folder";
        }
    } else if (request.pngPath == "-" && request.rawPath == "-") {
        problem = "only one of -o and --raw can go to standard output";
    } else if (entries != 1) {
        problem = entries == 0 ? "missing ENTRY" : "render takes one ENTRY";
    } else if (request.pngPath.empty() && request.rawPath.empty()) {
        problem = "render needs -o FILE (.png, or .wav for music) or --raw FILE";
    }
    *error = problem;
    return problem.empty();
}

bool CheckOperands(CliRequest& request, std::vector<std::string>& operands, std::string* error) {
    if (operands.empty()) {
        *error = "missing ARCHIVE";
        return false;
    }
    request.archive = operands.front();
    request.entries.assign(operands.begin() + 1, operands.end());
    const bool noEntries =
        request.command == CliCommand::List || request.command == CliCommand::Verify;
    if (noEntries && !request.entries.empty()) {
        *error = "unexpected argument " + request.entries.front();
        return false;
    }
    if (request.palette && request.all) {
        *error = "--palette picks one texture's palette; render --all renders fields";
        return false;
    }
    return CheckCombinations(request, error);
}

}  // namespace

std::optional<CliRequest> ParseArguments(const std::vector<std::string>& args, std::string* error) {
    CliRequest request;
    if (std::optional<CliCommand> standalone = StandaloneCommand(args)) {
        request.command = *standalone;  // whatever else was given
        return request;
    }
    if (args.empty()) {
        *error = "missing command";
        return std::nullopt;
    }
    bool known = false;
    for (const CommandName& c : kCommands) {
        if (args[0] == c.name) {
            request.command = c.command;
            known = true;
        }
    }
    if (!known) {
        *error = "unknown command " + args[0];
        return std::nullopt;
    }
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (!TakeOption(args, i, request, error)) {
                return std::nullopt;
            }
        } else {
            operands.push_back(arg);
        }
    }
    if (!CheckOperands(request, operands, error)) {
        return std::nullopt;
    }
    return request;
}
