// SPDX-License-Identifier: MIT
#pragma once
// Writes a model scene as binary glTF 2.0 (.glb): its meshes with vertex colours and
// textures (PNG inside the file, colour-key transparency as alpha), and, for a skeleton,
// the bones as a node hierarchy with a skin binding each vertex to its bone and the chosen
// animations sampled at the game's 30 frames per second. A posed export instead writes
// the meshes where one frame puts them, as one static mesh.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "models/animation.h"
#include "models/scene.h"

struct NamedAnimation {
    std::string name;
    Animation animation;
};

struct GltfExportOptions {
    std::string name;                        // the model's name in the file
    std::vector<NamedAnimation> animations;  // skeletons only; each must fit
    // Static meshes in this pose instead of a skin (a scene without a skeleton is always
    // static).
    std::optional<SkeletonPose> pose;
};

constexpr float kFramesPerSecond = 30;

// The file's bytes, or empty with the reason in `error`.
std::vector<uint8_t> ExportGlb(const ModelScene& scene, const GltfExportOptions& options,
                               std::string* error);
