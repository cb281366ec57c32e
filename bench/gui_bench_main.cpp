// SPDX-License-Identifier: MIT
// The main of every desktop-program benchmark: Qt on the offscreen platform unless the
// environment says otherwise, and the program's commands installed as at start-up.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "commands/archive_commands.h"
#include "tests/support/qt/offscreen.h"

int main(int argc, char** argv) {
    UseOffscreenPlatformByDefault();
    QApplication app(argc, argv);
    InstallArchiveCommands(theApp);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
