#include "platform/file_output.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "platform/message_text.h"

namespace {

#ifdef _WIN32
constexpr int kCreateFlags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY;
constexpr int kCreateMode = _S_IREAD | _S_IWRITE;
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
int OpenFile(const std::string& p, int flags, int mode) {
    const std::wstring wide = Wide(p);
    if (wide.empty()) {
        errno = EINVAL;
        return -1;
    }
    return _wopen(wide.c_str(), flags, mode);
}
long WriteSome(int fd, const char* p, size_t n) {
    return _write(fd, p, static_cast<unsigned>(n > 0x40000000 ? 0x40000000 : n));
}
int SyncFile(int fd) {
    return _commit(fd);
}
int CloseFile(int fd) {
    return _close(fd);
}
int ProcessId() {
    return _getpid();
}
int ErrnoFor(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ENOENT;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EBUSY;
        default:
            return EACCES;
    }
}
// rename() refuses to replace an existing file on Windows; MoveFileEx replaces it in
// one step, and only once the data is on disk.
bool MoveIntoPlace(const std::string& from, const std::string& to) {
    const std::wstring source = Wide(from);
    const std::wstring target = Wide(to);
    if (source.empty() || target.empty()) {
        errno = EINVAL;
        return false;
    }
    if (MoveFileExW(source.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    errno = ErrnoFor(GetLastError());
    return false;
}
void RemoveFile(const std::string& path) {
    const std::wstring wide = Wide(path);
    if (!wide.empty()) {
        _wremove(wide.c_str());
    }
}
void SyncFolder(const std::string&) {}
#else
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
// The umask applies as for any file the user creates.
constexpr int kCreateMode = 0666;
int OpenFile(const std::string& p, int flags, int mode) {
    return open(p.c_str(), flags, mode);
}
long WriteSome(int fd, const char* p, size_t n) {
    return write(fd, p, n);
}
int SyncFile(int fd) {
    return fsync(fd);
}
int CloseFile(int fd) {
    return close(fd);
}
int ProcessId() {
    return getpid();
}
bool MoveIntoPlace(const std::string& from, const std::string& to) {
    return rename(from.c_str(), to.c_str()) == 0;
}
void RemoveFile(const std::string& path) {
    std::remove(path.c_str());
}
// Makes the rename itself durable; a failure here loses nothing already written.
void SyncFolder(const std::string& folder) {
    int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}
#endif

bool IsSeparator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

std::string FolderOf(const std::string& path) {
    return path.substr(0, FolderPartLength(path));
}

void SetError(std::string* error, const std::string& what, const std::string& file, int err) {
    if (error) {
        *error = what + " " + EscapeForMessage(file) + ": " + std::strerror(err);
    }
}

// Creates a new file next to `path` that no one else is using; its name starts with '.'
// and carries the target's name, so a leftover after a power cut is easy to recognise.
int CreateTemporary(const std::string& path, std::string* tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *tempPath = HiddenTemporaryName(path);
        int fd = OpenFile(*tempPath, kCreateFlags, kCreateMode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

}  // namespace

std::string HiddenTemporaryName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const std::string folder = FolderOf(path);
    std::string base = path.substr(folder.size());
    if (base.size() > 64) {
        size_t cut = 64;
        while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        base.resize(cut);
    }
    return folder + "." + base + ".lumo-" + std::to_string(ProcessId()) + "-" +
           std::to_string(++counter);
}

bool WriteAllToDescriptor(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    size_t n = size;
    while (n > 0) {
        long done = WriteSome(fd, p, n);
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

bool WriteFileAtomically(const std::string& path, const void* data, size_t size,
                         std::string* error) {
    AtomicWriteResult result = WriteFileAtomicallyDetailed(path, data, size);
    if (error && !result.Ok()) {
        *error = result.message;
    }
    return result.Ok();
}

AtomicWriteResult WriteFileAtomicallyDetailed(const std::string& path, const void* data,
                                              size_t size) {
    AtomicWriteResult result;
    auto fail = [&result](AtomicWriteStep step, const std::string& what, const std::string& file,
                          int err) {
        result.failedStep = step;
        result.systemError = err;
        SetError(&result.message, what, file, err);
        return result;
    };
    if (path.empty()) {
        return fail(AtomicWriteStep::Create, "cannot write", "\"\"", ENOENT);
    }
    std::string tempPath;
    int fd = CreateTemporary(path, &tempPath);
    if (fd < 0) {
        return fail(AtomicWriteStep::Create, "cannot create a temporary file for", path, errno);
    }
    const char* bytes = static_cast<const char*>(data);
    bool ok = WriteAllToDescriptor(fd, bytes, size) && SyncFile(fd) == 0;
    int err = errno;
    if (CloseFile(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    AtomicWriteStep step = AtomicWriteStep::Write;
    if (ok && !MoveIntoPlace(tempPath, path)) {
        ok = false;
        err = errno;
        step = AtomicWriteStep::Replace;
    }
    if (!ok) {
        RemoveFile(tempPath);
        return fail(step, "cannot write", path, err);
    }
    SyncFolder(FolderOf(path));
    return result;
}
