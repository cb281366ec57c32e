// SPDX-License-Identifier: MIT
#pragma once
// Whether the game can use an archive: every entry inside the file, every name found
// through the lookup table, and entries sharing a name told apart by the conflict table.
// Verify runs it, and Save runs it on what it wrote before putting it in place.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/lgp_archive.h"

struct SoundFault {
    bool wholeArchive = false;  // the fault is the archive's, not one entry's
    uint16_t index = 0;         // the entry it concerns otherwise
    std::string problem;        // "the game will not find `X`: slot 41 says records 12-14, ..."
};

// Every rule the loaded archive breaks, each with the entry it concerns; empty when the
// archive is sound.
std::vector<SoundFault> CheckSoundArchive(const CLgpArchive& archive);
