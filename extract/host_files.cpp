#include "extract/host_files.h"

#include "platform/file_output.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#endif

namespace extract {

#ifdef _WIN32
namespace {

// Empty when the text is not UTF-8.
std::wstring Wide(const std::string& path) {
    return HostPath(path).wstring();
}

}  // namespace

std::filesystem::path HostFolderPath(const std::string& folder) {
    return folder.empty() ? std::filesystem::path(L".") : std::filesystem::path(Wide(folder));
}
long ProcessId() {
    return _getpid();
}
bool ProcessAlive(long pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(pid));
    if (process == nullptr) {
        return GetLastError() == ERROR_ACCESS_DENIED;
    }
    const bool alive = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return alive;
}
int CreateExclusive(const std::string& path) {
    const std::wstring wide = Wide(path);
    return wide.empty() ? -1
                        : _wopen(wide.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                                 _S_IREAD | _S_IWRITE);
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
void CloseFile(int fd) {
    _close(fd);
}
void RemoveFile(const std::string& path) {
    const std::wstring wide = Wide(path);
    if (!wide.empty()) {
        _wremove(wide.c_str());
    }
}
bool MoveIntoPlace(const std::string& from, const std::string& to) {
    if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return true;
    }
    errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
}
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
bool SyncFolder(const std::string&) {
    return false;
}
#else
std::filesystem::path HostFolderPath(const std::string& folder) {
    return folder.empty() ? std::filesystem::path(".") : std::filesystem::path(folder);
}
long ProcessId() {
    return static_cast<long>(getpid());
}
bool ProcessAlive(long pid) {
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}
int CreateExclusive(const std::string& path) {
    // The umask applies as for any file the user creates.
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
        return openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    }
    errno = EOPNOTSUPP;
    return -1;
}
bool LinkAnonymous(int fd, int folder, const std::string& name) {
    const std::string self = std::to_string(fd);
    return linkat(OwnFileTable(), self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
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
#endif
void CloseFile(int fd) {
    close(fd);
}
void RemoveFile(const std::string& path) {
    unlink(path.c_str());
}
bool MoveIntoPlace(const std::string& from, const std::string& to) {
    return rename(from.c_str(), to.c_str()) == 0;
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
bool SyncFolder(const std::string& folder) {
    int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    fsync(fd);  // a failure here loses nothing already written
    close(fd);
    return true;
}
#endif

}  // namespace extract
