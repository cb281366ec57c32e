// SPDX-License-Identifier: MIT
#include "models/gltf_export.h"

#include <cmath>

#include "formats/png_writer.h"
#include "models/conventions.h"
#include "models/glb_builder.h"

namespace {

constexpr size_t kMaxJoints = 65535;

std::string QuatJson(Quat q) {
    return "[" + GlbNumber(q.x) + "," + GlbNumber(q.y) + "," + GlbNumber(q.z) + "," +
           GlbNumber(q.w) + "]";
}

std::string Vec3Json(Vec3 v) {
    return "[" + GlbNumber(v.x) + "," + GlbNumber(v.y) + "," + GlbNumber(v.z) + "]";
}

Quat Normalized(Quat q) {
    const float n = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    return n > 0 ? Quat{q.x / n, q.y / n, q.z / n, q.w / n} : Quat{};
}

// One material per texture, in the scene's order.
void AddTextureMaterials(GlbBuilder& glb, const ModelScene& scene, std::string* error) {
    for (const SceneTexture& texture : scene.textures) {
        const std::vector<uint8_t> png =
            EncodePngRgba(texture.image.rgba.data(), texture.image.width, texture.image.height);
        if (png.empty()) {
            *error = texture.entry + ": cannot encode the texture as PNG";
        }
        const size_t view = glb.AddView(png.data(), png.size(), GlbBuilder::kNoTarget);
        const size_t image = glb.Add(
            "images", "{\"bufferView\":" + std::to_string(view) +
                          ",\"mimeType\":\"image/png\",\"name\":" + GlbString(texture.entry) + "}");
        const size_t index =
            glb.Add("textures", "{\"sampler\":0,\"source\":" + std::to_string(image) + "}");
        glb.Add("materials", "{\"name\":" + GlbString(texture.entry) +
                                 ",\"pbrMetallicRoughness\":{\"baseColorTexture\":{\"index\":" +
                                 std::to_string(index) +
                                 "},\"metallicFactor\":0,\"roughnessFactor\":1}" +
                                 (texture.transparent ? ",\"alphaMode\":\"MASK\"" : "") +
                                 ",\"doubleSided\":true}");
    }
    if (!scene.textures.empty()) {
        glb.Add("samplers",
                "{\"magFilter\":9729,\"minFilter\":9729,\"wrapS\":10497,\"wrapT\":10497}");
    }
}

// The material of untextured triangles, added the first time one needs it.
size_t UntexturedMaterial(GlbBuilder& glb, std::optional<size_t>& material) {
    if (!material) {
        material = glb.Add("materials",
                           "{\"name\":\"vertex colours\",\"pbrMetallicRoughness\":{"
                           "\"metallicFactor\":0,\"roughnessFactor\":1},\"doubleSided\":true}");
    }
    return *material;
}

// One primitive: its attributes, and with `skin` the joint of its bone (joint 0 is the
// root, joint b + 1 bone b).
std::string Primitive(GlbBuilder& glb, const SceneBatch& batch, std::optional<size_t>& untextured,
                      bool skin) {
    std::vector<float> positions, normals, uvs;
    std::vector<uint8_t> colours;
    for (const SceneVertex& v : batch.vertices) {
        positions.insert(positions.end(), {v.position.x, v.position.y, v.position.z});
        normals.insert(normals.end(), {v.normal.x, v.normal.y, v.normal.z});
        uvs.insert(uvs.end(), {v.uv[0], v.uv[1]});
        colours.insert(colours.end(), {v.colour.r, v.colour.g, v.colour.b, v.colour.a});
    }
    const auto array = GlbBuilder::kArrayBuffer;
    std::string attributes =
        "\"POSITION\":" + std::to_string(glb.AddFloats(positions, "VEC3", array, true)) +
        ",\"NORMAL\":" + std::to_string(glb.AddFloats(normals, "VEC3", array, false)) +
        ",\"COLOR_0\":" + std::to_string(glb.AddU8(colours, "VEC4", array, true));
    if (batch.texture >= 0) {
        attributes += ",\"TEXCOORD_0\":" + std::to_string(glb.AddFloats(uvs, "VEC2", array, false));
    }
    if (skin) {
        const size_t count = batch.vertices.size();
        std::vector<uint16_t> joints(count * 4, 0);
        std::vector<float> weights(count * 4, 0);
        for (size_t i = 0; i < count; ++i) {
            joints[i * 4] = static_cast<uint16_t>(batch.bone + 1);
            weights[i * 4] = 1;
        }
        attributes +=
            ",\"JOINTS_0\":" + std::to_string(glb.AddU16(joints, "VEC4", array)) +
            ",\"WEIGHTS_0\":" + std::to_string(glb.AddFloats(weights, "VEC4", array, false));
    }
    const size_t mat = batch.texture >= 0 ? static_cast<size_t>(batch.texture)
                                          : UntexturedMaterial(glb, untextured);
    return "{\"attributes\":{" + attributes + "},\"material\":" + std::to_string(mat) + "}";
}

// Nodes: 0 the upright turn, 1 the root, 2 + b bone b.
void AddSkeletonNodes(GlbBuilder& glb, const Skeleton& skeleton, const SkeletonPose& rest,
                      const std::string& name) {
    std::vector<std::string> children(skeleton.bones.size() + 1);
    for (size_t b = 0; b < skeleton.bones.size(); ++b) {
        const int parent = skeleton.bones[b].parent;
        std::string& list = children[parent < 0 ? 0 : static_cast<size_t>(parent) + 1];
        list += (list.empty() ? "" : ",") + std::to_string(b + 2);
    }
    auto childList = [&](size_t i) {
        return children[i].empty() ? std::string() : ",\"children\":[" + children[i] + "]";
    };
    glb.Add("nodes", "{\"name\":" + GlbString(name) +
                         ",\"rotation\":" + QuatJson(UprightRotation()) + ",\"children\":[1]}");
    glb.Add("nodes", "{\"name\":\"root\"" + childList(0) + "}");
    for (size_t b = 0; b < skeleton.bones.size(); ++b) {
        glb.Add("nodes", "{\"name\":" + GlbString(skeleton.bones[b].name) + ",\"translation\":" +
                             Vec3Json(rest.bones[b].offset) + childList(b + 1) + "}");
    }
}

size_t AddSkin(GlbBuilder& glb, const SkeletonPose& rest) {
    const Mat4 upright = RotationMatrix(UprightRotation());
    std::vector<float> inverse;
    std::string joints = "1";
    auto append = [&](const Mat4& toUpright) {
        const Mat4 m = InverseRigid(toUpright);
        inverse.insert(inverse.end(), m.m.begin(), m.m.end());
    };
    append(upright * rest.root);
    for (size_t b = 0; b < rest.bones.size(); ++b) {
        append(upright * rest.bones[b].toModel);
        joints += "," + std::to_string(b + 2);
    }
    const size_t matrices = glb.AddFloats(inverse, "MAT4", GlbBuilder::kNoTarget, false);
    return glb.Add("skins", "{\"inverseBindMatrices\":" + std::to_string(matrices) +
                                ",\"skeleton\":1,\"joints\":[" + joints + "]}");
}

// One channel's sampler: `values` per frame, against the animation's time accessor.
struct Samplers {
    std::string json;
    size_t count = 0;
};

std::string Channel(GlbBuilder& glb, Samplers& samplers, size_t times, size_t node,
                    const char* path, const std::vector<float>& values, const char* type) {
    const size_t output = glb.AddFloats(values, type, GlbBuilder::kNoTarget, false);
    const size_t index = samplers.count++;
    samplers.json += std::string(index == 0 ? "" : ",") + "{\"input\":" + std::to_string(times) +
                     ",\"output\":" + std::to_string(output) + ",\"interpolation\":\"LINEAR\"}";
    return "{\"sampler\":" + std::to_string(index) +
           ",\"target\":{\"node\":" + std::to_string(node) + ",\"path\":\"" + path + "\"}}";
}

void AppendQuat(std::vector<float>& out, Quat q) {
    q = Normalized(q);
    const size_t n = out.size();
    // Keep consecutive keys on the same side, so that interpolation takes the short way.
    if (n >= 4 && out[n - 4] * q.x + out[n - 3] * q.y + out[n - 2] * q.z + out[n - 1] * q.w < 0) {
        q = {-q.x, -q.y, -q.z, -q.w};
    }
    out.insert(out.end(), {q.x, q.y, q.z, q.w});
}

void AddAnimation(GlbBuilder& glb, const Skeleton& skeleton, const NamedAnimation& named) {
    const Animation& a = named.animation;
    std::vector<float> times;
    std::vector<SkeletonPose> poses;
    for (size_t f = 0; f < a.frames.size(); ++f) {
        times.push_back(static_cast<float>(f) / kFramesPerSecond);
        poses.push_back(PoseSkeleton(skeleton, &a, f));
    }
    const size_t input = glb.AddFloats(times, "SCALAR", GlbBuilder::kNoTarget, true);
    Samplers samplers;
    std::string channels;
    std::vector<float> translation, rotation;
    for (const SkeletonPose& p : poses) {
        translation.insert(translation.end(),
                           {p.rootTranslation.x, p.rootTranslation.y, p.rootTranslation.z});
        AppendQuat(rotation, p.rootRotation);
    }
    channels += Channel(glb, samplers, input, 1, "translation", translation, "VEC3");
    channels += "," + Channel(glb, samplers, input, 1, "rotation", rotation, "VEC4");
    for (size_t b = 0; b < skeleton.bones.size(); ++b) {
        rotation.clear();
        for (const SkeletonPose& p : poses) {
            AppendQuat(rotation, p.bones[b].rotation);
        }
        channels += "," + Channel(glb, samplers, input, b + 2, "rotation", rotation, "VEC4");
    }
    glb.Add("animations", "{\"name\":" + GlbString(named.name) + ",\"samplers\":[" + samplers.json +
                              "],\"channels\":[" + channels + "]}");
}

}  // namespace

