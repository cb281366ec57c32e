#include "cli/arguments.h"

namespace {

struct CommandName {
    const char* name;
    CliCommand command;
};

constexpr CommandName kCommands[] = {
    {"list", CliCommand::List},
    {"info", CliCommand::Info},
    {"extract", CliCommand::Extract},
    {"render", CliCommand::Render},
};

bool IsHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

// Takes the value of an option such as "-o DIR"; false when it is missing.
bool TakeValue(const std::vector<std::string>& args, size_t& i, std::string* value,
               std::string* error) {
    if (i + 1 >= args.size()) {
        *error = "option " + args[i] + " needs a value";
        return false;
    }
    *value = args[++i];
    return true;
}

// Applies one option; false (with `error`) when it does not belong to the command.
bool TakeOption(const std::vector<std::string>& args, size_t& i, CliRequest& request,
                std::string* error) {
    const std::string& arg = args[i];
    const CliCommand command = request.command;
    if (arg == "-o" && command == CliCommand::Extract) {
        return TakeValue(args, i, &request.outputDir, error);
    }
    if (arg == "-o" && command == CliCommand::Render) {
        return TakeValue(args, i, &request.pngPath, error);
    }
    if (arg == "--raw" && command == CliCommand::Render) {
        return TakeValue(args, i, &request.rawPath, error);
    }
    if (arg == "--decompress" && command == CliCommand::Extract) {
        request.decompress = true;
        return true;
    }
    if (arg == "--partial" && command == CliCommand::Extract) {
        request.partial = true;
        return true;
    }
    *error = "unknown option " + arg;
    return false;
}

bool CheckOperands(CliRequest& request, std::vector<std::string>& operands, std::string* error) {
    if (operands.empty()) {
        *error = "missing ARCHIVE";
        return false;
    }
    request.archive = operands.front();
    request.entries.assign(operands.begin() + 1, operands.end());
    const size_t entries = request.entries.size();
    switch (request.command) {
        case CliCommand::List:
        case CliCommand::Info:
            if (entries != 0) {
                *error = "unexpected argument " + request.entries.front();
                return false;
            }
            return true;
        case CliCommand::Render:
            if (entries != 1) {
                *error = entries == 0 ? "missing ENTRY" : "render takes one ENTRY";
                return false;
            }
            if (request.pngPath.empty() && request.rawPath.empty()) {
                *error = "render needs -o FILE.png or --raw FILE";
                return false;
            }
            return true;
        default:
            return true;
    }
}

}  // namespace

std::optional<CliRequest> ParseArguments(const std::vector<std::string>& args, std::string* error) {
    CliRequest request;
    for (const std::string& arg : args) {
        if (arg == "--") {
            break;
        }
        if (IsHelp(arg)) {
            return request;  // Help, whatever else was given
        }
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

const char* UsageText() {
    return "Usage:\n"
           "  lumo-cli list ARCHIVE\n"
           "      One tab-separated line per entry, in archive order:\n"
           "      index, name, extension, size in bytes, type code.\n"
           "  lumo-cli info ARCHIVE\n"
           "      The archive's path, length and entry count.\n"
           "  lumo-cli extract ARCHIVE [-o DIR] [--decompress] [--partial] [ENTRY...]\n"
           "      Writes DIR/<name> for each ENTRY (a name as list shows it, escaped or\n"
           "      not, or #N for the entry with index N); no ENTRY means every entry.\n"
           "      DIR defaults to the current folder. --decompress decodes the field\n"
           "      entries (type code 3); others are written as stored. Prints each file\n"
           "      written and its size (control characters in names as \\xHH). An entry\n"
           "      the archive holds only in part is not written and is reported as a\n"
           "      failure; with --partial it is written as far as it goes, but never\n"
           "      over an existing file, and still reported.\n"
           "  lumo-cli render ARCHIVE ENTRY (-o FILE.png | --raw FILE)\n"
           "      Renders a field entry's background to a PNG, or to raw 16-bit\n"
           "      little-endian 5-5-5 pixels (blue in bits 0-4, red in bits 10-14),\n"
           "      top row first, no padding.\n"
           "  lumo-cli --help\n"
           "\n"
           "Use -- before entry names that begin with '-'.\n"
           "Exit status: 0 success, 1 failure, 2 bad usage.\n";
}
