// SPDX-License-Identifier: MIT
// Start to a shown window, as a user starts the program: `lumo` alone, and `lumo` with a
// 65,535-entry archive named on the command line, each against a bare Qt window (the
// simple way) in rounds that take turns. The programs print the moment their window has
// painted (LUMO_STARTUP_PROBE); the time counts from just before the process is made.
// On an X display: DISPLAY if set, otherwise an Xvfb started for the run.
#include <benchmark/benchmark.h>

#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/lgp_writer.h"

extern char** environ;

namespace {

long long Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The display the programs show on; an Xvfb of our own when there is none.
class Display {
public:
    Display() {
        const char* given = std::getenv("DISPLAY");
        if (given != nullptr && *given != '\0') {
            m_name = given;
            return;
        }
        int number = 90;
        while (number < 200 &&
               access(("/tmp/.X" + std::to_string(number) + "-lock").c_str(), F_OK) == 0) {
            ++number;
        }
        const std::string name = ":" + std::to_string(number);
        m_server = fork();
        if (m_server == 0) {
            execlp("Xvfb", "Xvfb", name.c_str(), "-nolisten", "tcp", "-screen", "0", "1280x1024x24",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        // Ready once its socket takes a connection; given up after five seconds.
        const std::string socketPath = "/tmp/.X11-unix/X" + std::to_string(number);
        for (int tries = 0; tries < 500 && m_name.empty(); ++tries) {
            if (Accepts(socketPath)) {
                m_name = name;
            } else {
                usleep(10000);
            }
        }
    }
    ~Display() {
        if (m_server > 0) {
            kill(m_server, SIGTERM);
            waitpid(m_server, nullptr, 0);
        }
    }
    const std::string& Name() const { return m_name; }

private:
    static bool Accepts(const std::string& path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        const bool ok =
            fd >= 0 && connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        if (fd >= 0) {
            close(fd);
        }
        return ok;
    }

    std::string m_name;
    pid_t m_server = -1;
};

struct Fixture {
    Fixture() {
        chmod(dir.Path().c_str(), 0700);
    }  // also the runtime folder, which Qt wants private
    lumo::test::TempDir dir;
    std::string archive = dir.Write("full.lgp", lumo::test::FullArchiveInNoOrder(4711, "x"));
    Display display;
};

Fixture& Files() {
    static Fixture fixture;
    return fixture;
}

// The environment of a new user on that display: settings of their own, no Qt platform
// forced, the probe on.
std::vector<std::string> ChildEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("QT_QPA_PLATFORM=", 0) != 0 &&
            entry.rfind("XDG_CONFIG_HOME=", 0) != 0 && entry.rfind("XDG_RUNTIME_DIR=", 0) != 0) {
            env.push_back(entry);
        }
    }
    env.push_back("DISPLAY=" + Files().display.Name());
    env.push_back("XDG_CONFIG_HOME=" + Files().dir.Path() + "/config");
    env.push_back("XDG_RUNTIME_DIR=" + Files().dir.Path());
    env.push_back("LUMO_STARTUP_PROBE=1");
    return env;
}

// Milliseconds from just before the process is made to its window's report; -1 if it
// failed or did not report.
double Start(const std::vector<std::string>& args) {
    std::vector<std::string> env = ChildEnvironment();
    int out[2];
    if (pipe(out) != 0) {
        return -1;
    }
    const long long start = Now();
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], 1);
        close(out[0]);
        close(out[1]);
        std::vector<char*> argv;
        std::vector<char*> envp;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        for (const std::string& e : env)
            envp.push_back(const_cast<char*>(e.c_str()));
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, n);
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    long long shown = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(text.c_str(), "lumo-startup-shown %lld", &shown) != 1) {
        std::fprintf(stderr, "%s: status %d, printed \"%s\"\n", args[0].c_str(), status,
                     text.c_str());
        return -1;
    }
    return (shown - start) / 1e6;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void StartAgainstBareWindow(benchmark::State& state, const std::vector<std::string>& lumo) {
    if (Files().display.Name().empty()) {
        state.SkipWithError("no X display and no Xvfb");
        return;
    }
    Start(lumo);  // fills the font and file caches, as any earlier start has
    Start({BARE_WINDOW_PATH});
    std::vector<double> ours;
    std::vector<double> bare;
    for (auto _ : state) {
        const bool oursFirst = ours.size() % 2 == 0;
        const double a = oursFirst ? Start(lumo) : Start({BARE_WINDOW_PATH});
        const double b = oursFirst ? Start({BARE_WINDOW_PATH}) : Start(lumo);
        const double lumoMs = oursFirst ? a : b;
        const double bareMs = oursFirst ? b : a;
        if (lumoMs < 0 || bareMs < 0) {
            state.SkipWithError("a program failed or did not report its window");
            return;
        }
        ours.push_back(lumoMs);
        bare.push_back(bareMs);
        state.SetIterationTime(lumoMs / 1e3);
    }
    state.counters["lumo_median_ms"] = Median(ours);
    state.counters["bare_qt_median_ms"] = Median(bare);
    state.counters["ratio_vs_bare"] = Median(ours) / Median(bare);
}

void BM_StartToShownWindow(benchmark::State& state) {
    StartAgainstBareWindow(state, {LUMO_PATH});
}
BENCHMARK(BM_StartToShownWindow)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);

void BM_StartWithFullArchiveListed(benchmark::State& state) {
    StartAgainstBareWindow(state, {LUMO_PATH, Files().archive});
}
BENCHMARK(BM_StartWithFullArchiveListed)
    ->UseManualTime()
    ->Iterations(15)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
