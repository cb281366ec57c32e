// SPDX-License-Identifier: MIT
#include "archive/lgp_tables.h"

#include <cstring>

#include "platform/byte_cursor.h"

namespace {

std::string NameAt(const uint8_t* toc, uint32_t index) {
    const char* field = reinterpret_cast<const char*>(toc + uint64_t{index} * lgp::kTocRecordSize);
    return std::string(field, strnlen(field, lgp::kNameSize));
}

uint16_t ConflictIndexAt(const uint8_t* toc, uint32_t index) {
    return LoadLe16(toc + uint64_t{index} * lgp::kTocRecordSize + lgp::kTocConflictOffset);
}

// Reads the conflict records from `offset` on into `tables`; returns "" or the reason the
// table cannot be used.
std::string ReadConflicts(const LgpBytes& file, uint64_t offset, const uint8_t* toc, uint32_t count,
                          LgpTables& tables) {
    uint8_t word[2];
    if (file.ReadAt(offset, word, 2) != 2) {
        return "the archive ends before its conflict table";
    }
    tables.conflictRecords = LoadLe16(word);
    offset += 2;
    std::vector<bool> listed(count, false);
    std::vector<uint8_t> items;
    for (uint32_t record = 1; record <= tables.conflictRecords; ++record) {
        if (file.ReadAt(offset, word, 2) != 2) {
            return "the conflict table is cut short";
        }
        const uint32_t k = LoadLe16(word);
        offset += 2;
        // Sized by what the file holds first, so a lying count costs no allocation.
        const uint64_t itemsLength = uint64_t{k} * lgp::kConflictItemSize;
        if (file.Available(offset, itemsLength) < itemsLength) {
            return "the conflict table is cut short";
        }
        items.resize(itemsLength);
        if (file.ReadAt(offset, items.data(), items.size()) != items.size()) {
            return "the conflict table is cut short";
        }
        offset += items.size();
        std::string sharedName;
        for (uint32_t i = 0; i < k; ++i) {
            const uint8_t* item = items.data() + uint64_t{i} * lgp::kConflictItemSize;
            const uint16_t entry = LoadLe16(item + lgp::kConflictFolderSize);
            if (entry >= count) {
                return "conflict record " + std::to_string(record) + " lists record " +
                       std::to_string(entry) + ", past the table of contents";
            }
            if (listed[entry]) {
                return "record " + std::to_string(entry) + " is listed twice";
            }
            listed[entry] = true;
            const std::string name = NameAt(toc, entry);
            if (i == 0) {
                sharedName = name;
            } else if (name != sharedName) {
                return "conflict record " + std::to_string(record) + " lists different names";
            }
            const char* folder = reinterpret_cast<const char*>(item);
            tables.folders[entry] = lgp::NormalFolder(
                std::string_view(folder, strnlen(folder, lgp::kConflictFolderSize)));
        }
    }
    for (uint32_t i = 0; i < count; ++i) {
        if (ConflictIndexAt(toc, i) > tables.conflictRecords) {
            return "record " + std::to_string(i) + " names conflict record " +
                   std::to_string(ConflictIndexAt(toc, i)) + " of " +
                   std::to_string(tables.conflictRecords);
        }
    }
    tables.end = offset;
    return "";
}

}  // namespace

LgpTables ReadLgpTables(const LgpBytes& file, const uint8_t* toc, uint32_t count) {
    LgpTables tables;
    tables.folders.assign(count, std::string());
    const uint64_t lookup = lgp::LookupTableOffset(count);
    std::vector<uint8_t> slots(lgp::kLookupTableSize);
    if (file.ReadAt(lookup, slots.data(), slots.size()) != slots.size()) {
        tables.conflictProblem = "the archive ends before its lookup table";
        return tables;
    }
    tables.lookupWhole = true;
    for (uint32_t s = 0; s < lgp::kLookupSlots; ++s) {
        tables.lookup[s] = {LoadLe16(&slots[4 * s]), LoadLe16(&slots[4 * s + 2])};
    }
    tables.conflictProblem =
        ReadConflicts(file, lookup + lgp::kLookupTableSize, toc, count, tables);
    if (!tables.conflictProblem.empty()) {
        tables.folders.assign(count, std::string());
    }
    return tables;
}
