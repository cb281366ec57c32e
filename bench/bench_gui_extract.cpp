// SPDX-License-Identifier: MIT
// Extract of all 65,535 entries of a full archive in the desktop program (the real main
// frame, the host's progress dialog, the folder chosen by a script) against lumo-cli's
// `extract` of the same archive, in rounds that take turns at going first. The medians
// and their ratio are printed as counters. The folder is the system's temporary folder,
// or LUMO_BENCH_DIR.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "platform/prompts_desktop.h"
#include "res/resource.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/qt/prompts_scripted.h"

namespace {

namespace fs = std::filesystem;
using lumo::test::Bytes;

constexpr int kEntries = 65535;
constexpr int kRounds = 3;

// Dialogs answered by the script; the progress is the host's own, since its updates are
// part of what the desktop program pays for.
class BenchPrompts : public platform::ScriptedPrompts {
public:
    std::unique_ptr<platform::IProgress> BeginProgress(
        const platform::ProgressRequest& request) override {
        return m_desktop.BeginProgress(request);
    }

private:
    platform::DesktopPrompts m_desktop;
};

fs::path Root() {
    const char* where = std::getenv("LUMO_BENCH_DIR");
    return fs::path(where ? where : fs::temp_directory_path().string()) /
           ("lumo-bench-gui-extract-" + std::to_string(::getpid()));
}

std::string MakeArchive(const fs::path& root) {
    fs::create_directories(root);
    std::mt19937 random(7);
    lumo::test::LgpWriter writer;
    for (int i = 0; i < kEntries; ++i) {
        writer.Add("f" + std::to_string(i) + ".p", Bytes(random() % 2048, static_cast<uint8_t>(i)));
    }
    const std::string path = (root / "all.lgp").string();
    lumo::test::WriteFile(path, writer.Build());
    return path;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

void SettleDisk(const fs::path& root) {
    const std::string sync = "sync -f '" + root.string() + "'";
    if (std::system(sync.c_str()) != 0) {
        std::fprintf(stderr, "sync failed\n");
    }
}

double TimeCli(const std::string& archive, const fs::path& out) {
    const std::string command = std::string("'") + LUMO_CLI_PATH + "' extract -q '" + archive +
                                "' -o '" + out.string() + "'";
    const auto start = std::chrono::steady_clock::now();
    return std::system(command.c_str()) == 0 ? Seconds(start) : -1;
}

double TimeDesktop(BenchPrompts& prompts, const fs::path& out) {
    CMainFrame* frame = theApp.m_pMainFrame;
    prompts.folderAnswers.push_back(out.string());
    const auto start = std::chrono::steady_clock::now();
    frame->SendCommand(ID_ITEM_EXTRACT);
    const double seconds = Seconds(start);
    const bool all = frame->m_wndStatusBar.GetPaneText(0) ==
                     QStringLiteral("Successfully extracted %1 files.").arg(kEntries);
    return all ? seconds : -1;
}

void BM_ExtractAllDesktopVersusCli(benchmark::State& state) {
    const fs::path root = Root();
    const std::string archive = MakeArchive(root);
    BenchPrompts prompts;
    platform::ScopedPrompts guard(prompts);
    theApp.InitInstance();
    QCoreApplication::processEvents();
    prompts.openAnswers.push_back(archive);
    theApp.m_pMainFrame->SendCommand(ID_FILE_OPEN);
    std::vector<int> rows(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        rows[i] = i;
    }
    theApp.m_pMainFrame->m_wndIndexBar.GetListCtrl()->SelectRows(rows);

    std::vector<double> desktopTimes;
    std::vector<double> cliTimes;
    for (auto _ : state) {
        const int round = static_cast<int>(desktopTimes.size());
        const fs::path desktopOut = root / ("desktop" + std::to_string(round));
        const fs::path cliOut = root / ("cli" + std::to_string(round));
        fs::create_directories(desktopOut);
        fs::create_directories(cliOut);
        double desktop = 0;
        double cli = 0;
        for (int side = 0; side < 2; ++side) {
            SettleDisk(root);
            if ((side == 0) == (round % 2 == 0)) {
                desktop = TimeDesktop(prompts, desktopOut);
            } else {
                cli = TimeCli(archive, cliOut);
            }
        }
        if (desktop < 0 || cli < 0) {
            state.SkipWithError(cli < 0 ? "lumo-cli failed" : "not every entry was written");
            break;
        }
        desktopTimes.push_back(desktop);
        cliTimes.push_back(cli);
        state.SetIterationTime(desktop);
        std::fprintf(stderr, "round %d (%s first): desktop %.2f s, lumo-cli %.2f s, ratio %.2f\n",
                     round + 1, round % 2 == 0 ? "desktop" : "lumo-cli", desktop, cli,
                     desktop / cli);
    }
    const double desktop = Median(desktopTimes);
    const double cli = Median(cliTimes);
    state.counters["desktop_median_s"] = desktop;
    state.counters["cli_median_s"] = cli;
    state.counters["ratio"] = cli > 0 ? desktop / cli : 0;
    delete theApp.m_pMainFrame;
    theApp.m_pMainFrame = nullptr;
    std::printf("removing the benchmark's files from %s\n", root.c_str());
    fs::remove_all(root);
}

BENCHMARK(BM_ExtractAllDesktopVersusCli)
    ->UseManualTime()
    ->Iterations(kRounds)
    ->Unit(benchmark::kMillisecond);

}  // namespace
