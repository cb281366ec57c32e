// SPDX-License-Identifier: MIT
#include "models/skeleton.h"

#include <string_view>

#include "models/model_text.h"

namespace {

bool Refuse(std::string* error, const std::string& why) {
    if (error) {
        *error = why;
    }
    return false;
}

// The `:KEY value` lines after the header line; false with the reason when they are not
// all there or the bone count is missing.
bool ReadKeys(const std::vector<std::string_view>& lines, size_t keys, Skeleton& skeleton,
              std::optional<int>& bones, std::string* error) {
    if (lines.size() < 1 + keys) {
        return Refuse(error, "the header announces " + std::to_string(keys) +
                                 " key lines, but the file ends first");
    }
    for (size_t i = 1; i <= keys; ++i) {
        const std::vector<std::string_view> words = Words(lines[i]);
        if (words.empty() || words[0].front() != ':') {
            return Refuse(error, "line " + std::to_string(i + 1) + " is not a :KEY line");
        }
        const std::string value = words.size() > 1 ? std::string(words[1]) : std::string();
        if (words[0] == ":SKELETON") {
            skeleton.name = value;
        } else if (words[0] == ":BONES") {
            bones = words.size() == 2 ? ParseCount(words[1]) : std::nullopt;
            if (!bones) {
                return Refuse(error, "the bone count is not a non-negative whole number");
            }
        }
    }
    if (!bones) {
        return Refuse(error, "no :BONES line");
    }
    return true;
}

bool ReadBone(const std::string_view* lines, Skeleton& skeleton, std::string* error) {
    Bone bone;
    const std::string where = "bone " + std::to_string(skeleton.bones.size());
    bone.name = std::string(lines[0]);
    if (lines[1] != "root") {
        for (size_t i = 0; i < skeleton.bones.size() && bone.parent < 0; ++i) {
            if (skeleton.bones[i].name == lines[1]) {
                bone.parent = static_cast<int>(i);
            }
        }
        if (bone.parent < 0) {
            return Refuse(error, where + "'s parent " + std::string(lines[1]) +
                                     " is neither root nor an earlier bone");
        }
    }
    const std::optional<float> length = ParseFinite(lines[2]);
    if (!length) {
        return Refuse(error, where + "'s length is not a finite number");
    }
    bone.length = *length;
    const std::vector<std::string_view> words = Words(lines[3]);
    const std::optional<int> count = ParseCount(words.front());
    if (!count || static_cast<size_t>(*count) != words.size() - 1) {
        return Refuse(error, where + "'s resource count does not match the names on its line");
    }
    bone.resources.assign(words.begin() + 1, words.end());
    skeleton.bones.push_back(std::move(bone));
    return true;
}

}  // namespace

bool DecodeSkeleton(const uint8_t* data, size_t size, Skeleton& skeleton, std::string* error) {
    skeleton = Skeleton{};
    const std::string_view text(reinterpret_cast<const char*>(data), data ? size : 0);
    const std::vector<std::string_view> lines = MeaningfulLines(text);
    const std::vector<std::string_view> first =
        lines.empty() ? std::vector<std::string_view>{} : Words(lines[0]);
    const std::optional<int> keys =
        first.size() == 2 && first[0] == ":HEADER_BLOCK" ? ParseCount(first[1]) : std::nullopt;
    if (!keys) {
        return Refuse(error, "the first line is not :HEADER_BLOCK and a count");
    }
    std::optional<int> bones;
    if (!ReadKeys(lines, static_cast<size_t>(*keys), skeleton, bones, error)) {
        skeleton = Skeleton{};
        return false;
    }
    const size_t start = 1 + static_cast<size_t>(*keys);
    if ((lines.size() - start) / 4 < static_cast<size_t>(*bones)) {
        skeleton = Skeleton{};
        return Refuse(error, "the file announces " + std::to_string(*bones) +
                                 " bones but holds the lines of fewer");
    }
    for (int i = 0; i < *bones; ++i) {
        if (!ReadBone(&lines[start + 4 * static_cast<size_t>(i)], skeleton, error)) {
            skeleton = Skeleton{};
            return false;
        }
    }
    return true;
}
