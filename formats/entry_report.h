#pragma once
// What Properties, Archive properties and Verify say about entries, worked out once for
// both front ends: the desktop program's dialogs and lumo-cli's info and verify print
// the same words. Qt-free.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "archive/lgp_archive.h"

using PropertyList = std::vector<std::pair<std::string, std::string>>;

// Kinds decoded in folders above this one (music, in audio/) are added once at start-up,
// so that Properties, info and verify speak of their entries as of the others.
struct EntryKindDecoder {
    uint8_t type = 0;
    // Appends what the entry's bytes say, in display order.
    void (*addProperties)(const uint8_t* data, size_t size, PropertyList& out) = nullptr;
    // What is wrong with the bytes, "" when they read.
    std::string (*problem)(const uint8_t* data, size_t size) = nullptr;
};
// A later decoder for the same type replaces the earlier one.
void RegisterEntryKindDecoder(const EntryKindDecoder& decoder);

// "texture", "field", "other", ... for a type code.
const char* DescribeEntryType(uint8_t type);

// One entry's properties in display order: name, index, type, extension, offset, size,
// whether it is whole; for compressed entries the stream length, decoded size and
// whether the stream is whole; for textures W x H, bit depth and palettes; for fields
// the background's W x H and tile counts; for camera tracks the frame count; for
// tutorials the text runs; for registered kinds what their decoder adds. Reads the entry.
PropertyList EntryProperties(const CLgpArchive& archive, uint16_t index);

// The archive's path, file size, entry count, and entry count and bytes per type.
PropertyList ArchiveProperties(const CLgpArchive& archive);

struct EntryFault {
    uint16_t index = 0;
    std::string problem;  // "cut short", "texture: the pixels run past the end ..."
};

// Reads every entry, decoding fields and textures, and lists each one that is cut
// short, lies about its stream, or cannot be decoded. `progress` (may be empty) is
// told (done, total) before each entry and may return false to stop; `cancelled` then
// says so and the list holds what was found until then.
std::vector<EntryFault> VerifyArchive(const CLgpArchive& archive,
                                      const std::function<bool(int, int)>& progress,
                                      bool* cancelled);
