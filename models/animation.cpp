// SPDX-License-Identifier: MIT
#include "models/animation.h"

#include <cmath>

#include "platform/byte_cursor.h"

namespace {

bool Refuse(std::string* error, const std::string& why, Animation& animation) {
    if (error) {
        *error = why;
    }
    animation = Animation{};
    return false;
}

bool IsPermutation(const std::array<uint8_t, 3>& order) {
    bool seen[3] = {};
    for (uint8_t o : order) {
        if (o > 2 || seen[o]) {
            return false;
        }
        seen[o] = true;
    }
    return true;
}

Vec3 ReadVec3(ByteCursor& in, bool& finite) {
    Vec3 v;
    v.x = in.F32();
    v.y = in.F32();
    v.z = in.F32();
    finite = finite && std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
    return v;
}

}  // namespace

bool ReadAnimationHeader(const uint8_t* data, size_t size, AnimationHeader& header) {
    ByteCursor in(data, size);
    header.version = in.U32();
    header.frames = in.U32();
    header.bones = in.U32();
    in.CopyTo(header.order.data(), 3);
    return in.Ok() && size >= kAnimationHeaderSize;
}

bool DecodeAnimation(const uint8_t* data, size_t size, Animation& animation, std::string* error,
                     std::string* warning) {
    animation = Animation{};
    AnimationHeader h;
    if (!ReadAnimationHeader(data, size, h)) {
        return Refuse(error, "shorter than the 36-byte header", animation);
    }
    if (h.version != 1) {
        return Refuse(error, "version " + std::to_string(h.version) + " (only 1 is known)",
                      animation);
    }
    if (!IsPermutation(h.order)) {
        return Refuse(error, "the rotation order is not a permutation of 0, 1 and 2", animation);
    }
    // Compared by division: frames x frame size can pass 2^64 for counts that lie.
    const uint64_t frameSize = 24 + 12 * uint64_t{h.bones};
    const uint64_t room = (size - kAnimationHeaderSize) / frameSize;
    if (h.frames > room) {
        return Refuse(error,
                      std::to_string(h.frames) + " frames of " + std::to_string(h.bones) +
                          " bones need more than the " + std::to_string(size) +
                          " bytes the file has",
                      animation);
    }
    const uint64_t needed = kAnimationHeaderSize + uint64_t{h.frames} * frameSize;
    if (warning) {
        *warning = needed < size
                       ? std::to_string(size - needed) + " bytes after the last frame are ignored"
                       : std::string();
    }
    ByteCursor in(data, size);
    in.Seek(kAnimationHeaderSize);
    bool finite = true;
    animation.boneCount = h.bones;
    animation.order = h.order;
    animation.frames.resize(h.frames);
    for (AnimationFrame& frame : animation.frames) {
        frame.rootRotation = ReadVec3(in, finite);
        frame.rootTranslation = ReadVec3(in, finite);
        frame.boneRotations.resize(h.bones);
        for (Vec3& r : frame.boneRotations) {
            r = ReadVec3(in, finite);
        }
    }
    if (!finite) {
        return Refuse(error, "a value is not a finite number", animation);
    }
    return true;
}
