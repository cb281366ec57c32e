// SPDX-License-Identifier: MIT
#include "edit/atomic_sink.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef __linux__
#include <unistd.h>
#endif

bool AtomicSink::Begin(const std::string& target) {
    AtomicFileOptions options;
    options.check = [this](const ReadOnlyFile&) {
        // The archive reader opens paths, so the file written aside is read back through
        // the path the atomic file knows it by: its temporary's name, or on Linux the
        // anonymous file's entry among this process's open files.
        if (!m_check) {
            return std::string();
        }
        const std::string path = m_file.WrittenPath();
        return path.empty() ? m_file.Target() + ": the archive written aside cannot be read back"
                            : m_check(path);
    };
    return m_file.Begin(target, options) || Fail(m_file.Result().message);
}

bool AtomicSink::Write(const uint8_t* data, size_t size) {
    return m_file.Write(data, size) || Fail(m_file.Result().message);
}

bool AtomicSink::Copy(const ReadOnlyFile& file, uint64_t offset, uint64_t length) {
#ifdef __linux__
    // The bytes never pass through this process, and file systems that can share blocks
    // share them.
    while (length > 0) {
        loff_t from = static_cast<loff_t>(offset);
        const size_t piece = static_cast<size_t>(std::min<uint64_t>(length, 1u << 30));
        const ssize_t done =
            copy_file_range(file.Handle(), &from, m_file.Handle(), nullptr, piece, 0);
        if (done <= 0) {
            if (done < 0 && (errno == ENOSPC || errno == EIO || errno == EDQUOT)) {
                const std::string why = std::strerror(errno);
                m_file.Discard();
                return Fail("cannot write " + m_file.Target() + ": " + why);
            }
            break;  // not here (another file system, an old kernel): copy by hand
        }
        offset += static_cast<uint64_t>(done);
        length -= static_cast<uint64_t>(done);
    }
#endif
    return length == 0 || LgpSink::Copy(file, offset, length);
}

bool AtomicSink::Place(const std::function<std::string(const std::string& path)>& check) {
    m_check = check;
    return m_file.Place() || Fail(m_file.Result().message);
}
