// SPDX-License-Identifier: MIT
#pragma once
// Movie camera tracks (.cam): one record of ten signed 32-bit little-endian values per
// frame of the movie they go with. What the values mean is not settled; the first three
// look like a position, so the viewer draws them as a path.
//
// The layout is known only from observation, so a table is offered only when the size
// fits it exactly: either the whole entry is records, or a 4-byte header holds the
// number of records that follow. Anything else has no table, and the reason says why.
// Qt-free; never reads outside the span.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t kCameraValuesPerFrame = 10;
constexpr size_t kCameraFrameBytes = kCameraValuesPerFrame * 4;

using CameraFrame = std::array<int32_t, kCameraValuesPerFrame>;

struct CameraTrack {
    size_t headerBytes = 0;  // 0, or 4 when a frame count leads
    std::vector<CameraFrame> frames;
};

// True (with the frames) when the size fits the layout; otherwise false and `reason`
// says why, for the viewer to show beside the hex.
bool ReadCameraTrack(const uint8_t* data, size_t size, CameraTrack& out, std::string* reason);
