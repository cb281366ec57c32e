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
    options.beforePlacing = [this] { return m_beforePlacing ? m_beforePlacing() : ""; };
    return m_file.Begin(target, options) || Fail(m_file.Result().message);
}

namespace {

constexpr size_t kBufferSize = size_t{1} << 20;
// Below this an entry is read into the buffer: a copy inside the host costs a system
// call of its own, and the entry's bytes would end the gathering of small writes.
constexpr uint64_t kHostCopyFrom = uint64_t{64} << 10;

}  // namespace

bool AtomicSink::Write(const uint8_t* data, size_t size) {
    if (m_buffer.size() + size > kBufferSize && !Flush()) {
        return false;
    }
    if (size >= kBufferSize) {
        return m_file.Write(data, size) || Fail(m_file.Result().message);
    }
    m_buffer.insert(m_buffer.end(), data, data + size);
    return true;
}

bool AtomicSink::Flush() {
    if (m_buffer.empty()) {
        return true;
    }
    const bool written = m_file.Write(m_buffer.data(), m_buffer.size());
    m_buffer.clear();
    return written || Fail(m_file.Result().message);
}

bool AtomicSink::Copy(const ReadOnlyFile& file, uint64_t offset, uint64_t length) {
    if (length < kHostCopyFrom) {
        if (m_buffer.size() + length > kBufferSize && !Flush()) {
            return false;
        }
        const size_t at = m_buffer.size();
        m_buffer.resize(at + static_cast<size_t>(length));
        if (file.ReadAt(offset, m_buffer.data() + at, length) != length) {
            m_buffer.resize(at);
            return Fail("cannot read the bytes to copy: the file ended or failed");
        }
        return true;
    }
    if (!Flush() || !CopyInHost(file, offset, length)) {
        return false;
    }
    return length == 0 || LgpSink::Copy(file, offset, length);
}

// Copies what it can inside the host, advancing `offset` and `length` past it; the rest
// is left to the plain copy. False only when the disk refused the bytes.
bool AtomicSink::CopyInHost(const ReadOnlyFile& file, uint64_t& offset, uint64_t& length) {
#ifdef __linux__
    // The bytes never pass through this process, and file systems that can share blocks
    // share them.
    while (length > 0 && !m_hostCopyFails) {
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
            m_hostCopyFails = true;  // another file system, an old kernel: copy by hand
            break;
        }
        offset += static_cast<uint64_t>(done);
        length -= static_cast<uint64_t>(done);
    }
#else
    (void)file, (void)offset, (void)length;
#endif
    return true;
}

bool AtomicSink::Place(const std::function<std::string(const std::string& path)>& check,
                       const std::function<std::string()>& beforePlacing) {
    m_check = check;
    m_beforePlacing = beforePlacing;
    return Flush() && (m_file.Place() || Fail(m_file.Result().message));
}
