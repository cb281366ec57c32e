// SPDX-License-Identifier: MIT
#pragma once
// What Properties, lumo-cli info and verify say about music entries.
#include <cstddef>
#include <cstdint>

#include "formats/entry_report.h"

// Length, tracks, format and division of a MIDI entry, or why it cannot be read.
void AddMusicProperties(const uint8_t* data, size_t size, PropertyList& out);

// Adds music to the kinds the entry report decodes; called once at start-up by each
// front end (more calls change nothing).
void RegisterMusicEntries();
