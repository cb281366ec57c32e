// SPDX-License-Identifier: MIT
// Opening entries in their viewers through the real main frame and Item > Open, until
// the new window has painted once: a 64 MiB entry in the hex viewer, and a 1,024 x 1,024
// paletted texture in the texture viewer.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "res/resource.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/qt/prompts_scripted.h"
#include "tests/support/texture_builder.h"
#include "viewers/child_frame.h"

namespace {

lumo::test::Bytes LargeBinary() {
    lumo::test::Bytes bytes(64u << 20);
    uint32_t seed = 7;
    for (uint8_t& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    return bytes;
}

lumo::test::Bytes LargeTexture() {
    lumo::test::TextureBuilder b = lumo::test::TextureBuilder::Paletted(1024, 1024, 1, 256);
    for (uint32_t i = 0; i < 1024 * 1024; ++i) {
        b.SetPixel(i % 1024, i / 1024, i * 7 % 256);
    }
    return b.Build();
}

struct Program {
    Program() : guard(prompts) {
        const std::string path = dir.Write("big.lgp", lumo::test::LgpWriter()
                                                          .Add("big.bin", LargeBinary())
                                                          .Add("big.tex", LargeTexture())
                                                          .Build());
        theApp.InitInstance();
        QCoreApplication::processEvents();
        prompts.openAnswers.push_back(path);
        Frame()->SendCommand(ID_FILE_OPEN);
        QCoreApplication::processEvents();
    }
    ~Program() {
        delete theApp.m_pMainFrame;
        theApp.m_pMainFrame = nullptr;
    }
    static CMainFrame* Frame() { return theApp.m_pMainFrame; }
    void OpenRow(int row) {
        Frame()->m_wndIndexBar.GetListCtrl()->SelectRows({row});
        Frame()->SendCommand(ID_ITEM_OPEN);
        QCoreApplication::processEvents();  // layout and the first paint
    }
    void CloseAll() {
        for (CChildFrame* child : Frame()->GetChildFrames()) {
            child->CloseFrame();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    lumo::test::TempDir dir;
    platform::ScriptedPrompts prompts;
    platform::ScopedPrompts guard;
};

void Run(benchmark::State& state, int row) {
    Program program;
    for (auto _ : state) {
        program.OpenRow(row);
        state.PauseTiming();
        program.CloseAll();
        state.ResumeTiming();
    }
}

void BM_OpenHexViewer64MiB(benchmark::State& state) {
    Run(state, 0);
}
BENCHMARK(BM_OpenHexViewer64MiB)->Unit(benchmark::kMillisecond);

void BM_OpenTextureViewer1024(benchmark::State& state) {
    Run(state, 1);
}
BENCHMARK(BM_OpenTextureViewer1024)->Unit(benchmark::kMillisecond);

}  // namespace
