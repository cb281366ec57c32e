// SPDX-License-Identifier: MIT
// File > Open archive on a full archive of 65,535 entries, through the real main frame:
// dialog answer, catalogue load, listing and panes, until the list has painted once. Then
// the Sort by name command on those rows.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <cstdio>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/lgp_archive.h"
#include "res/resource.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/qt/prompts_scripted.h"

namespace {

// Names in no particular order, so that sorting them has work to do.
struct FullArchiveFile {
    FullArchiveFile() { path = dir.Write("full.lgp", lumo::test::FullArchiveInNoOrder(4711, "x")); }
    lumo::test::TempDir dir;
    std::string path;
};

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
    int paints = 0;
};

// The program's own main frame, shown, with the open dialog answered by a script.
struct Program {
    Program() : guard(prompts) {
        theApp.InitInstance();
        QCoreApplication::processEvents();
    }
    ~Program() {
        delete theApp.m_pMainFrame;
        theApp.m_pMainFrame = nullptr;
    }
    CListCtrl& List() const { return *theApp.m_pMainFrame->m_wndIndexBar.GetListCtrl(); }
    void Open(const std::string& path) {
        prompts.openAnswers.push_back(path);
        theApp.m_pMainFrame->SendCommand(ID_FILE_OPEN);
    }
    platform::ScriptedPrompts prompts;
    platform::ScopedPrompts guard;
};

void BM_OpenAndList(benchmark::State& state) {
    FullArchiveFile file;
    Program program;
    PaintCounter counter;
    program.List().viewport()->installEventFilter(&counter);
    for (auto _ : state) {
        program.Open(file.path);
        // Layout and paint run from the event loop once the command has returned.
        QCoreApplication::processEvents();
    }
    state.counters["rows"] = program.List().GetItemCount();
    state.counters["paints/iter"] =
        benchmark::Counter(counter.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_OpenAndList)->Unit(benchmark::kMillisecond);

void BM_SortByNameCommand(benchmark::State& state) {
    FullArchiveFile file;
    Program program;
    program.Open(file.path);
    QCoreApplication::processEvents();
    CMainFrame* frame = theApp.m_pMainFrame;
    for (auto _ : state) {
        state.PauseTiming();
        frame->SendCommand(ID_SORT_ORIGINAL);
        state.ResumeTiming();
        frame->SendCommand(ID_SORT_NAME);
    }
    state.counters["rows"] = program.List().GetItemCount();
}
BENCHMARK(BM_SortByNameCommand)->Unit(benchmark::kMillisecond);

}  // namespace
