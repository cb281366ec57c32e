// SPDX-License-Identifier: MIT
#include "tests/cli/process.h"

#ifdef _WIN32

#include <windows.h>

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) {
        return std::wstring();
    }
    const int size = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &out[0], units);
    return out;
}

// One argument quoted the way CommandLineToArgvW and the C runtime split it again:
// backslashes double only in front of a quote, and quotes are escaped.
std::wstring Quote(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return arg;
    }
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    return out + L"\"";
}

HANDLE OpenOutput(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    return CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// What Windows reports when a program dies before its first line runs: a library that
// cannot be found, loaded or started (under load, Wine reports the last now and then).
bool IsLoaderFailure(DWORD code) {
    return code == 0xC0000135u || code == 0xC0000142u || code == 0xC000007Bu;
}

}  // namespace

int RunProcess(const std::string& program, const std::vector<std::string>& args,
               const std::string& workDir, const std::string& outPath, const std::string& errPath) {
    std::wstring line = Quote(Wide(program));
    for (const std::string& arg : args) {
        line += L" " + Quote(Wide(arg));
    }
    HANDLE out = OpenOutput(outPath);
    HANDLE err = OpenOutput(errPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    int status = kDidNotStart;
    if (out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
        CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, Wide(workDir).c_str(),
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        // Exception codes (0xC0000005 and the like) are crashes, not exit statuses.
        status = IsLoaderFailure(code) ? kDidNotStart
                 : code >= 0xC0000000u ? -1
                                       : static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (HANDLE h : {out, err}) {
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
        }
    }
    return status;
}

#else

#include <fcntl.h>
#include <spawn.h>

#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>

int RunProcess(const std::string& program, const std::vector<std::string>& args,
               const std::string& workDir, const std::string& outPath, const std::string& errPath) {
    // posix_spawn has no portable chdir action; the child changes folder through `env`.
    std::vector<std::string> copies = {"/usr/bin/env", "--chdir=" + workDir, program};
    copies.insert(copies.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : copies) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    int result = kDidNotStart;
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        result = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

int FilesOpenIn(int pid, const std::string& folder) {
    namespace fs = std::filesystem;
    int count = 0;
    std::error_code ec;
    for (fs::directory_iterator it("/proc/" + std::to_string(pid) + "/fd", ec), end;
         !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        count += fs::read_symlink(it->path(), linkError).string().rfind(folder + "/", 0) == 0;
    }
    return count;
}

#endif
