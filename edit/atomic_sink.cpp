// SPDX-License-Identifier: MIT
#include "edit/atomic_sink.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/host_calls.h"

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
// A copy waiting to be joined grows to this at most, so that progress and a cancel are
// still heard every so often.
constexpr uint64_t kJoinedCopy = uint64_t{16} << 20;
// Writes this long at most are looked for in the file after the waiting copy.
constexpr size_t kJoinedWrite = 64;
constexpr uint64_t kHandOnEvery = uint64_t{8} << 20;

}  // namespace

bool AtomicSink::Write(const uint8_t* data, size_t size) {
    if (ContinuesWith(data, size)) {
        m_waitingLength += size;
        return true;
    }
    if (!FlushCopy()) {
        return false;
    }
    if (m_buffer.size() + size > kBufferSize && !Flush()) {
        return false;
    }
    if (size >= kBufferSize) {
        if (!m_file.Write(data, size)) {
            return Fail(m_file.Result().message);
        }
        HandOn(size);
        return true;
    }
    m_buffer.insert(m_buffer.end(), data, data + size);
    return true;
}

bool AtomicSink::Flush() {
    if (m_buffer.empty()) {
        return true;
    }
    const bool written = m_file.Write(m_buffer.data(), m_buffer.size());
    HandOn(m_buffer.size());
    m_buffer.clear();
    return written || Fail(m_file.Result().message);
}

// The disk is set to work on what was written every few megabytes, while the rest is
// written, so that the sync before placing has only the last of it left to wait for.
void AtomicSink::HandOn(uint64_t written) {
    m_written += written;
    if (m_written - m_handedOn >= kHandOnEvery) {
        host::StartWriteback(m_file.Handle(), m_handedOn, m_written - m_handedOn);
        m_handedOn = m_written;
    }
}

// Whether the bytes are those the file holds just after the waiting copy: the header of
// the next entry of a run of unchanged ones.
bool AtomicSink::ContinuesWith(const uint8_t* data, size_t size) const {
    if (m_waiting == nullptr || size > kJoinedWrite || m_waitingLength + size > kJoinedCopy) {
        return false;
    }
    uint8_t there[kJoinedWrite];
    return m_waiting->ReadAt(m_waitingOffset + m_waitingLength, there, size) == size &&
           std::memcmp(there, data, size) == 0;
}

bool AtomicSink::FlushCopy() {
    const ReadOnlyFile* file = std::exchange(m_waiting, nullptr);
    uint64_t offset = m_waitingOffset;
    uint64_t length = m_waitingLength;
    if (file == nullptr || length == 0) {
        return true;
    }
    if (!CopyInHost(*file, offset, length)) {
        return false;
    }
    return length == 0 || LgpSink::Copy(*file, offset, length);
}

bool AtomicSink::Copy(const ReadOnlyFile& file, uint64_t offset, uint64_t length) {
    if (m_waiting == &file && offset == m_waitingOffset + m_waitingLength &&
        m_waitingLength + length <= kJoinedCopy) {
        m_waitingLength += length;
        return true;
    }
    if (!FlushCopy()) {
        return false;
    }
    if (&file == m_joinable && length >= kHostCopyFrom) {
        if (!Flush()) {
            return false;
        }
        m_waiting = &file;
        m_waitingOffset = offset;
        m_waitingLength = length;
        return true;
    }
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
            // A file on another file system is copied by hand; the archive's own entries
            // still go inside the host. An old kernel or a file system without the call
            // has every copy made by hand.
            m_hostCopyFails = done < 0 && errno != EXDEV;
            break;
        }
        offset += static_cast<uint64_t>(done);
        length -= static_cast<uint64_t>(done);
        HandOn(static_cast<uint64_t>(done));
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
    return FlushCopy() && Flush() && (m_file.Place() || Fail(m_file.Result().message));
}
