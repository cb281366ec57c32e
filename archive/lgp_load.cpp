// SPDX-License-Identifier: MIT
// Loading the catalogue: the header, the table of contents and every data header.
#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "archive/lgp_archive.h"
#include "archive/lgp_entry.h"
#include "archive/lgp_layout.h"
#include "platform/ascii.h"
#include "platform/byte_cursor.h"
#include "platform/file_output.h"

namespace {

using lgp::kCountOffset;
using lgp::kDataHeaderSize;
using lgp::kHeaderSize;
using lgp::kNameSize;
using lgp::kSignature;
using lgp::kSignatureOffset;
using lgp::kSignatureSize;
using lgp::kTocRecordSize;
// Data headers are fetched together, in one read of at most kHeaderSpan bytes, while
// the data between them is shorter than kHeaderGap: reading a few kilobytes too many
// costs less than another seek and read, reading megabytes of entry data does not.
constexpr uint32_t kHeaderSpan = 1u << 20;
constexpr uint32_t kHeaderGap = 16u << 10;

uint32_t ClampToU32(uint64_t value) {
    return value > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(value);
}

uint8_t TypeFor(const char* extension, bool fieldArchive) {
    static const struct {
        const char* extension;
        uint8_t type;
    } kTypes[] = {
        {"tex", LGP_TYPE_TEX}, {"cam", LGP_TYPE_CAM}, {"p", LGP_TYPE_P},     {"mid", LGP_TYPE_MID},
        {"txt", LGP_TYPE_TXT}, {"a", LGP_TYPE_A},     {"tut", LGP_TYPE_TUT}, {"hrc", LGP_TYPE_HRC},
    };
    for (const auto& row : kTypes) {
        if (SameIgnoringCase(extension, row.extension)) {
            return row.type;
        }
    }
    return fieldArchive ? LGP_TYPE_FIELD : LGP_TYPE_OTHER;
}

// Fills the entries' names, extensions, types and offsets from the table of contents.
template <typename Entry>
void ParseToc(const unsigned char* toc, std::vector<Entry>& entries, bool fieldArchive) {
    for (Entry& entry : entries) {
        std::memcpy(entry.szName, toc, kNameSize);
        entry.szName[kNameSize] = '\0';
        size_t nameLength = std::strlen(entry.szName);
        // Bytes after the name's terminator are padding and must not show up later.
        std::memset(entry.szName + nameLength, 0, kNameSize + 1 - nameLength);
        const char* dot = static_cast<const char*>(std::memchr(entry.szName, '.', nameLength));
        entry.nExtStart = static_cast<uint8_t>(dot ? dot - entry.szName + 1 : nameLength);
        entry.nType = TypeFor(entry.szName + entry.nExtStart, fieldArchive);
        entry.dwOffset = LoadLe32(toc + lgp::kTocDataOffsetOffset);
        entry.dwSize = 0;
        entry.nCheck = toc[lgp::kTocCheckCodeOffset];
        entry.wConflict = LoadLe16(toc + lgp::kTocConflictOffset);
        toc += kTocRecordSize;
    }
}

// Reads every entry's data header in file order, fetching headers that lie close
// together with one read. An entry whose size field is not wholly inside the file
// keeps size 0. Returns false on a read error.
template <typename Entry>
bool ReadDataHeaders(const LgpBytes& file, std::vector<Entry>& entries) {
    std::vector<uint32_t> order(entries.size());
    for (uint32_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    auto byOffset = [&](uint32_t a, uint32_t b) {
        return entries[a].dwOffset < entries[b].dwOffset;
    };
    if (!std::is_sorted(order.begin(), order.end(), byOffset)) {
        std::stable_sort(order.begin(), order.end(), byOffset);
    }
    std::vector<unsigned char> span;
    size_t next = 0;
    while (next < order.size()) {
        uint64_t first = entries[order[next]].dwOffset;
        if (file.Available(first, kDataHeaderSize) < kDataHeaderSize) {
            break;  // this and every later header lie past the end of the file
        }
        size_t last = next;
        while (last + 1 < order.size()) {
            uint64_t following = entries[order[last + 1]].dwOffset;
            uint64_t gap = following - entries[order[last]].dwOffset;
            if (gap > kHeaderGap || following + kDataHeaderSize - first > kHeaderSpan ||
                file.Available(following, kDataHeaderSize) < kDataHeaderSize) {
                break;
            }
            ++last;
        }
        uint64_t spanLength = entries[order[last]].dwOffset + uint64_t{kDataHeaderSize} - first;
        span.resize(spanLength);
        if (file.ReadAt(first, span.data(), spanLength) != spanLength) {
            return false;
        }
        for (; next <= last; ++next) {
            Entry& entry = entries[order[next]];
            entry.dwSize = LoadLe32(span.data() + (entry.dwOffset - first) + lgp::kDataSizeOffset);
        }
    }
    return true;
}

}  // namespace

uint8_t EntryTypeOfName(const std::string& name, bool fieldArchive) {
    const size_t dot = name.find('.');
    return TypeFor(dot == std::string::npos ? "" : name.c_str() + dot + 1, fieldArchive);
}

uint16_t CLgpArchive::Load(const char* path) {
    if (path == nullptr) {
        m_lastStatus = LgpLoadStatus::CannotOpen;
        return 0;
    }
    return LoadFrom(LgpBytes(std::string(path)), path, std::string(FileNamePart(path)));
}

uint16_t CLgpArchive::LoadFromMemory(std::vector<uint8_t> bytes, const std::string& name) {
    auto block = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    const uint16_t count = LoadFrom(LgpBytes(block), "", name);
    if (m_lastStatus == LgpLoadStatus::Ok) {
        m_block = std::move(block);
    }
    return count;
}

uint16_t CLgpArchive::LoadFrom(const LgpBytes& file, const std::string& path,
                               const std::string& name) {
    if (!file.IsOpen()) {
        m_lastStatus = LgpLoadStatus::CannotOpen;
        return 0;
    }
    m_dwArchiveLength = ClampToU32(file.Length());

    // Bytes 14 and 15 are never looked at, so a file that ends right after the count's
    // low 16 bits is still a (necessarily empty) archive.
    unsigned char header[kHeaderSize] = {};
    const uint64_t headerRead = file.ReadAt(0, header, kHeaderSize);
    if (headerRead < kSignatureOffset + kSignatureSize ||
        std::memcmp(header + kSignatureOffset, kSignature, kSignatureSize) != 0) {
        m_lastStatus = LgpLoadStatus::NotAnArchive;
        return 0;
    }
    // A signed file that ends early is an archive whose download or copy broke off, and
    // the user is told so rather than that it is no archive at all.
    if (headerRead < kCountOffset + 2) {
        m_lastStatus = LgpLoadStatus::CutShort;
        return 0;
    }
    // Only the low 16 bits of the count field are the count.
    uint16_t count = LoadLe16(header + kCountOffset);
    uint64_t tocLength = uint64_t{count} * kTocRecordSize;
    if (file.Available(kHeaderSize, tocLength) < tocLength) {
        m_lastStatus = LgpLoadStatus::CutShort;
        return 0;
    }
    std::vector<unsigned char> toc(tocLength);
    if (file.ReadAt(kHeaderSize, toc.data(), tocLength) != tocLength) {
        m_lastStatus = LgpLoadStatus::CannotOpen;
        return 0;
    }

    // The new table is built aside and swapped in only once complete, so a failure
    // part-way leaves the previous catalogue usable.
    std::vector<Entry> entries(count);
    ParseToc(toc.data(), entries, SameIgnoringCase(name, "flevel.lgp"));
    if (!ReadDataHeaders(file, entries)) {
        m_lastStatus = LgpLoadStatus::CannotOpen;
        return 0;
    }
    LgpTables tables = ReadLgpTables(file, toc.data(), count);
    m_entries.swap(entries);
    m_tables = std::move(tables);
    m_snapshot.reset();
    m_scopeFile = nullptr;  // a scope holds the file loaded before
    m_szArchivePath = path;
    m_identity = file.Identity();
    m_block.reset();
    m_lastStatus = LgpLoadStatus::Ok;
    return count;
}
