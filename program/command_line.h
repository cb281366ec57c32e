// SPDX-License-Identifier: MIT
#pragma once
// What `lumo` was asked to do on its command line. Plain C++ so that it can be read
// before the QApplication exists: --help and --version must work without a display.
#include <string>
#include <vector>

struct LumoCommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::string archive;  // the archive to open at start-up; empty: none
    std::string error;    // for Action::Error: what is wrong, without the program name
};

// args: the arguments after the program name. Qt's own options (-platform, -style, ...)
// must already have been taken out, as QApplication does; --help and --version are
// recognised anywhere before "--" whatever else is there.
LumoCommandLine ParseLumoCommandLine(const std::vector<std::string>& args);

// The --help text and the --version line, each ending in a newline.
std::string LumoHelpText();
std::string LumoVersionText();
