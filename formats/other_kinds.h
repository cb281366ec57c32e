// SPDX-License-Identifier: MIT
#pragma once
// The kinds table's functions for camera tracks and tutorials.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/entry_kinds.h"

// Camera tracks: the frame count and header, or why there is no frame table.
void CameraProperties(const uint8_t* data, size_t size, PropertyList* out);
// Tutorials: whether they are compressed, and how many text runs they hold.
void TutorialProperties(const uint8_t* data, size_t size, PropertyList* out);
// A tutorial whose compressed stream does not decode whole; "" otherwise.
std::string TutorialCheck(const uint8_t* data, size_t size);
