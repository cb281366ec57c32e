// SPDX-License-Identifier: MIT
#pragma once
// The size of a field file's background and its tile counts, as Properties shows them,
// read without rendering. Qt-free; every read is bounds-checked.
#include <cstddef>
#include <cstdint>
#include <optional>

struct FieldInfo {
    uint16_t width = 0;
    uint16_t height = 0;
    uint16_t tiles1 = 0;  // first tile list
    uint16_t tiles2 = 0;  // second tile list
};

// Nothing when the section table or the background header lies outside the data.
std::optional<FieldInfo> ReadFieldInfo(const uint8_t* data, size_t size);
