// SPDX-License-Identifier: MIT
#include "program/startup_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "indexbar/list_ctrl.h"

namespace {

class StartupProbe : public QObject {
public:
    StartupProbe(CListCtrl& index, bool archiveNamed)
        : QObject(&index), m_index(index), m_archiveNamed(archiveNamed) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Paint || m_reported) {
            return false;
        }
        if (m_archiveNamed && m_index.GetItemCount() == 0) {
            return false;  // the archive is not listed yet
        }
        m_reported = true;
        // After the paint the frame goes to the display; the timer runs once it has.
        QTimer::singleShot(0, this, [] {
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            std::printf("lumo-startup-shown %lld\n",
                        static_cast<long long>(
                            std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
        return false;
    }

private:
    CListCtrl& m_index;
    bool m_archiveNamed;
    bool m_reported = false;
};

}  // namespace

void InstallStartupProbe(CListCtrl& index, bool archiveNamed) {
    const char* probe = std::getenv("LUMO_STARTUP_PROBE");
    if (probe == nullptr || *probe == '\0') {
        return;
    }
    index.viewport()->installEventFilter(new StartupProbe(index, archiveNamed));
}
