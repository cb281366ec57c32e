// SPDX-License-Identifier: MIT
#include "models/resource.h"

#include <optional>
#include <string_view>

#include "models/model_text.h"

namespace {

constexpr std::string_view kIdentifier = "@RSD940102";

bool Refuse(std::string* error, const std::string& why, Resource& resource) {
    if (error) {
        *error = why;
    }
    resource = Resource{};
    return false;
}

// "TEX[3]" -> 3; nothing for any other key.
std::optional<int> TextureIndex(std::string_view key) {
    if (key.size() < 6 || key.substr(0, 4) != "TEX[" || key.back() != ']') {
        return std::nullopt;
    }
    return ParseCount(key.substr(4, key.size() - 5));
}

}  // namespace

bool DecodeResource(const uint8_t* data, size_t size, Resource& resource, std::string* error) {
    resource = Resource{};
    const std::string_view text(reinterpret_cast<const char*>(data), data ? size : 0);
    bool identified = false;
    std::optional<int> count;
    for (std::string_view line : MeaningfulLines(text)) {
        if (line.front() == '#') {
            continue;
        }
        if (!identified) {
            if (line != kIdentifier) {
                return Refuse(error, "the first line is not " + std::string(kIdentifier), resource);
            }
            identified = true;
            continue;
        }
        const size_t equals = line.find('=');
        const std::string_view key = line.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : line.substr(equals + 1);
        if (key == "PLY") {
            resource.mesh = EntryNameFor(value, ".p");
        } else if (key == "NTEX") {
            count = ParseCount(value);
            if (!count) {
                return Refuse(error, "NTEX is not a non-negative whole number", resource);
            }
        } else if (const std::optional<int> index = TextureIndex(key)) {
            if (static_cast<size_t>(*index) != resource.textures.size()) {
                return Refuse(error, "TEX[" + std::to_string(*index) + "] is out of order",
                              resource);
            }
            resource.textures.push_back(EntryNameFor(value, ".tex"));
        }
    }
    if (!identified) {
        return Refuse(error, "no " + std::string(kIdentifier) + " line", resource);
    }
    if (resource.mesh.empty()) {
        return Refuse(error, "no PLY line names the mesh", resource);
    }
    if (static_cast<size_t>(count.value_or(0)) != resource.textures.size()) {
        return Refuse(error,
                      "NTEX says " + std::to_string(count.value_or(0)) + " textures, " +
                          std::to_string(resource.textures.size()) + " TEX lines follow",
                      resource);
    }
    return true;
}