std::vector<uint8_t> ExportGlb(const ModelScene& scene, const GltfExportOptions& options,
                               std::string* error) {
    const bool skinned = scene.hasSkeleton && !options.pose;
    if (skinned && scene.skeleton.bones.size() >= kMaxJoints) {
        *error =
            "too many bones for one skin (" + std::to_string(scene.skeleton.bones.size()) + ")";
        return {};
    }
    for (const NamedAnimation& a : options.animations) {
        if (!skinned || !AnimationFits(a.animation, scene.skeleton) || a.animation.frames.empty()) {
            *error = a.name + (skinned ? " does not fit the skeleton or has no frames"
                                       : ": animations go only with a skinned skeleton");
            return {};
        }
    }
    GlbBuilder glb;
    std::string problem;
    AddTextureMaterials(glb, scene, &problem);
    std::optional<size_t> untextured;
    const SkeletonPose rest = PoseSkeleton(scene.skeleton, nullptr, 0);
    std::vector<SceneBatch> batches = SceneBatches(scene);
    PlaceBatches(batches, options.pose ? *options.pose : rest);
    std::string primitives;
    for (const SceneBatch& batch : batches) {
        if (!batch.vertices.empty()) {
            primitives +=
                (primitives.empty() ? "" : ",") + Primitive(glb, batch, untextured, skinned);
        }
    }
    std::string sceneNodes;
    if (skinned) {
        AddSkeletonNodes(glb, scene.skeleton, rest, options.name);
        sceneNodes = "0";
    }
    if (!primitives.empty()) {
        glb.Add("meshes",
                "{\"name\":" + GlbString(options.name) + ",\"primitives\":[" + primitives + "]}");
        const std::string skin = skinned ? ",\"skin\":" + std::to_string(AddSkin(glb, rest)) : "";
        const size_t node = glb.Add(
            "nodes", "{\"name\":" + GlbString(options.name + " mesh") + ",\"mesh\":0" + skin + "}");
        sceneNodes += (sceneNodes.empty() ? "" : ",") + std::to_string(node);
    }
    for (const NamedAnimation& a : options.animations) {
        AddAnimation(glb, scene.skeleton, a);
    }
    if (!problem.empty()) {
        *error = problem;
        return {};
    }
    glb.Add("scenes", sceneNodes.empty() ? "{}" : "{\"nodes\":[" + sceneNodes + "]}");
    glb.Set("scene", "0");
    std::vector<uint8_t> file = glb.Finish();
    if (file.empty()) {
        *error = "the model does not fit in one .glb file (4 GiB)";
    }
    return file;
}
