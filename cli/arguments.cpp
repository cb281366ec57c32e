#include "cli/arguments.h"

namespace {

struct CommandName {
    const char* name;
    CliCommand command;
};

constexpr CommandName kCommands[] = {
    {"list", CliCommand::List},       {"info", CliCommand::Info},
    {"extract", CliCommand::Extract}, {"render", CliCommand::Render},
    {"verify", CliCommand::Verify},
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

// --palette N: a palette number, digits only.
bool TakePalette(const std::vector<std::string>& args, size_t& i, CliRequest& request,
                 std::string* error) {
    std::string value;
    if (!TakeValue(args, i, &value, error)) {
        return false;
    }
    const bool digits = !value.empty() && value.size() <= 9 &&
                        value.find_first_not_of("0123456789") == std::string::npos;
    if (!digits) {
        *error = "--palette needs a palette number, not " + value;
        return false;
    }
    request.palette = static_cast<uint32_t>(std::stoul(value));
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
    if (arg == "--palette" && command == CliCommand::Render) {
        return TakePalette(args, i, request, error);
    }
    if (arg == "--decompress" && command == CliCommand::Extract) {
        request.decompress = true;
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
        case CliCommand::Verify:
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
           "  lumo-cli info ARCHIVE [ENTRY...]\n"
           "      The archive's path, length and entry count; with ENTRY, each entry's\n"
           "      properties instead, one key<TAB>value line each, a blank line between\n"
           "      entries.\n"
           "  lumo-cli extract ARCHIVE [-o DIR] [--decompress] [ENTRY...]\n"
           "      Writes DIR/<name> for each ENTRY (a name, or #N for the entry with\n"
           "      index N); no ENTRY means every entry. DIR defaults to the current\n"
           "      folder. --decompress decodes the field entries (type code 3); others\n"
           "      are written as stored. Prints each file written and its size\n"
           "      (control characters in names as \\xHH). An entry the archive holds\n"
           "      only in part is written as far as it goes and reported as a failure.\n"
           "  lumo-cli render ARCHIVE ENTRY (-o FILE.png | --raw FILE) [--palette N]\n"
           "      Renders a field entry's background to a PNG, or to raw 16-bit\n"
           "      little-endian 5-5-5 pixels (blue in bits 0-4, red in bits 10-14),\n"
           "      top row first, no padding. Renders a texture to an 8-bit RGBA PNG, or\n"
           "      to raw R, G, B, A bytes, top row first, no padding; --palette picks\n"
           "      the texture's palette (default 0).\n"
           "  lumo-cli verify ARCHIVE\n"
           "      Reads every entry, decoding fields and textures, and lists each one\n"
           "      that is cut short, lies about its stream or cannot be decoded:\n"
           "      index<TAB>name<TAB>problem. Exit status 0 when there is none.\n"
           "  lumo-cli --help\n"
           "\n"
           "Use -- before entry names that begin with '-'.\n"
           "Exit status: 0 success, 1 failure, 2 bad usage.\n";
}
