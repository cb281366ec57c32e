// SPDX-License-Identifier: MIT
#pragma once
// What each kind of entry is, one row per kind: its name, the viewer that opens it, what
// Properties adds for it, what Verify checks in it and what it renders or exports to.
// Properties, Verify, the viewer table and lumo-cli's render, info and verify all look
// here, so a new kind is a row in entry_kinds.cpp (plus the files that decode it).
//
// The catalogue gives each entry its type code (by extension, and the field archive's
// entries); a kind is the row of that code. Codes without a row are "other".
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "archive/lgp_archive.h"

using PropertyList = std::vector<std::pair<std::string, std::string>>;

// What decoding finds wrong with a whole entry, "" when nothing.
using EntryCheckFunction = std::string (*)(const uint8_t* data, size_t size);

// What the user chose for an output, where a kind asks.
struct OutputOptions {
    std::optional<uint32_t> palette;  // kinds with `takesPalette`
    std::string soundFont;            // music: "" for the installed default
};

// One file a kind renders or exports to. `make` turns the entry's bytes (decoded, for a
// compressed entry) into the file's bytes; it returns "" on success, or why it cannot,
// to follow "entry #N (name): ".
struct KindOutput {
    const char* format;     // as lumo-cli names it: "png" (-o), "raw" (--raw)
    const char* extension;  // of files named after the entry: ".png"
    std::string (*make)(const uint8_t* data, size_t size, const OutputOptions& options,
                        std::vector<uint8_t>* out);
};

struct EntryKind {
    uint8_t type;        // the catalogue's type code
    const char* name;    // "texture": Properties, Archive properties, messages
    const char* viewer;  // the viewer Open picks, by the id viewers/ knows it by
    // What Properties shows beyond what every entry shows; null for nothing.
    void (*properties)(const uint8_t* data, size_t size, PropertyList* out);
    // What decoding finds wrong with a whole entry, "" when nothing; null: not checked.
    EntryCheckFunction check;
    std::vector<KindOutput> outputs;  // empty: it renders to nothing
    bool renderAll;                   // lumo-cli render --all draws it
    bool takesPalette;                // its outputs take --palette
};

// Every kind with a row, "other" first.
const std::vector<EntryKind>& EntryKinds();
// Kinds decoded in folders above this one (music, in audio/) put their row in at
// start-up, through each front end; it replaces the row of its type code.
void RegisterEntryKind(const EntryKind& kind);
// Entries the catalogue types "other" whose extension still says what they hold (a
// model's resource files) get their check here, by extension without its dot; it
// replaces an earlier one for the same extension.
void RegisterExtensionCheck(const std::string& extension, EntryCheckFunction check);
// The check Verify runs on an entry of that type and name: its kind's; for an "other"
// entry, the one registered for its extension (ignoring case); null for none.
EntryCheckFunction CheckFor(uint8_t type, std::string_view name);
// The row of a type code; "other" for a code without one.
const EntryKind& KindOf(uint8_t type);
// The output of a kind in `format`; null when it has none.
const KindOutput* FindOutput(const EntryKind& kind, const std::string& format);
// "field or texture": the names of the kinds that render to `format`, for messages.
std::string KindsWithOutput(const std::string& format);
