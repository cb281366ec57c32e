// The program's entry point: the framework's application, the application object's
// start-up, the event loop, and the application object's exit.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/globals.h"
#include "app/lumo_app.h"

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
    if (!theApp.InitInstance()) {
        return theApp.ExitInstance();
    }
    theApp.m_nLoopResult = QApplication::exec();
    return theApp.ExitInstance();
}
