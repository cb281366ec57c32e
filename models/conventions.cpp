// SPDX-License-Identifier: MIT
#include "models/conventions.h"

Quat BoneRotation(const std::array<uint8_t, 3>& order, Vec3 angles) {
    const Quat axes[3] = {AxisAngle({1, 0, 0}, angles.x), AxisAngle({0, 1, 0}, angles.y),
                          AxisAngle({0, 0, 1}, angles.z)};
    return axes[order[0] % 3] * axes[order[1] % 3] * axes[order[2] % 3];
}

Vec3 BoneEndOffset(float length) {
    return {0, 0, -length};
}

Quat UprightRotation() {
    return {1, 0, 0, 0};
}
