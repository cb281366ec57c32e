// SPDX-License-Identifier: MIT
#include "archive/lgp_archive.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/host_file.h"

#include "archive/large_blocks.h"
#include "archive/lgp_entry.h"
#include "archive/lgp_layout.h"
#include "archive/lgp_snapshot.h"
#include "archive/lzss.h"
#include "platform/byte_cursor.h"

namespace {

using lgp::kDataHeaderSize;

}  // namespace

const char* DescribeLoadStatus(LgpLoadStatus status) {
    switch (status) {
        case LgpLoadStatus::Ok:
            return "ok";
        case LgpLoadStatus::CannotOpen:
            return "cannot open file";
        case LgpLoadStatus::NotAnArchive:
            return "not an LGP archive";
        case LgpLoadStatus::CutShort:
            return "the archive is cut short before the end of its table of contents";
    }
    return "unknown";
}

CLgpArchive::CLgpArchive() : m_contents(std::make_shared<const Contents>()) {}
CLgpArchive::~CLgpArchive() = default;

const std::vector<CLgpArchive::Entry>& CLgpArchive::Entries() const {
    return m_contents->entries;
}

const LgpTables& CLgpArchive::Tables() const {
    return m_contents->tables;
}

LgpLoadStatus CLgpArchive::GetLastLoadStatus() const {
    return m_lastStatus;
}

uint16_t CLgpArchive::GetEntryCount() const {
    return static_cast<uint16_t>(Entries().size());
}

// Indices at or past the count are the caller's mistake; they answer as an empty entry
// rather than reading outside the table.
const char* CLgpArchive::GetEntryName(uint16_t index) const {
    return index < Entries().size() ? Entries()[index].szName : "";
}

const char* CLgpArchive::GetEntryExtension(uint16_t index) const {
    if (index >= Entries().size()) {
        return "";
    }
    const Entry& entry = Entries()[index];
    return entry.szName + entry.nExtStart;
}

uint32_t CLgpArchive::GetEntrySize(uint16_t index) const {
    return index < Entries().size() ? Entries()[index].dwSize : 0;
}

uint8_t CLgpArchive::GetEntryType(uint16_t index) const {
    return index < Entries().size() ? Entries()[index].nType : uint8_t{LGP_TYPE_OTHER};
}

uint32_t CLgpArchive::GetEntryOffset(uint16_t index) const {
    return index < Entries().size() ? Entries()[index].dwOffset : 0;
}

uint32_t CLgpArchive::GetArchiveLength() const {
    return m_dwArchiveLength;
}

const char* CLgpArchive::GetArchivePath() const {
    return m_szArchivePath.c_str();
}

uint32_t CLgpArchive::ReadEntry(uint16_t index, unsigned char** ppBuffer) const {
    if (ppBuffer == nullptr || index >= Entries().size()) {
        return 0;
    }
    std::optional<LgpBytes> own;
    const LgpBytes* file = FileForRead(own);
    if (file == nullptr) {
        return 0;
    }
    const Entry& entry = Entries()[index];
    uint64_t start = uint64_t{entry.dwOffset} + kDataHeaderSize;
    // Only what the file really holds is allocated and read: a size field that lies
    // cannot make us allocate gigabytes or hand out uninitialised bytes.
    uint64_t available = file->Available(start, entry.dwSize);
    unsigned char* buffer = *ppBuffer;
    bool allocated = buffer == nullptr;
    if (allocated) {
        // Never a null block on success, even for an empty entry.
        buffer = AllocateEntryBlock(available);
        if (buffer == nullptr) {
            return 0;
        }
    }
    uint64_t delivered = file->ReadAt(start, buffer, available);
    // Whatever the read did not fill reads as zeros: the rest of our block if the read
    // failed part-way, and the rest of the caller's buffer, which holds the full size.
    uint64_t filled = allocated ? available : entry.dwSize;
    if (delivered < filled) {
        std::memset(buffer + delivered, 0, filled - delivered);
    }
    *ppBuffer = buffer;
    return static_cast<uint32_t>(delivered);
}

uint32_t CLgpArchive::ReadEntryDecompressed(uint16_t index, unsigned char** ppBuffer,
                                            uint32_t nSizeHint) const {
    if (index >= Entries().size()) {
        return 0;
    }
    std::optional<LgpBytes> own;
    const LgpBytes* file = FileForRead(own);
    if (file == nullptr) {
        return 0;
    }
    const Entry& entry = Entries()[index];
    const uint64_t start = uint64_t{entry.dwOffset} + kDataHeaderSize;
    // The stream ends where the entry does, whatever its length field says: decoding
    // on would turn the next entry's bytes into this one's.
    uint32_t streamLength = 0;
    unsigned char lengthField[lgp::kStreamLengthSize];
    if (entry.dwSize >= lgp::kStreamLengthSize &&
        file->ReadAt(start, lengthField, sizeof lengthField) == sizeof lengthField) {
        const uint64_t bound =
            std::min<uint64_t>(LoadLe32(lengthField), entry.dwSize - lgp::kStreamLengthSize);
        streamLength = static_cast<uint32_t>(file->Available(start + sizeof lengthField, bound));
    }
    std::vector<uint8_t> stream(streamLength);
    streamLength = static_cast<uint32_t>(
        file->ReadAt(start + sizeof lengthField, stream.data(), streamLength));

    if (ppBuffer == nullptr) {
        return LzssDecodedSize(stream.data(), streamLength);
    }
    if (*ppBuffer != nullptr) {
        // The caller's buffer holds the decoded size, so that is the decoder's bound.
        uint32_t capacity = LzssDecodedSize(stream.data(), streamLength);
        return LzssDecode(stream.data(), streamLength, *ppBuffer, capacity);
    }
    uint32_t capacity = nSizeHint != 0 ? nSizeHint : LzssDecodedSize(stream.data(), streamLength);
    unsigned char* buffer =
        static_cast<unsigned char*>(std::malloc(std::max<uint32_t>(capacity, 1)));
    if (buffer == nullptr) {
        return 0;
    }
    uint32_t written = LzssDecode(stream.data(), streamLength, buffer, capacity);
    // A generous hint leaves a tail the stream never reached; it reads as zeros.
    std::memset(buffer + written, 0, capacity - written);
    *ppBuffer = buffer;
    return written;
}

