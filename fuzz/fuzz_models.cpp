// SPDX-License-Identifier: MIT
// Decodes arbitrary bytes as a model file; the first byte picks which: 0 a mesh, 1 a
// skeleton, 2 a resource, 3 an animation. A decoder must refuse or decode, never read
// outside the input; what decodes is then used the way the viewer and the export use
// it (triangles gathered, bones posed, meshes exported), which must stay inside the
// decoded arrays.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "models/animation.h"
#include "models/gltf_export.h"
#include "models/p_mesh.h"
#include "models/pose.h"
#include "models/resource.h"
#include "models/scene.h"
#include "models/skeleton.h"
#include "platform/byte_cursor.h"

namespace {

void Mesh(const uint8_t* data, size_t size) {
    ModelScene scene;
    PMesh mesh;
    std::string error;
    if (!DecodePMesh(data, size, mesh, &error)) {
        if (error.empty() || !mesh.vertices.empty()) {
            abort();  // a refusal says why and leaves nothing behind
        }
        return;
    }
    scene.meshes.push_back(std::move(mesh));
    scene.parts.push_back(ScenePart{-1, 0, {0}});
    size_t vertices = 0;
    for (const SceneBatch& batch : SceneBatches(scene)) {
        vertices += batch.vertices.size();
    }
    if (vertices != 3 * scene.meshes[0].DrawnTriangleCount()) {
        abort();
    }
    // What decodes exports, or is refused with a reason; a file's header holds its length.
    std::string exportError;
    const std::vector<uint8_t> glb =
        ExportGlb(scene, GltfExportOptions{"fuzz", {}, {}}, &exportError);
    if (glb.empty() ? exportError.empty()
                    : glb.size() < 12 || std::memcmp(glb.data(), "glTF", 4) != 0 ||
                          LoadLe32(&glb[8]) != glb.size()) {
        abort();
    }
}

void Bones(const uint8_t* data, size_t size) {
    Skeleton skeleton;
    std::string error;
    if (DecodeSkeleton(data, size, skeleton, &error)) {
        PoseSkeleton(skeleton, nullptr, 0);
    }
}

void Frames(const uint8_t* data, size_t size) {
    Animation animation;
    std::string error;
    if (!DecodeAnimation(data, size, animation, &error) || animation.boneCount > 4096) {
        return;
    }
    Skeleton chain;
    for (uint32_t b = 0; b < animation.boneCount; ++b) {
        chain.bones.push_back({"b", static_cast<int>(b) - 1, 1, {}});
    }
    for (size_t f = 0; f < animation.frames.size() && f < 4; ++f) {
        PoseSkeleton(chain, &animation, f);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    Resource resource;
    std::string error;
    switch (data[0] % 4) {
        case 0:
            Mesh(data + 1, size - 1);
            break;
        case 1:
            Bones(data + 1, size - 1);
            break;
        case 2:
            DecodeResource(data + 1, size - 1, resource, &error);
            break;
        default:
            Frames(data + 1, size - 1);
            break;
    }
    return 0;
}
