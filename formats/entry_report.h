// SPDX-License-Identifier: MIT
#pragma once
// What Properties, Archive properties and Verify say about entries, worked out once for
// both front ends: the desktop program's dialogs and lumo-cli's info and verify print
// the same words. Qt-free.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "archive/entry_source.h"
#include "archive/run_shape.h"
#include "formats/entry_kinds.h"

// "texture", "field", "other", ... for a type code: its kind's name.
const char* DescribeEntryType(uint8_t type);

// One entry's properties in display order: name, index, type, extension, offset, size,
// whether it is whole; for compressed entries the stream length, decoded size and
// whether the stream is whole; for textures W x H, bit depth and palettes; for fields
// the background's W x H and tile counts. Reads the entry. The index is its position in
// the source; a source with no catalogue behind it (changes not saved yet) knows no
// offset, which the save decides.
PropertyList EntryProperties(const IEntrySource& source, EntryId id);

// The archive's path, file size, entry count, and entry count and bytes per type.
PropertyList ArchiveProperties(const IEntrySource& source);

struct EntryFault {
    size_t index = 0;  // the entry's position in the source
    EntryId entry;
    std::string problem;  // "cut short", "texture: the pixels run past the end ..."
    RunReason code = RunReason::None;
    // The archive does not hold the entry whole (cut short, a stream that lies), or its
    // tables break a rule the game relies on: the archive is damaged. Otherwise the entry
    // is whole and its bytes only do not decode as its type suggests, which is worth a
    // warning and no more.
    bool damage = false;
    bool wholeArchive = false;  // a fault of the archive's tables, not of one entry
};

// First every rule the game relies on to find entries that the archive breaks (the
// sound-archive check, for a source with a catalogue behind it), then reads every entry, decoding
// it by its kind, and lists each one that is cut short, lies about its stream, or cannot be
// decoded. The run's progress hook is told (done, total, entry) before each entry and may return
// false to stop; its decide hook hears of each fault and may cancel. `cancelled` then says so and
// the list holds what was found until then.
std::vector<EntryFault> VerifyArchive(const IEntrySource& source, const RunHooks& run,
                                      bool* cancelled);
