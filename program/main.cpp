// SPDX-License-Identifier: MIT
// The program's entry point, the composition root above every folder: the command line, the
// framework's application, the archive commands joined to the application object, its
// start-up (with the fonts prepared beside it), the event loop, and its exit.
#include <QApplication>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "commands/archive_commands.h"
#include "program/command_line.h"
#include "program/font_warmup.h"
#include "program/startup_probe.h"

namespace {

// Without a display Qt would abort with a message about platform plugins; say what is
// missing instead.
bool HasDisplay() {
#if defined(__unix__) && !defined(__APPLE__)
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

// Help and version are answered before Qt starts, so that they work without a display
// and never open a window.
bool AnsweredWithoutWindow(const LumoCommandLine& line) {
    switch (line.action) {
        case LumoCommandLine::Action::Help:
            std::fputs(LumoHelpText().c_str(), stdout);
            return true;
        case LumoCommandLine::Action::Version:
            std::fputs(LumoVersionText().c_str(), stdout);
            return true;
        default:
            return false;
    }
}

std::vector<std::string> ArgumentsAfterProgram(const QStringList& arguments) {
    std::vector<std::string> args;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        args.push_back(arguments[i].toStdString());
    }
    return args;
}

}  // namespace

int main(int argc, char** argv) {
    // Qt's options are still among the raw arguments, so only help and version count
    // here; the full reading waits until QApplication has taken its own out.
    const LumoCommandLine early =
        ParseLumoCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (AnsweredWithoutWindow(early)) {
        return 0;
    }
    if (!HasDisplay()) {
        std::fprintf(stderr,
                     "lumo: no display found (DISPLAY and WAYLAND_DISPLAY are unset).\n"
                     "Start it from a desktop session, or under Xvfb: xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    const FontWarmup fonts;  // beside the application's start (font_warmup.h)
    QApplication application(argc, argv);
    const LumoCommandLine line =
        ParseLumoCommandLine(ArgumentsAfterProgram(QApplication::arguments()));
    if (line.action == LumoCommandLine::Action::Error) {
        std::fprintf(stderr, "lumo: %s\nTry 'lumo --help'.\n", line.error.c_str());
        return 2;
    }
    InstallArchiveCommands(theApp);
    if (!theApp.InitInstance()) {
        return theApp.ExitInstance();
    }
    InstallStartupProbe(*theApp.m_pMainFrame->m_wndIndexBar.GetListCtrl(), !line.archive.empty());
    if (!line.archive.empty()) {
        // Opened once the loop runs, so that a failure's message box has the shown
        // window behind it, as after File > Open archive...
        const std::string path =
            QFileInfo(QString::fromStdString(line.archive)).absoluteFilePath().toStdString();
        QTimer::singleShot(0, &application, [path] { theApp.OpenArchiveFile(path); });
    }
    theApp.m_nLoopResult = QApplication::exec();
    return theApp.ExitInstance();
}
