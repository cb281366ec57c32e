// SPDX-License-Identifier: MIT
#pragma once
// One row of the catalogue, shared by the loader and the readers.
#include <cstdint>

#include "archive/lgp_archive.h"
#include "archive/lgp_layout.h"

// One row of the catalogue. The name keeps all 20 bytes of its field plus a terminator;
// the extension is the tail of the name after its first '.', so it is kept whole
// however long it is.
struct CLgpArchive::Entry {
    char szName[lgp::kNameSize + 1];
    uint8_t nExtStart;
    uint8_t nType;
    uint32_t dwOffset;
    uint32_t dwSize;
    uint8_t nCheck;
    uint16_t wConflict;
};

struct CLgpArchive::Contents {
    std::vector<Entry> entries;
    LgpTables tables;
};