bool CLgpArchive::IsEntryWhole(uint16_t index) const {
    if (index >= Entries().size()) {
        return false;
    }
    // The file as it is now, as the reads see it, not its length when it was loaded.
    std::optional<LgpBytes> own;
    const LgpBytes* file = FileForRead(own);
    const Entry& entry = Entries()[index];
    return file != nullptr &&
           uint64_t{entry.dwOffset} + kDataHeaderSize + entry.dwSize <= file->Length();
}

uint32_t CLgpArchive::ReadEntryStreamLength(uint16_t index) const {
    if (index >= Entries().size()) {
        return 0;
    }
    std::optional<LgpBytes> own;
    const LgpBytes* file = FileForRead(own);
    unsigned char lengthField[lgp::kStreamLengthSize];
    if (file == nullptr || file->ReadAt(uint64_t{Entries()[index].dwOffset} + kDataHeaderSize,
                                        lengthField, sizeof lengthField) != sizeof lengthField) {
        return 0;
    }
    return LoadLe32(lengthField);
}

const LgpBytes* CLgpArchive::FileForRead(std::optional<LgpBytes>& own) const {
    if (m_scopeFile != nullptr) {
        // Rewritten in place since Load: its bytes are no longer the catalogue's.
        return StillLoadedBytes(*m_scopeFile) ? m_scopeFile : nullptr;
    }
    own.emplace(OpenBytes());
    return IsLoadedBytes(*own) ? &*own : nullptr;
}

LgpBytes CLgpArchive::OpenBytes() const {
    return m_block ? LgpBytes(m_block) : LgpBytes(m_szArchivePath);
}

bool CLgpArchive::IsLoadedBytes(const LgpBytes& bytes) const {
    return m_block ? bytes.Block() == m_block
                   : bytes.IsOpen() && bytes.Identity().Unchanged(m_identity);
}

bool CLgpArchive::StillLoadedBytes(const LgpBytes& bytes) const {
    return m_block ? bytes.Block() == m_block
                   : bytes.IsOpen() && bytes.Current().Unchanged(m_identity);
}

CLgpArchive::ReadScope::ReadScope(const CLgpArchive& archive)
    : m_archive(archive), m_file(archive.OpenBytes()) {
    if (m_archive.m_scopeFile == nullptr && m_archive.IsLoadedBytes(m_file)) {
        m_archive.m_scopeFile = &m_file;
    }
}

CLgpArchive::ReadScope::~ReadScope() {
    if (m_archive.m_scopeFile == &m_file) {
        m_archive.m_scopeFile = nullptr;
    }
}

const FileIdentity& CLgpArchive::GetArchiveIdentity() const {
    return m_identity;
}

bool CLgpArchive::IsLoadedFile(const ReadOnlyFile& file) const {
    return file.IsOpen() && file.Identity().Unchanged(m_identity);
}

bool CLgpArchive::ArchiveChangedOnDisk() const {
    // A block in memory never changes.
    return !m_block && !m_szArchivePath.empty() &&
           !IdentifyFile(m_szArchivePath).Unchanged(m_identity);
}

const char* CLgpArchive::GetEntryFolder(uint16_t index) const {
    return index < Tables().folders.size() ? Tables().folders[index].c_str() : "";
}

uint8_t CLgpArchive::GetEntryCheckCode(uint16_t index) const {
    return index < Entries().size() ? Entries()[index].nCheck : uint8_t{0};
}

uint16_t CLgpArchive::GetEntryConflictIndex(uint16_t index) const {
    return index < Entries().size() ? Entries()[index].wConflict : uint16_t{0};
}

const LgpTables& CLgpArchive::GetTables() const {
    return Tables();
}

std::shared_ptr<const LgpSnapshot> CLgpArchive::Snapshot() const {
    if (!m_snapshot) {
        auto copy = std::make_unique<CLgpArchive>();
        copy->m_contents = m_contents;
        copy->m_dwArchiveLength = m_dwArchiveLength;
        copy->m_szArchivePath = m_szArchivePath;
        copy->m_lastStatus = m_lastStatus;
        copy->m_identity = m_identity;
        copy->m_block = m_block;
        m_snapshot = std::make_shared<const LgpSnapshot>(std::move(copy));
    }
    return m_snapshot;
}
