// SPDX-License-Identifier: MIT
#include "cli/interrupt.h"

#include <atomic>
#include <csignal>

namespace {

// Lock-free, so the handler may set it; 0 while no signal came.
std::atomic<int> g_signal{0};
static_assert(std::atomic<int>::is_always_lock_free);

}  // namespace

#ifdef _WIN32
#include <windows.h>

namespace {

// Runs on a thread of its own; TRUE keeps the process alive until the run has stopped.
BOOL WINAPI OnConsoleControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        return FALSE;
    }
    int expected = 0;
    return g_signal.compare_exchange_strong(expected, SIGINT) ? TRUE : FALSE;
}

}  // namespace

InterruptWatch::InterruptWatch() {
    g_signal = 0;
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

InterruptWatch::~InterruptWatch() {
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
}

#else
#include <signal.h>

namespace {

struct sigaction g_previous[2];
constexpr int kSignals[2] = {SIGINT, SIGTERM};

// SA_RESETHAND puts the default back, so a second signal ends the program at once.
void OnSignal(int signal) {
    g_signal = signal;
}

}  // namespace

InterruptWatch::InterruptWatch() {
    g_signal = 0;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;  // reads and writes carry on
    for (int i = 0; i < 2; ++i) {
        sigaction(kSignals[i], &action, &g_previous[i]);
    }
}

InterruptWatch::~InterruptWatch() {
    for (int i = 0; i < 2; ++i) {
        sigaction(kSignals[i], &g_previous[i], nullptr);
    }
}

#endif

bool InterruptWatch::Interrupted() {
    return g_signal != 0;
}

int InterruptWatch::ExitStatus() {
    return 128 + g_signal;
}
