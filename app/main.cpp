// The program's entry point, the one file above commands/: the framework's application,
// the archive commands joined to the application object, its start-up, the event loop,
// and its exit.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "commands/archive_commands.h"

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

}  // namespace

int main(int argc, char** argv) {
    if (!HasDisplay()) {
        std::fprintf(stderr,
                     "lumo: no display found (DISPLAY and WAYLAND_DISPLAY are unset).\n"
                     "Start it from a desktop session, or under Xvfb: xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    QApplication application(argc, argv);
    InstallArchiveCommands(theApp);
    if (!theApp.InitInstance()) {
        return theApp.ExitInstance();
    }
    theApp.m_nLoopResult = QApplication::exec();
    return theApp.ExitInstance();
}
