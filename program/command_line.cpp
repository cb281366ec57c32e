// SPDX-License-Identifier: MIT
#include "program/command_line.h"

namespace {

bool IsHelp(const std::string& arg) {
    return arg == "-h" || arg == "--help" || arg == "-?";
}

bool IsVersion(const std::string& arg) {
    return arg == "-v" || arg == "--version";
}

// "-" alone is no option; everything else that starts with a dash is one.
bool LooksLikeOption(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-';
}

}  // namespace

LumoCommandLine ParseLumoCommandLine(const std::vector<std::string>& args) {
    LumoCommandLine result;
    std::vector<std::string> archives;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && IsHelp(arg)) {
            return {LumoCommandLine::Action::Help, {}, {}};
        } else if (!optionsEnded && IsVersion(arg)) {
            return {LumoCommandLine::Action::Version, {}, {}};
        } else if (!optionsEnded && LooksLikeOption(arg)) {
            // Kept looking: a later --help still wins over an unknown option.
            if (result.error.empty()) {
                result.error = "unknown option '" + arg + "'";
            }
        } else {
            archives.push_back(arg);
        }
    }
    if (result.error.empty() && archives.size() > 1) {
        result.error = "one archive at a time, " + std::to_string(archives.size()) + " given";
    }
    if (!result.error.empty()) {
        result.action = LumoCommandLine::Action::Error;
        return result;
    }
    if (!archives.empty()) {
        result.archive = archives.front();
    }
    return result;
}

std::string LumoHelpText() {
    return "Usage: lumo [OPTION]... [ARCHIVE]\n"
           "View and extract the entries of an LGP archive.\n"
           "\n"
           "With ARCHIVE, Lumo starts with that archive open, as File > Open archive...\n"
           "would open it; a file that cannot be opened is reported in a message box.\n"
           "\n"
           "  -h, --help     show this help and exit\n"
           "  -v, --version  show the version and exit\n"
           "  --             what follows is the archive, even if it starts with '-'\n"
           "\n"
           "Qt's own options work too, for example -platform xcb, -style fusion,\n"
           "-reverse. For scripting, use lumo-cli (lumo-cli --help).\n";
}

std::string LumoVersionText() {
    return "lumo " LUMO_VERSION "\n";
}
