// SPDX-License-Identifier: MIT
#include "edit/aside_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "extract/host_files.h"
#include "platform/file_output.h"

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

std::string SystemError(const std::string& what, const std::string& file) {
    return what + " " + file + ": " + std::strerror(errno);
}

}  // namespace

AsideFile::~AsideFile() {
    if (m_fd >= 0) {
        extract::CloseFile(m_fd);
    }
    if (m_folderFd >= 0) {
        extract::CloseFile(m_folderFd);
    }
    if (!m_placed && !m_named.empty()) {
        extract::RemoveFile(m_named);
    }
}

bool AsideFile::Create(const std::string& target) {
    m_target = target;
    m_folder = target.substr(0, FolderPartLength(target));
    m_folderFd = extract::OpenFolder(m_folder);
    m_fd = extract::CreateAnonymous(m_folderFd);
    for (int attempt = 0; m_fd < 0 && attempt < 100; ++attempt) {
        m_named = HiddenTemporaryName(target);
        m_fd = extract::CreateExclusive(m_named);
        if (m_fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (m_fd < 0) {
        const std::string why = SystemError("cannot create a file aside for", target);
        m_named.clear();
        return Fail(why);
    }
    return true;
}

bool AsideFile::Write(const uint8_t* data, size_t size) {
    return WriteAllToDescriptor(m_fd, data, size) || Fail(SystemError("cannot write", m_target));
}

bool AsideFile::Copy(const ArchiveFile& file, uint64_t offset, uint64_t length) {
#ifdef __linux__
    // The bytes never pass through this process, and file systems that can share blocks
    // share them.
    while (length > 0) {
        loff_t from = static_cast<loff_t>(offset);
        const ssize_t done =
            copy_file_range(file.Handle(), &from, m_fd, nullptr,
                            static_cast<size_t>(std::min<uint64_t>(length, 1u << 30)), 0);
        if (done <= 0) {
            if (done < 0 && (errno == ENOSPC || errno == EIO || errno == EDQUOT)) {
                return Fail(SystemError("cannot write", m_target));
            }
            break;  // not here (another file system, an old kernel): copy by hand
        }
        offset += static_cast<uint64_t>(done);
        length -= static_cast<uint64_t>(done);
    }
#endif
    return length == 0 || LgpSink::Copy(file, offset, length);
}

bool AsideFile::MakeDurable(uint32_t permissions) {
    if (permissions != 0) {
        extract::SetPermissions(m_fd, permissions);
    }
    return extract::SyncFile(m_fd) || Fail(SystemError("cannot write", m_target));
}

std::string AsideFile::ReadPath() const {
    return m_named.empty() ? "/proc/self/fd/" + std::to_string(m_fd) : m_named;
}

bool AsideFile::Place() {
    if (m_named.empty()) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::string name = HiddenTemporaryName(m_target);
            if (extract::LinkAnonymous(m_fd, m_folderFd, std::string(FileNamePart(name)))) {
                m_named = name;
                break;
            }
            if (errno != EEXIST) {
                return Fail(SystemError("cannot name the file written aside for", m_target));
            }
        }
    }
    if (m_named.empty() || !extract::MoveIntoPlace(m_named, m_target)) {
        return Fail(SystemError("cannot move the new archive into place as", m_target));
    }
    m_placed = true;
    extract::SyncFolder(m_folder);
    return true;
}
