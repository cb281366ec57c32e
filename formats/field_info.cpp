#include "formats/field_info.h"

namespace {

constexpr uint64_t kBackgroundSection = 8;

uint32_t U16(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8);
}

uint32_t U32(const uint8_t* p) {
    return U16(p) | (U16(p + 2) << 16);
}

bool Holds(size_t size, uint64_t pos, uint64_t count) {
    return pos <= size && count <= size - pos;
}

}  // namespace

std::optional<FieldInfo> ReadFieldInfo(const uint8_t* data, size_t size) {
    if (data == nullptr || !Holds(size, 2, 4)) {
        return std::nullopt;
    }
    const int32_t sections = static_cast<int32_t>(U32(data + 2));
    const uint64_t entry = 6 + 4 * kBackgroundSection;
    if (sections <= static_cast<int32_t>(kBackgroundSection) || !Holds(size, entry, 4)) {
        return std::nullopt;
    }
    // The section's data starts 4 bytes past its offset (its size field).
    const uint64_t background = uint64_t{U32(data + entry)} + 4;
    if (!Holds(size, background, 50)) {
        return std::nullopt;
    }
    FieldInfo info;
    info.width = static_cast<uint16_t>(U16(data + background + 40));
    info.height = static_cast<uint16_t>(U16(data + background + 42));
    info.tiles1 = static_cast<uint16_t>(U16(data + background + 44));
    const uint64_t count2 = background + 57 + 52 * uint64_t{info.tiles1};
    if (!Holds(size, count2, 2)) {
        return std::nullopt;
    }
    info.tiles2 = static_cast<uint16_t>(U16(data + count2));
    return info;
}
