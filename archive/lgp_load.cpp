// SPDX-License-Identifier: MIT
// Loading the catalogue: the header, the table of contents and every data header.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
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

// Every name in the table of contents is looked at, so the extension is taken with its
// length and compared against lengths known at compile time.
uint8_t TypeFor(std::string_view extension, bool fieldArchive) {
    using namespace std::string_view_literals;
    static constexpr struct {
        std::string_view extension;
        uint8_t type;
    } kTypes[] = {
        {"tex"sv, LGP_TYPE_TEX}, {"cam"sv, LGP_TYPE_CAM}, {"p"sv, LGP_TYPE_P},
        {"mid"sv, LGP_TYPE_MID}, {"txt"sv, LGP_TYPE_TXT}, {"a"sv, LGP_TYPE_A},
        {"tut"sv, LGP_TYPE_TUT}, {"hrc"sv, LGP_TYPE_HRC},
    };
    if (extension.size() <= 3) {
        for (const auto& row : kTypes) {
            if (SameIgnoringCase(extension, row.extension)) {
                return row.type;
            }
        }
    }
    return fieldArchive ? LGP_TYPE_FIELD : LGP_TYPE_OTHER;
}

bool IsFieldArchiveName(const std::string& fileName) {
    return SameIgnoringCase(fileName, "flevel.lgp");
}

// Fills the entries' names, extensions, types and offsets from the table of contents.
template <typename Entry>
void ParseToc(const unsigned char* toc, std::vector<Entry>& entries, bool fieldArchive) {
    for (Entry& entry : entries) {
        // One pass finds the name's end and its first dot; bytes after the terminator are
        // padding and must not show up later, so they are not copied.
        size_t nameLength = 0;
        size_t dot = kNameSize;
        for (; nameLength < kNameSize && toc[nameLength] != 0; ++nameLength) {
            if (toc[nameLength] == '.' && dot == kNameSize) {
                dot = nameLength;
            }
        }
        std::memset(entry.szName, 0, sizeof entry.szName);
        std::memcpy(entry.szName, toc, nameLength);
        entry.nExtStart = static_cast<uint8_t>(dot < nameLength ? dot + 1 : nameLength);
        entry.nType =
            TypeFor(std::string_view(entry.szName + entry.nExtStart, nameLength - entry.nExtStart),
                    fieldArchive);
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

uint8_t EntryTypeForName(const std::string& entryName, const std::string& archiveFileName) {
    const size_t dot = entryName.find('.');
    const std::string extension = dot == std::string::npos ? "" : entryName.substr(dot + 1);
    return TypeFor(extension.c_str(), IsFieldArchiveName(archiveFileName));
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
    auto contents = std::make_shared<Contents>();
    contents->entries.resize(count);
    ParseToc(toc.data(), contents->entries, IsFieldArchiveName(name));
    if (!ReadDataHeaders(file, contents->entries)) {
        m_lastStatus = LgpLoadStatus::CannotOpen;
        return 0;
    }
    contents->tables = ReadLgpTables(file, toc.data(), count);
    m_contents = std::move(contents);
    m_snapshot.reset();
    m_scopeFile = nullptr;  // a scope holds the file loaded before
    m_szArchivePath = path;
    m_identity = file.Identity();
    m_block.reset();
    m_lastStatus = LgpLoadStatus::Ok;
    return count;
}
