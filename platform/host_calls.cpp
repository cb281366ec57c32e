// SPDX-License-Identifier: MIT
// The host's file calls, once for POSIX hosts and once for Windows.
#include "platform/host_calls.h"

#include "platform/file_output.h"

#include <atomic>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <share.h>
#include <windows.h>
#else
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#endif

namespace host {

#ifdef _WIN32
namespace {

// Empty when the text is not UTF-8.
std::wstring Wide(const std::string& path) {
    return HostPath(path).wstring();
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

}  // namespace

std::filesystem::path FolderPath(const std::string& folder) {
    return folder.empty() ? std::filesystem::path(L".") : std::filesystem::path(Wide(folder));
}
int CreateExclusive(const std::string& path) {
    const std::wstring wide = Wide(path);
    if (wide.empty()) {
        errno = EINVAL;
        return -1;
    }
    return _wopen(wide.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
}
int OpenFolder(const std::string&) {
    return -1;
}
int CreateAnonymous(int) {
    return -1;
}
bool LinkAnonymous(int, int, const std::string&) {
    errno = ENOSYS;
    return false;
}
std::string AnonymousPath(int) {
    return "";
}
void CloseFile(int fd) {
    _close(fd);
}
void RemoveFile(const std::string& path) {
    const std::wstring wide = Wide(path);
    if (!wide.empty()) {
        _wremove(wide.c_str());
    }
}
long WriteSome(int fd, const char* data, size_t size) {
    return _write(fd, data, static_cast<unsigned>(size > 0x40000000 ? 0x40000000 : size));
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
void DropCachedPages(const std::string&) {}
void SetPermissions(int, uint32_t) {}
size_t RaiseOpenFileLimit(size_t) {
    return 8192;  // the CRT's own limit
}
uint64_t DeviceOf(int) {
    return 0;
}
bool HasFileSystemSync() {
    return false;
}
bool SyncFileSystem(int fd) {
    return _commit(fd) == 0;
}
bool SyncFile(int fd) {
    return _commit(fd) == 0;
}
void StartWriteback(int, uint64_t, uint64_t) {}
bool SyncFolder(const std::string&) {
    return false;
}
bool MakePrivateFolder(const std::string& path) {
    const std::wstring wide = Wide(path);
    if (wide.empty()) {
        errno = EINVAL;
        return false;
    }
    return _wmkdir(wide.c_str()) == 0;
}
bool RemoveFolder(const std::string& path) {
    const std::wstring wide = Wide(path);
    return !wide.empty() && _wrmdir(wide.c_str()) == 0;
}
bool IsOwnFolder(const std::string& path) {
    const std::wstring wide = Wide(path);
    const DWORD attributes =
        wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0;
}
// Windows holds a file by sharing it with no one while it is open.
int HoldFile(const std::string& path, bool create) {
    const std::wstring wide = Wide(path);
    if (wide.empty()) {
        errno = EINVAL;
        return -1;
    }
    int fd = -1;
    const int flags = _O_RDWR | _O_BINARY | (create ? _O_CREAT | _O_EXCL : 0);
    if (_wsopen_s(&fd, wide.c_str(), flags, _SH_DENYRW, _S_IREAD | _S_IWRITE) != 0) {
        errno = create ? errno : EWOULDBLOCK;
        return -1;
    }
    return fd;
}
#else
std::filesystem::path FolderPath(const std::string& folder) {
    return folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
}
int CreateExclusive(const std::string& path) {
    // The umask applies as for any file the user creates.
    return open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
int OpenFolder(const std::string& folder) {
    return open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}
#if defined(__linux__) && defined(O_TMPFILE)
namespace {

// This process's open files as /proc shows them, opened once: linking an anonymous file
// goes through its entry there. -1 without /proc, where no anonymous file could be named.
int OwnFileTable() {
    static const int table = open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return table;
}

}  // namespace

int CreateAnonymous(int folder) {
    if (folder >= 0 && OwnFileTable() >= 0) {
        return openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    }
    errno = EOPNOTSUPP;
    return -1;
}
bool LinkAnonymous(int fd, int folder, const std::string& name) {
    // Linking the handle itself spares the walk through /proc, a good part of the cost of
    // placing a small file; the host allows it only to a process that may search every
    // folder (ENOENT otherwise), so the walk stays the way for everyone else.
    static std::atomic<bool> byHandle{true};
    if (byHandle.load(std::memory_order_relaxed)) {
        if (linkat(fd, "", folder, name.c_str(), AT_EMPTY_PATH) == 0) {
            return true;
        }
        if (errno != ENOENT && errno != EPERM) {
            return false;
        }
        byHandle.store(false, std::memory_order_relaxed);
    }
    const std::string self = std::to_string(fd);
    return linkat(OwnFileTable(), self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}
std::string AnonymousPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}
#else
int CreateAnonymous(int) {
    errno = EOPNOTSUPP;
    return -1;
}
bool LinkAnonymous(int, int, const std::string&) {
    errno = EOPNOTSUPP;
    return false;
}
std::string AnonymousPath(int) {
    return "";
}
#endif
void CloseFile(int fd) {
    close(fd);
}
void RemoveFile(const std::string& path) {
    unlink(path.c_str());
}
long WriteSome(int fd, const char* data, size_t size) {
    return static_cast<long>(write(fd, data, size));
}
bool MoveIntoPlace(const std::string& from, const std::string& to) {
    return rename(from.c_str(), to.c_str()) == 0;
}
void DropCachedPages(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
#ifdef POSIX_FADV_DONTNEED
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    }
#endif
    close(fd);
}
void SetPermissions(int fd, uint32_t permissions) {
    fchmod(fd, static_cast<mode_t>(permissions));
}
size_t RaiseOpenFileLimit(size_t wanted) {
    rlimit limit;
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return 256;
    }
    if (limit.rlim_cur < wanted && limit.rlim_cur != RLIM_INFINITY) {
        rlimit raised = limit;
        raised.rlim_cur =
            limit.rlim_max == RLIM_INFINITY ? wanted : std::min<rlim_t>(wanted, limit.rlim_max);
        if (setrlimit(RLIMIT_NOFILE, &raised) == 0) {
            limit = raised;
        }
    }
    return limit.rlim_cur == RLIM_INFINITY ? wanted : static_cast<size_t>(limit.rlim_cur);
}
uint64_t DeviceOf(int fd) {
    struct stat info;
    return fstat(fd, &info) == 0 ? static_cast<uint64_t>(info.st_dev) : 0;
}
bool HasFileSystemSync() {
#ifdef __linux__
    return true;
#else
    return false;
#endif
}
bool SyncFileSystem(int fd) {
#ifdef __linux__
    return syncfs(fd) == 0;
#else
    return fsync(fd) == 0;
#endif
}
bool SyncFile(int fd) {
    return fsync(fd) == 0;
}
void StartWriteback(int fd, uint64_t offset, uint64_t length) {
#ifdef __linux__
    sync_file_range(fd, static_cast<off64_t>(offset), static_cast<off64_t>(length),
                    SYNC_FILE_RANGE_WRITE);
#else
    (void)fd, (void)offset, (void)length;
#endif
}
bool SyncFolder(const std::string& folder) {
    int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    fsync(fd);  // a failure here loses nothing already written
    close(fd);
    return true;
}
bool MakePrivateFolder(const std::string& path) {
    return mkdir(path.c_str(), 0700) == 0;
}
bool RemoveFolder(const std::string& path) {
    return rmdir(path.c_str()) == 0;
}
bool IsOwnFolder(const std::string& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid();
}
int HoldFile(const std::string& path, bool create) {
    const int flags =
        O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | (create ? O_CREAT | O_EXCL : 0);
    int fd = open(path.c_str(), flags, 0600);
    if (fd < 0) {
        return -1;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        close(fd);
        errno = error == 0 ? EINVAL : error;
        return -1;
    }
    return fd;
}
#endif

}  // namespace host
