// SPDX-License-Identifier: MIT
#pragma once
// The parts of an archive after its table of contents: the lookup table the game finds
// entries by, and the conflict table that gives entries sharing a name their folders.
// Every byte is untrusted: a table cut short or contradicting the table of contents is
// reported, never followed outside the file.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "archive/lgp_bytes.h"
#include "archive/lgp_rules.h"

struct LgpSlotRecord {
    uint16_t first = 0;  // 1-based TOC index of the run's first record, 0 when empty
    uint16_t count = 0;
};

struct LgpTables {
    bool lookupWhole = false;  // the file holds the whole lookup table
    std::array<LgpSlotRecord, lgp::kLookupSlots> lookup{};
    uint16_t conflictRecords = 0;
    // Why the conflict table cannot be used, "" when it can. Entries then have no folder.
    std::string conflictProblem;
    std::vector<std::string> folders;  // one per entry, "" for none
    uint64_t end = 0;                  // offset just past the conflict table
};

// Reads both tables of an archive of `count` entries whose table of contents (count
// records of 27 bytes) is `toc`.
LgpTables ReadLgpTables(const LgpBytes& file, const uint8_t* toc, uint32_t count);
