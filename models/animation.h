// SPDX-License-Identifier: MIT
#pragma once
// Decodes a field animation (".a" entry): per frame a root rotation and translation and
// one rotation per bone, with the order in which each rotation's three angles apply.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "models/model_math.h"

struct AnimationFrame {
    Vec3 rootRotation;  // alpha, beta, gamma in degrees
    Vec3 rootTranslation;
    std::vector<Vec3> boneRotations;  // alpha, beta, gamma per bone, in skeleton order
};

struct Animation {
    uint32_t boneCount = 0;
    std::array<uint8_t, 3> order{0, 1, 2};
    std::vector<AnimationFrame> frames;
};

// The first 36 bytes: enough to tell which skeletons an animation fits.
struct AnimationHeader {
    uint32_t version = 0, frames = 0, bones = 0;
    std::array<uint8_t, 3> order{};
};
constexpr size_t kAnimationHeaderSize = 36;
bool ReadAnimationHeader(const uint8_t* data, size_t size, AnimationHeader& header);

// Fills `animation` and returns true, or false with the reason in `error`. Bytes after
// the last frame are ignored, and `warning` (when not null) then says how many.
bool DecodeAnimation(const uint8_t* data, size_t size, Animation& animation, std::string* error,
                     std::string* warning = nullptr);
