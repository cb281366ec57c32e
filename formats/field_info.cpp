// SPDX-License-Identifier: MIT
#include "formats/field_info.h"

#include "platform/byte_cursor.h"

namespace {

constexpr uint64_t kBackgroundSection = 8;

bool Holds(size_t size, uint64_t pos, uint64_t count) {
    return pos <= size && count <= size - pos;
}

}  // namespace

std::optional<FieldInfo> ReadFieldInfo(const uint8_t* data, size_t size) {
    if (data == nullptr || !Holds(size, 2, 4)) {
        return std::nullopt;
    }
    const int32_t sections = static_cast<int32_t>(LoadLe32(data + 2));
    const uint64_t entry = 6 + 4 * kBackgroundSection;
    if (sections <= static_cast<int32_t>(kBackgroundSection) || !Holds(size, entry, 4)) {
        return std::nullopt;
    }
    // The section's data starts 4 bytes past its offset (its size field).
    const uint64_t background = uint64_t{LoadLe32(data + entry)} + 4;
    if (!Holds(size, background, 50)) {
        return std::nullopt;
    }
    FieldInfo info;
    info.width = (LoadLe16(data + background + 40));
    info.height = (LoadLe16(data + background + 42));
    info.tiles1 = (LoadLe16(data + background + 44));
    const uint64_t count2 = background + 57 + 52 * uint64_t{info.tiles1};
    if (!Holds(size, count2, 2)) {
        return std::nullopt;
    }
    info.tiles2 = (LoadLe16(data + count2));
    return info;
}
