// SPDX-License-Identifier: MIT
#include "platform/file_output.h"

#include "platform/host_calls.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "platform/message_text.h"

namespace {

#ifdef _WIN32
// Paths are UTF-8 text on every host; the narrow Windows functions would read them in
// the ANSI code page and write some other file. Empty when the text is not UTF-8.
std::wstring Wide(const std::string& path) {
    if (path.empty() || path.size() > 0x7FFFFFFF) {
        return std::wstring();
    }
    const int size = static_cast<int>(path.size());
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, nullptr, 0);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path.data(), size, &wide[0], length);
    return wide;
}
#endif

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

}  // namespace

bool WriteAllToDescriptor(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    size_t n = size;
    while (n > 0) {
        long done = host::WriteSome(fd, p, n);
        if (done < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (done == 0) {
            errno = EIO;
            return false;
        }
        p += done;
        n -= static_cast<size_t>(done);
    }
    return true;
}

size_t FolderPartLength(std::string_view path) {
    size_t i = path.size();
    while (i > 0 && !IsSeparator(path[i - 1])) {
        --i;
    }
#ifdef _WIN32
    if (i == 0 && path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        i = 2;
    }
#endif
    return i;
}

std::string_view FileNamePart(std::string_view path) {
    return path.substr(FolderPartLength(path));
}

std::filesystem::path HostPath(const std::string& path) {
#ifdef _WIN32
    const std::wstring wide = Wide(path);
    return std::filesystem::path(wide);
#else
    return std::filesystem::path(path);
#endif
}

namespace {

// What every host refuses: names that are no name, or that reach into another folder.
bool IsPlainAnywhere(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    return name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

// CON, CONIN$, CONOUT$, PRN, AUX, NUL, COM0-9 and LPT0-9, and COM and LPT with a
// superscript 1, 2 or 3 (U+00B9, U+00B2, U+00B3), name devices in every folder, with
// any extension and with spaces before it.
bool IsWindowsDeviceName(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') {
        stem.remove_suffix(1);
    }
    std::string upper;
    for (char c : stem) {
        upper += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    for (const char* device : {"CON", "CONIN$", "CONOUT$", "PRN", "AUX", "NUL"}) {
        if (upper == device) {
            return true;
        }
    }
    if (upper.compare(0, 3, "COM") != 0 && upper.compare(0, 3, "LPT") != 0) {
        return false;
    }
    const std::string_view number = std::string_view(upper).substr(3);
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xC2\xB9" ||
           number == "\xC2\xB2" || number == "\xC2\xB3";
}

}  // namespace

bool IsPlainWindowsFileName(std::string_view name) {
    if (!IsPlainAnywhere(name)) {
        return false;
    }
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 ||
            std::string_view("<>:\"|?*").find(c) != std::string_view::npos) {
            return false;
        }
    }
    // Windows drops trailing dots and spaces, so "a." would write "a" and ".. " the parent.
    return name.back() != '.' && name.back() != ' ' && !IsWindowsDeviceName(name);
}

bool IsPlainFileName(std::string_view name) {
#ifdef _WIN32
    return IsPlainWindowsFileName(name);
#else
    return IsPlainAnywhere(name);
#endif
}

std::string JoinPath(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (!path.empty() && !IsSeparator(path.back())) {
#ifdef _WIN32
        path += '\\';  // "\\?\" paths take no '/'
#else
        path += '/';
#endif
    }
    path.append(name.data(), name.size());
    return path;
}

namespace {

// The handle a path names when it is one of this process's own streams ("-" standard
// output, /dev/stdout, /dev/fd/N, ...); -1 otherwise. Such a path is a link into /proc
// that must never be replaced, whatever it leads to.
int OwnStream(const std::string& path) {
    if (path == "-") {
        return 1;
    }
#ifndef _WIN32
    if (path == "/dev/stdout") {
        return 1;
    }
    if (path == "/dev/stderr") {
        return 2;
    }
    for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"}) {
        const std::string_view head(prefix);
        if (path.size() > head.size() && path.size() <= head.size() + 6 &&
            path.compare(0, head.size(), head) == 0 &&
            path.find_first_not_of("0123456789", head.size()) == std::string::npos) {
            return std::stoi(path.substr(head.size()));
        }
    }
#endif
    return -1;
}

constexpr int kNoStream = -2;

// A device, a FIFO or a socket the path leads to, opened for writing (-1 with errno set
// when it cannot be); kNoStream when it leads to nothing of the kind (a regular file, a
// folder, nothing at all).
int OpenStream(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return kNoStream;
#else
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode) || S_ISDIR(info.st_mode)) {
        return kNoStream;
    }
    return open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
#endif
}

AtomicWriteResult StreamFailure(const std::string& path, int error, const char* reason) {
    AtomicWriteResult result;
    result.failedStep = reason ? AtomicWriteStep::Refuse : AtomicWriteStep::Write;
    result.systemError = reason ? 0 : error;
    result.reason = reason ? reason : std::strerror(error);
    result.message = "cannot write " + EscapePathForMessage(path) + ": " + result.reason;
    return result;
}

AtomicWriteResult WriteStream(const std::string& path, int fd, const void* data, size_t size,
                              const PlaceRules& rules) {
    const ReadOnlyFile through = ReadOnlyFile::FromHandle(fd);
    if (through.Identity().SameFile(rules.protect)) {
        return StreamFailure(path, 0, kTargetIsTheArchive);
    }
#ifdef _WIN32
    _setmode(fd, _O_BINARY);  // PNG bytes pass through unchanged
#endif
    if (!WriteAllToDescriptor(fd, data, size)) {
        return StreamFailure(path, errno, nullptr);
    }
    return AtomicWriteResult();
}

}  // namespace

AtomicWriteResult WriteOutputFile(const std::string& path, const void* data, size_t size,
                                  const PlaceRules& rules) {
    const int own = OwnStream(path);
    if (own >= 0) {
        return WriteStream(path == "-" ? "standard output" : path, own, data, size, rules);
    }
    const int stream = OpenStream(path);
    if (stream >= 0) {
        const AtomicWriteResult result = WriteStream(path, stream, data, size, rules);
        host::CloseFile(stream);
        return result;
    }
    if (stream == -1) {
        return StreamFailure(path, errno, nullptr);  // a device that refuses to open
    }
    return WriteFileAtomicallyDetailed(path, data, size, rules);
}
