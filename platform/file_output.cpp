#include "platform/file_output.h"

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

namespace {

#ifdef _WIN32
constexpr int kCreateFlags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY;
constexpr int kCreateMode = _S_IREAD | _S_IWRITE;
int OpenFile(const char* p, int flags, int mode) {
    return _open(p, flags, mode);
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
bool ReplaceFile(const std::string& from, const std::string& to) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    errno = EACCES;
    return false;
}
void SyncFolder(const std::string&) {}
#else
constexpr int kCreateFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
// The umask applies as for any file the user creates.
constexpr int kCreateMode = 0666;
int OpenFile(const char* p, int flags, int mode) {
    return open(p, flags, mode);
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
bool ReplaceFile(const std::string& from, const std::string& to) {
    return rename(from.c_str(), to.c_str()) == 0;
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
    size_t i = path.size();
    while (i > 0 && !IsSeparator(path[i - 1])) {
        --i;
    }
    return path.substr(0, i);
}

void SetError(std::string* error, const std::string& what, const std::string& file, int err) {
    if (error) {
        *error = what + " " + file + ": " + std::strerror(err);
    }
}

bool WriteAll(int fd, const char* p, size_t n) {
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

// Creates a new file next to `path` that no one else is using; its name starts with '.'
// and carries the target's name, so a leftover after a power cut is easy to recognise.
int CreateTemporary(const std::string& path, std::string* tempPath) {
    static unsigned counter = 0;
    const std::string folder = FolderOf(path);
    // Cut long names so the temporary's name stays within the file system's limit
    // wherever the target's own name does.
    const std::string base = path.substr(folder.size()).substr(0, 64);
    for (int attempt = 0; attempt < 100; ++attempt) {
        *tempPath = folder + "." + base + ".lumo-" + std::to_string(ProcessId()) + "-" +
                    std::to_string(++counter);
        int fd = OpenFile(tempPath->c_str(), kCreateFlags, kCreateMode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

}  // namespace

bool IsPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") {
        return false;
    }
    for (char c : name) {
        if (c == '/' || c == '\\' || c == '\0') {
            return false;
        }
#ifdef _WIN32
        if (c == ':') {
            return false;
        }
#endif
    }
    return true;
}

std::string JoinPath(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (!path.empty() && !IsSeparator(path.back())) {
        path += '/';
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
    bool ok = WriteAll(fd, bytes, size) && SyncFile(fd) == 0;
    int err = errno;
    if (CloseFile(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    AtomicWriteStep step = AtomicWriteStep::Write;
    if (ok && !ReplaceFile(tempPath, path)) {
        ok = false;
        err = errno;
        step = AtomicWriteStep::Replace;
    }
    if (!ok) {
        std::remove(tempPath.c_str());
        return fail(step, "cannot write", path, err);
    }
    SyncFolder(FolderOf(path));
    return result;
}
