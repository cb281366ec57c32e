// SPDX-License-Identifier: MIT
#pragma once
// The music row of the kinds table: what Properties, info and verify say about a MIDI
// entry, and its outputs, WAV and (with libsndfile) FLAC, rendered by the synthesizer.
#include <cstddef>
#include <cstdint>

#include "formats/entry_kinds.h"

// Length, tracks, format and division of a MIDI entry, or why it cannot be read.
void MusicProperties(const uint8_t* data, size_t size, PropertyList* out);

// Puts the music row into the kinds table; each front end calls it once at start-up
// (more calls change nothing).
void RegisterMusicKind();
