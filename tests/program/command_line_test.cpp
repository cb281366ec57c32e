// SPDX-License-Identifier: MIT
// lumo's command line: an archive to open, help, version, and what is refused.
#include <gtest/gtest.h>

#include "program/command_line.h"

namespace {

using Action = LumoCommandLine::Action;

TEST(CommandLine, ReadsTheArchiveHelpVersionAndRefusals) {
    struct Case {
        std::vector<std::string> args;
        Action action;
        std::string archive;
    };
    const Case cases[] = {
        {{}, Action::Run, ""},
        {{"demo.lgp"}, Action::Run, "demo.lgp"},
        {{"-"}, Action::Run, "-"},
        {{"--", "-odd.lgp"}, Action::Run, "-odd.lgp"},
        {{"--help"}, Action::Help, ""},
        {{"demo.lgp", "-h"}, Action::Help, ""},
        {{"--bogus", "--help"}, Action::Help, ""},  // help wins over a mistake
        {{"--version"}, Action::Version, ""},
        {{"-v", "x.lgp"}, Action::Version, ""},
        {{"--", "--help"}, Action::Run, "--help"},
        {{"--bogus"}, Action::Error, ""},
        {{"a.lgp", "b.lgp"}, Action::Error, ""},
    };
    for (const Case& c : cases) {
        const LumoCommandLine line = ParseLumoCommandLine(c.args);
        const std::string context = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(line.action, c.action) << context;
        EXPECT_EQ(line.archive, c.archive) << context;
        EXPECT_EQ(line.error.empty(), c.action != Action::Error) << context;
    }
}

TEST(CommandLine, ErrorsNameTheProblem) {
    EXPECT_EQ(ParseLumoCommandLine({"--bogus"}).error, "unknown option '--bogus'");
    EXPECT_EQ(ParseLumoCommandLine({"a", "b", "c"}).error, "one archive at a time, 3 given");
}

}  // namespace
