// SPDX-License-Identifier: MIT
// lumo-cli: list, inspect, extract and render the entries of LGP archives, and export
// their models.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "audio/music_kind.h"
#include "cli/arguments.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "models/model_checks.h"

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>
// _setmode, _fileno
#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace {

// Standard output and error carry bytes as written: lines end in "\n" as on every other
// host, and extract --stdout passes entries through unchanged. A console shows the
// UTF-8 names as such; its code page is put back when the program ends.
class ConsoleSetup {
public:
    ConsoleSetup() : m_codePage(GetConsoleOutputCP()) {
        _setmode(_fileno(stdout), _O_BINARY);
        _setmode(_fileno(stderr), _O_BINARY);
        if (m_codePage != 0) {
            SetConsoleOutputCP(CP_UTF8);
        }
    }
    ~ConsoleSetup() {
        if (m_codePage != 0) {
            SetConsoleOutputCP(m_codePage);
        }
    }

private:
    UINT m_codePage;  // 0 without a console
};

// Windows hands main() its arguments in the ANSI code page, which cannot name every
// file; the wide command line can, and paths are UTF-8 everywhere else in the program.
std::vector<std::string> Arguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide != nullptr && i < count; ++i) {
        const int length =
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(length > 0 ? static_cast<size_t>(length) : 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &arg[0], length, nullptr, nullptr);
        arg.resize(arg.size() - 1);  // the terminator
        args.push_back(arg);
    }
    LocalFree(wide);
    return args;
}

}  // namespace
#else
namespace {

struct ConsoleSetup {};

std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace
#endif

namespace {

int Run(const CliRequest& request) {
    switch (request.command) {
        case CliCommand::List:
            return RunList(request);
        case CliCommand::Info:
            return RunInfo(request);
        case CliCommand::Extract:
            return RunExtract(request);
        case CliCommand::Render:
            return RunRender(request);
        case CliCommand::Verify:
            return RunVerify(request);
        case CliCommand::Export:
            return RunExport(request);
        case CliCommand::Create:
            return RunCreate(request);
        case CliCommand::Add:
            return RunAdd(request);
        case CliCommand::Remove:
            return RunRemove(request);
        case CliCommand::Rename:
            return RunRename(request);
        case CliCommand::Diff:
            return RunDiff(request);
        case CliCommand::Version:
            std::cout << "lumo-cli " LUMO_VERSION "\n";
            return kExitOk;
        case CliCommand::Help:
            break;
    }
    std::cout << UsageText();
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    [[maybe_unused]] ConsoleSetup console;
    const std::vector<std::string> args = Arguments(argc, argv);
    std::string error;
    const std::optional<CliRequest> request = ParseArguments(args, &error);
    if (!request) {
        std::cerr << kErrorPrefix << error << "\nTry 'lumo-cli --help'.\n";
        return kExitUsage;
    }
    RegisterMusicKind();
    RegisterModelChecks();
    int status = kExitFailure;
    try {
        status = Run(*request);
    } catch (const std::exception& e) {
        // Nothing should get here; if something does, say what instead of aborting.
        std::cerr << kErrorPrefix << "unexpected failure: " << e.what() << "\n";
        return kExitFailure;
    }
    // A listing that never arrived (a full disk, a closed pipe) is a failure, and says so;
    // scripts must not take a cut list of entries or extracted files for the whole.
    if (!std::cout.flush()) {
        std::cerr << kErrorPrefix << "standard output: write error\n";
        return kExitFailure;
    }
    return status;
}
