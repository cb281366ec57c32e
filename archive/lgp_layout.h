// SPDX-License-Identifier: MIT
#pragma once
// Where everything lies in an LGP archive: the one place the reader and the writer take
// the file's sizes, offsets and limits from. All integers in the file are little-endian.
//
//   header             16 bytes at 0: creator text (NULs first, then the signature), count
//   table of contents  27 bytes per entry, right after the header
//   lookup table       30 x 30 slots of 4 bytes, right after the table of contents
//   conflict table     a 16-bit count, then per record a 16-bit count of 130-byte items
//   data blocks        a 24-byte data header (name, size), then the stored bytes
//   terminator         14 bytes, the last of the file
#include <cstddef>
#include <cstdint>

namespace lgp {

// Header.
constexpr uint32_t kHeaderSize = 16;
constexpr uint32_t kCreatorSize = 12;
constexpr char kSignature[] = "SQUARESOFT";
constexpr uint32_t kSignatureSize = sizeof kSignature - 1;
constexpr uint32_t kSignatureOffset = kCreatorSize - kSignatureSize;
constexpr uint32_t kCountOffset = 12;
constexpr uint32_t kCountSize = 4;  // only the low 16 bits count: lookup words are 16-bit

// Table of contents: one record per entry.
constexpr uint32_t kTocOffset = kHeaderSize;
constexpr uint32_t kTocRecordSize = 27;
constexpr uint32_t kNameSize = 20;  // NUL-padded; a name may fill all 20 bytes
constexpr uint32_t kTocNameOffset = 0;
constexpr uint32_t kTocDataOffsetOffset = 20;  // u32: absolute offset of the data block
constexpr uint32_t kTocCheckCodeOffset = 24;   // u8
constexpr uint32_t kTocConflictOffset = 25;    // u16: 1-based conflict record, 0 for none
constexpr uint8_t kNewEntryCheckCode = 14;
constexpr uint32_t kNewNameMaxLength = 19;  // names given to new entries

// Lookup table: slot = v(first) * 30 + v(second) + 1; each slot is u16 first (1-based TOC
// index, 0 when empty) and u16 count.
constexpr uint32_t kLookupSide = 30;
constexpr uint32_t kLookupSlots = kLookupSide * kLookupSide;
constexpr uint32_t kLookupSlotSize = 4;
constexpr uint32_t kLookupTableSize = kLookupSlots * kLookupSlotSize;

// Conflict table: u16 record count, then per record u16 item count and its items.
constexpr uint32_t kConflictCountSize = 2;
constexpr uint32_t kConflictRecordCountSize = 2;
constexpr uint32_t kConflictFolderSize = 128;                    // NUL-padded folder name
constexpr uint32_t kConflictItemSize = kConflictFolderSize + 2;  // + u16 0-based TOC index
constexpr uint32_t kFolderMaxLength = kConflictFolderSize - 1;

// Data block.
constexpr uint32_t kDataHeaderSize = 24;
constexpr uint32_t kDataNameOffset = 0;
constexpr uint32_t kDataSizeOffset = 20;  // u32: the stored length
// A compressed (field) entry's stored bytes begin with the u32 length of its stream.
constexpr uint32_t kStreamLengthSize = 4;

// Terminator.
constexpr char kTerminator[] = "FINAL FANTASY7";
constexpr uint32_t kTerminatorSize = sizeof kTerminator - 1;

// Limits of an archive the game can use.
constexpr uint32_t kMaxEntries = 65535;
constexpr uint64_t kMaxArchiveSize = (uint64_t{1} << 32) - 1;

// Offsets of the regions that follow the table of contents of `count` entries.
constexpr uint64_t LookupTableOffset(uint64_t count) {
    return kTocOffset + count * kTocRecordSize;
}
constexpr uint64_t ConflictTableOffset(uint64_t count) {
    return LookupTableOffset(count) + kLookupTableSize;
}

// The value a name's character adds to its lookup slot, letter case ignored: letters
// 0-25, digits as a-j, '_' as 'k', '-' as 'l'; -1 for any other character.
constexpr int LookupValue(char c) {
    if (c >= 'a' && c <= 'z') {
        return c - 'a';
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return c == '_' ? 10 : c == '-' ? 11 : -1;
}

// The lookup slot of a NUL-terminated name (0 .. kLookupSlots - 1), or -1 when the name
// has none: shorter than two characters, or its first two are outside the table (a '.'
// counts as -1, and only as the second character).
constexpr int LookupSlot(const char* name) {
    if (name == nullptr || name[0] == '\0' || name[1] == '\0') {
        return -1;
    }
    const int first = LookupValue(name[0]);
    const int second = name[1] == '.' ? -1 : LookupValue(name[1]);
    if (first < 0 || (second < 0 && name[1] != '.')) {
        return -1;
    }
    return first * static_cast<int>(kLookupSide) + second + 1;
}

static_assert(ConflictTableOffset(4) == 3724, "regions follow one another");
static_assert(LookupSlot("a_x.tex") == 11 && LookupSlot("ball.p") == 31, "slots");
static_assert(LookupSlot("a.") == 0 && LookupSlot(".a") == -1 && LookupSlot("a") == -1, "slots");

}  // namespace lgp
