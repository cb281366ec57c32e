// SPDX-License-Identifier: MIT
#pragma once
// The animations of an archive, found once: every ".a" entry is read once, and what its
// header says (bones, frames) is kept, so that the animations fitting any skeleton are
// listed without reading an entry again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "models/model_entries.h"

struct AnimationInfo {
    size_t id = 0;
    std::string name;
    uint32_t bones = 0;
    uint32_t frames = 0;
    std::string problem;  // why it cannot be decoded, or ""
};

class AnimationIndex {
public:
    explicit AnimationIndex(const ModelEntries& entries);

    const std::vector<AnimationInfo>& All() const { return m_animations; }
    // The decodable animations with one rotation per bone of a `bones`-bone skeleton, in
    // archive order.
    std::vector<const AnimationInfo*> Fitting(size_t bones) const;
    // By entry name ignoring case, ".a" optional.
    const AnimationInfo* Find(std::string_view name) const;

private:
    std::vector<AnimationInfo> m_animations;
};
