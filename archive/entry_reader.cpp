// SPDX-License-Identifier: MIT
#include "archive/entry_reader.h"

#include <algorithm>
#include <cstddef>

#include "archive/large_blocks.h"
#include "archive/lgp_layout.h"
#include "archive/lzss.h"
#include "platform/byte_cursor.h"

namespace {

constexpr uint64_t kDataHeaderSize = lgp::kDataHeaderSize;
constexpr uint32_t kLengthFieldSize = lgp::kStreamLengthSize;
constexpr uint64_t kWindowSize = uint64_t{1} << 20;

EntryCheck Problem(EntryProblem problem) {
    EntryCheck check;
    check.problem = problem;
    return check;
}

}  // namespace

LgpEntryReader::LgpEntryReader(const CLgpArchive& archive)
    : m_archive(archive), m_file(archive.OpenBytes()) {
    if (!m_file.IsOpen()) {
        m_openProblem = archive.ArchiveChangedOnDisk() ? EntryProblem::ArchiveChanged
                                                       : EntryProblem::CannotRead;
    } else if (!archive.IsLoadedBytes(m_file)) {
        m_openProblem = EntryProblem::ArchiveChanged;
    }
}

bool LgpEntryReader::StillUnchanged() const {
    return m_openProblem == EntryProblem::None && m_archive.StillLoadedBytes(m_file);
}

EntryCheck LgpEntryReader::Read(uint16_t index, bool decompress, std::vector<uint8_t>* out) const {
    out->clear();
    if (m_openProblem != EntryProblem::None) {
        return Problem(m_openProblem);
    }
    if (index >= m_archive.GetEntryCount()) {
        return Problem(EntryProblem::CannotRead);
    }
    const uint64_t header = m_archive.GetEntryOffset(index);
    if (m_file.Available(header, kDataHeaderSize) < kDataHeaderSize) {
        return Problem(EntryProblem::HeaderMissing);
    }
    const uint32_t size = m_archive.GetEntrySize(index);
    const uint64_t start = header + kDataHeaderSize;
    const uint64_t available = m_file.Available(start, size);
    SizeForFill(*out, available);
    if (!ReadBytes(start, out->data(), available)) {
        out->clear();
        return Problem(EntryProblem::CannotRead);
    }
    const bool stream = decompress && IsCompressedType(m_archive.GetEntryType(index));
    const EntryCheck check =
        CheckStoredBytes(size, out->data(), static_cast<uint32_t>(available), stream);
    if (stream) {
        Decode(check, out);
    }
    return check;
}

bool LgpEntryReader::ReadBytes(uint64_t offset, uint8_t* buffer, uint64_t count) const {
    if (count > kWindowSize / 4) {
        return m_file.ReadAt(offset, buffer, count) == count;
    }
    const bool inWindow =
        offset >= m_windowStart && offset - m_windowStart + count <= m_window.size();
    if (!inWindow) {
        m_window.resize(m_file.Available(offset, kWindowSize));
        m_window.resize(m_file.ReadAt(offset, m_window.data(), m_window.size()));
        m_windowStart = offset;
        if (count > m_window.size()) {
            return false;
        }
    }
    std::copy_n(m_window.begin() + static_cast<std::ptrdiff_t>(offset - m_windowStart), count,
                buffer);
    return true;
}

// Decodes the stream in place of the stored bytes, as far as the entry holds it.
void LgpEntryReader::Decode(const EntryCheck& check, std::vector<uint8_t>* out) const {
    if (check.problem == EntryProblem::DecodedTooLarge || out->size() < kLengthFieldSize) {
        out->clear();
        return;
    }
    const uint32_t held = static_cast<uint32_t>(out->size()) - kLengthFieldSize;
    const uint32_t length = check.streamLength < held ? check.streamLength : held;
    const uint8_t* stream = out->data() + kLengthFieldSize;
    std::vector<uint8_t> decoded(LzssDecodedSize(stream, length));
    decoded.resize(
        LzssDecode(stream, length, decoded.data(), static_cast<uint32_t>(decoded.size())));
    out->swap(decoded);
}
