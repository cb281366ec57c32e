// SPDX-License-Identifier: MIT
// Main of the Qt test programs: the offscreen platform unless another is asked for, and
// the application object with the archive commands, as the program has it.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/globals.h"
#include "commands/archive_commands.h"
#include "tests/support/qt/offscreen.h"

int main(int argc, char** argv) {
    UseOffscreenPlatformByDefault();
    QApplication application(argc, argv);
    InstallArchiveCommands(theApp);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
