// SPDX-License-Identifier: MIT
#pragma once
// The rules the game relies on to find an archive's entries, and what a writer may put
// in one, for the sound-archive check and the writer (the layout is in lgp_layout.h).
// Where the game's own files leave a choice, the choice made here is the one every
// archive Lumo writes follows.
#include <cstdint>
#include <string>
#include <string_view>

#include "archive/lgp_layout.h"

namespace lgp {

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
