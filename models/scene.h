// SPDX-License-Identifier: MIT
#pragma once
// A model put together from the archive's entries: a skeleton, the resources its bones
// name, their meshes and textures. Pieces that are missing or unreadable are listed as
// warnings and left out; what exists is drawn.
#include <cstddef>
#include <string>
#include <vector>

#include "formats/texture.h"
#include "models/animation.h"
#include "models/model_entries.h"
#include "models/p_mesh.h"
#include "models/pose.h"
#include "models/skeleton.h"

struct SceneTexture {
    std::string entry;
    TextureImage image;
    bool transparent = false;  // some pixel has alpha below 255
};

// One mesh drawn on one bone (or, in a model without a skeleton, at the origin).
struct ScenePart {
    int bone = -1;
    size_t mesh = 0;            // index into ModelScene::meshes
    std::vector<int> textures;  // per texture number: index into ModelScene::textures, or -1
};

struct ModelScene {
    bool hasSkeleton = false;
    Skeleton skeleton;
    std::vector<std::string> meshNames;
    std::vector<PMesh> meshes;
    std::vector<SceneTexture> textures;
    std::vector<ScenePart> parts;
    std::vector<std::string> warnings;
};

// The model of a skeleton, a resource or a lone mesh, chosen by the entry's extension
// (".hrc", ".rsd", ".p"). False with the reason when that entry itself cannot be read or
// decoded, or is none of these.
bool LoadModelScene(const ModelEntries& entries, size_t id, ModelScene& scene, std::string* error);

struct SceneVertex {
    Vec3 position;
    Vec3 normal;  // unit length
    Rgba8 colour;
    float uv[2] = {};
};

// Triangles that share a bone and a texture: three vertices each.
struct SceneBatch {
    int bone = -1;
    int texture = -1;  // index into ModelScene::textures, or -1 for vertex colours only
    std::vector<SceneVertex> vertices;
};

// The scene's triangles in their bones' own spaces.
std::vector<SceneBatch> SceneBatches(const ModelScene& scene);

// Moves every batch into upright model space with the given pose (positions and
// normals); batches of no bone only get the upright turn.
void PlaceBatches(std::vector<SceneBatch>& batches, const SkeletonPose& pose);

// The bone-space -> upright-space transform of each bone in the pose.
std::vector<Mat4> UprightBoneTransforms(const SkeletonPose& pose);

struct SceneCounts {
    size_t bones = 0, meshes = 0, polygons = 0, vertices = 0, textures = 0;
};
SceneCounts CountScene(const ModelScene& scene);
