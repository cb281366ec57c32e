// SPDX-License-Identifier: MIT
// Reading host files and telling them apart, on POSIX hosts and on Windows.
#include "platform/host_file.h"

#include "platform/file_output.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
FileIdentity IdentityOf(int fd) {
    FileIdentity identity;
    BY_HANDLE_FILE_INFORMATION info;
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return identity;
    }
    identity.device = info.dwVolumeSerialNumber;
    identity.file = uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow;
    identity.size = uint64_t{info.nFileSizeHigh} << 32 | info.nFileSizeLow;
    identity.modified = static_cast<int64_t>(uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32 |
                                             info.ftLastWriteTime.dwLowDateTime) *
                        100;
    identity.known = true;
    return identity;
}

// Shared for reading, writing and deleting, as a POSIX reader would be: a file this
// program has open can still be replaced by an atomic write, the archive being saved
// over among them, and the open handle keeps reading the file it opened.
int OpenForReading(const std::string& path) {
    const std::wstring wide = HostPath(path).wstring();
    if (wide.empty()) {
        errno = EINVAL;
        return -1;
    }
    HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        errno = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ENOENT : EACCES;
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
    }
    return fd;
}

void CloseHandle(int fd) {
    _close(fd);
}

long ReadSome(int fd, uint64_t offset, void* buffer, uint64_t count) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD done = 0;
    const DWORD wanted = static_cast<DWORD>(count > 0x40000000 ? 0x40000000 : count);
    return ReadFile(handle, buffer, wanted, &done, &at) ? static_cast<long>(done) : -1;
}
#else
FileIdentity IdentityOf(const struct stat& info) {
    FileIdentity identity;
    identity.device = static_cast<uint64_t>(info.st_dev);
    identity.file = static_cast<uint64_t>(info.st_ino);
    identity.size = static_cast<uint64_t>(info.st_size);
    identity.modified = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                        static_cast<int64_t>(info.st_mtim.tv_nsec);
    identity.permissions = static_cast<uint32_t>(info.st_mode & 07777);
    identity.known = true;
    return identity;
}

FileIdentity IdentityOf(int fd) {
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return FileIdentity();
    }
    return IdentityOf(info);
}

int OpenForReading(const std::string& path) {
    // Non-blocking, so that opening a FIFO does not wait for a writer; regular files
    // ignore the flag.
    return open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

void CloseHandle(int fd) {
    close(fd);
}

long ReadSome(int fd, uint64_t offset, void* buffer, uint64_t count) {
    const size_t wanted = count > 0x40000000 ? 0x40000000 : static_cast<size_t>(count);
    return static_cast<long>(pread(fd, buffer, wanted, static_cast<off_t>(offset)));
}
#endif

}  // namespace

FileIdentity IdentifyFile(const std::string& path) {
#ifdef _WIN32
    ReadOnlyFile file(path);
    return file.Identity();
#else
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? IdentityOf(info)
                                                                   : FileIdentity();
#endif
}

InTheWay LookAt(const std::string& path) {
    InTheWay found;
#ifdef _WIN32
    const std::wstring wide = HostPath(path).wstring();
    const DWORD attributes =
        wide.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return found;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        found.kind = PathKind::Link;
    } else if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        found.kind = PathKind::Folder;
    } else {
        found.kind = PathKind::RegularFile;
        found.identity = IdentifyFile(path);
        found.writeProtected = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    }
#else
    struct stat info;
    if (lstat(path.c_str(), &info) != 0) {
        return found;
    }
    if (S_ISLNK(info.st_mode)) {
        found.kind = PathKind::Link;
    } else if (S_ISDIR(info.st_mode)) {
        found.kind = PathKind::Folder;
    } else if (!S_ISREG(info.st_mode)) {
        found.kind = PathKind::Other;
    } else {
        found.kind = PathKind::RegularFile;
        found.identity = IdentityOf(info);
        // Set-ID and sticky bits are never carried over to bytes from an archive.
        found.permissions = static_cast<uint32_t>(info.st_mode & 0777);
        // Like rm: a file without any write bit is protected even for root, who may
        // write anything.
        found.writeProtected = (info.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0;
    }
#endif
    return found;
}

ReadOnlyFile ReadOnlyFile::FromHandle(int handle) {
    ReadOnlyFile file;
#ifdef _WIN32
    const int own = _dup(handle);
#else
    const int own = fcntl(handle, F_DUPFD_CLOEXEC, 0);
#endif
    if (own < 0) {
        return file;
    }
    file.m_identity = IdentityOf(own);
    if (!file.m_identity.known) {
        CloseHandle(own);
        return file;
    }
    file.m_handle = own;
    return file;
}

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept
    : m_handle(other.m_handle), m_identity(other.m_identity) {
    other.m_handle = -1;
}

ReadOnlyFile::ReadOnlyFile(const std::string& path) {
    if (path.empty()) {
        return;
    }
    int fd = OpenForReading(path);
    if (fd < 0) {
        return;
    }
    m_identity = IdentityOf(fd);
    if (!m_identity.known) {
        CloseHandle(fd);  // folders, pipes and devices hold no data
        return;
    }
    m_handle = fd;
}

ReadOnlyFile::~ReadOnlyFile() {
    if (m_handle >= 0) {
        CloseHandle(m_handle);
    }
}

FileIdentity ReadOnlyFile::Current() const {
    return m_handle >= 0 ? IdentityOf(m_handle) : FileIdentity();
}

uint64_t ReadOnlyFile::ReadAt(uint64_t offset, void* buffer, uint64_t count) const {
    count = Available(offset, count);
    uint64_t done = 0;
    while (done < count) {
        long got =
            ReadSome(m_handle, offset + done, static_cast<char*>(buffer) + done, count - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<uint64_t>(got);
    }
    return done;
}
