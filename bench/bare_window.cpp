// SPDX-License-Identifier: MIT
// The simple way to show a window: a bare Qt main window holding an empty tree view,
// which reports the moment its view has painted as the program does under
// LUMO_STARTUP_PROBE, then quits.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>
#include <QTreeView>
#include <chrono>
#include <cstdio>

namespace {

class Painted : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, this, [] {
                const auto now = std::chrono::steady_clock::now().time_since_epoch();
                std::printf("lumo-startup-shown %lld\n",
                            static_cast<long long>(
                                std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    auto* view = new QTreeView(&window);
    window.setCentralWidget(view);
    Painted painted;
    view->viewport()->installEventFilter(&painted);
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
