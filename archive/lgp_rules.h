// SPDX-License-Identifier: MIT
#pragma once
// The layout of an LGP archive and the rules the game relies on to find its entries, in
// one place for the reader, the sound-archive check and the writer. Where the game's
// own files leave a choice, the choice made here is the one every archive Lumo writes
// follows.
#include <cstdint>
#include <string>
#include <string_view>

namespace lgp {

constexpr uint32_t kHeaderSize = 16;
constexpr uint32_t kCreatorSize = 12;    // right-aligned creator text, NULs first
constexpr uint32_t kTocRecordSize = 27;  // name, data offset, check code, conflict index
constexpr uint32_t kNameSize = 20;
constexpr uint32_t kTocOffsetField = 20;
constexpr uint32_t kTocCheckField = 24;
constexpr uint32_t kTocConflictField = 25;
constexpr uint32_t kSlotCount = 900;  // 30 x 30
constexpr uint32_t kLookupSize = kSlotCount * 4;
constexpr uint32_t kFolderFieldSize = 128;
constexpr uint32_t kConflictItemSize = kFolderFieldSize + 2;
constexpr uint32_t kDataHeaderSize = 24;                 // name, stored length
constexpr uint32_t kMaxEntries = 65535;                  // lookup words are 16-bit
constexpr uint64_t kMaxArchiveSize = uint64_t{1} << 32;  // offsets are 32-bit
constexpr char kCreator[] = "SQUARESOFT";
constexpr char kTerminator[] = "FINAL FANTASY7";
constexpr uint32_t kTerminatorSize = 14;

// Names Lumo gives new entries leave the last byte of the name field free, so every
// name it writes is terminated; names read with all 20 bytes are kept as they are.
constexpr uint32_t kMaxNewNameLength = 19;
constexpr uint32_t kMaxFolderLength = kFolderFieldSize - 1;
// The check code of new entries; a re-save keeps the value each entry had.
constexpr uint8_t kNewCheckCode = 14;

// Offset of the lookup table for an archive of `count` entries.
constexpr uint64_t LookupOffset(uint64_t count) {
    return kHeaderSize + kTocRecordSize * count;
}

// The lookup slot the game hashes `name` to, or -1 when it has none: fewer than two
// characters, a first character '.', or one of the first two outside a-z, 0-9, '_', '-'
// (and '.' as the second).
int SlotOf(std::string_view name);

// Why a name cannot be given to an entry, or "" when it can. `isNew` applies the length
// limit of new names.
std::string NameRefusal(std::string_view name, bool isNew);

// A folder as archives keep it: '/' between levels, none leading or trailing, case kept;
// '\' is read as '/'.
std::string NormalFolder(std::string_view folder);
// Why a folder (already normal) cannot be written, or "" when it can.
std::string FolderRefusal(std::string_view folder);

// The order of a new archive: slot, then name ignoring ASCII case, then folder, then the
// bytes of the name.
bool CanonicalBefore(std::string_view nameA, std::string_view folderA, std::string_view nameB,
                     std::string_view folderB);

}  // namespace lgp
