// SPDX-License-Identifier: MIT
#include "models/scene.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "models/battle_models.h"
#include "models/conventions.h"
#include "models/model_text.h"
#include "models/resource.h"

namespace {

class SceneLoader {
public:
    SceneLoader(const ModelEntries& entries, ModelScene& scene)
        : m_entries(entries), m_scene(scene) {}

    // Draws the resource entry `name` on `bone`; warns when it cannot.
    void AddResource(const std::string& name, int bone) {
        std::vector<uint8_t> bytes;
        Resource resource;
        std::string error;
        if (!ReadNamed(name, bytes)) {
            return;
        }
        if (!DecodeResource(bytes.data(), bytes.size(), resource, &error)) {
            Warn(name + ": " + error);
            return;
        }
        AddPart(resource, bone);
    }

    void AddPart(const Resource& resource, int bone) {
        const int mesh = Mesh(resource.mesh);
        if (mesh < 0) {
            return;
        }
        for (const PGroup& group : m_scene.meshes[static_cast<size_t>(mesh)].groups) {
            if (group.textured && group.textureNumber >= resource.textures.size()) {
                Warn(resource.mesh + " uses texture " + std::to_string(group.textureNumber) +
                     ", which its resource does not name: drawn untextured");
                break;
            }
        }
        ScenePart part;
        part.bone = bone;
        part.mesh = static_cast<size_t>(mesh);
        for (const std::string& texture : resource.textures) {
            part.textures.push_back(Texture(texture));
        }
        m_scene.parts.push_back(std::move(part));
    }

    void Warn(const std::string& text) { m_scene.warnings.push_back(text); }

private:
    bool ReadNamed(const std::string& name, std::vector<uint8_t>& bytes) {
        const std::optional<size_t> id = m_entries.Find(name);
        if (!id) {
            Warn(name + " is not in the archive");
            return false;
        }
        std::string error;
        if (!m_entries.Read(*id, bytes, &error)) {
            Warn(error);
            return false;
        }
        return true;
    }

    int Mesh(const std::string& name) {
        const auto known = m_meshes.find(name);
        if (known != m_meshes.end()) {
            return known->second;
        }
        int index = -1;
        std::vector<uint8_t> bytes;
        PMesh mesh;
        std::string error;
        if (ReadNamed(name, bytes)) {
            if (DecodePMesh(bytes.data(), bytes.size(), mesh, &error)) {
                index = static_cast<int>(m_scene.meshes.size());
                m_scene.meshes.push_back(std::move(mesh));
                m_scene.meshNames.push_back(name);
            } else {
                Warn(name + ": " + error);
            }
        }
        m_meshes[name] = index;
        return index;
    }

    int Texture(const std::string& name) {
        const auto known = m_textures.find(name);
        if (known != m_textures.end()) {
            return known->second;
        }
        int index = -1;
        std::vector<uint8_t> bytes;
        SceneTexture texture;
        if (ReadNamed(name, bytes)) {
            const TextureError error = DecodeTexture(bytes.data(), bytes.size(), 0, texture.image);
            if (error == TextureError::None && texture.image.width > 0 &&
                texture.image.height > 0) {
                texture.entry = name;
                for (size_t i = 3; i < texture.image.rgba.size(); i += 4) {
                    texture.transparent = texture.transparent || texture.image.rgba[i] != 255;
                }
                index = static_cast<int>(m_scene.textures.size());
                m_scene.textures.push_back(std::move(texture));
            } else {
                Warn(name + ": " +
                     (error != TextureError::None ? DescribeTextureError(error) : "empty image"));
            }
        }
        m_textures[name] = index;
        return index;
    }

    const ModelEntries& m_entries;
    ModelScene& m_scene;
    std::unordered_map<std::string, int> m_meshes, m_textures;
};

// The resource of the archive that names mesh `name`, for a mesh opened on its own.
std::optional<Resource> ResourceNaming(const ModelEntries& entries, const std::string& name) {
    const std::string wanted = LowerAscii(name);
    std::vector<uint8_t> bytes;
    for (size_t id = 0; id < entries.Count(); ++id) {
        Resource resource;
        std::string error;
        if (HasExtension(entries.Name(id), ".rsd") && entries.Read(id, bytes, &error) &&
            DecodeResource(bytes.data(), bytes.size(), resource, &error) &&
            resource.mesh == wanted) {
            return resource;
        }
    }
    return std::nullopt;
}

bool LoadSkeleton(const ModelEntries& entries, const std::vector<uint8_t>& bytes, ModelScene& scene,
                  std::string* error) {
    if (!DecodeSkeleton(bytes.data(), bytes.size(), scene.skeleton, error)) {
        return false;
    }
    scene.hasSkeleton = true;
    SceneLoader loader(entries, scene);
    for (size_t b = 0; b < scene.skeleton.bones.size(); ++b) {
        for (const std::string& name : scene.skeleton.bones[b].resources) {
            loader.AddResource(LowerAscii(name) + ".rsd", static_cast<int>(b));
        }
    }
    return true;
}

Vec3 FaceNormal(Vec3 a, Vec3 b, Vec3 c) {
    const Vec3 n = Cross(b - a, c - a);
    const float length = Length(n);
    return length > 1e-12f ? n * (1 / length) : Vec3{0, 1, 0};
}

Vec3 Unit(Vec3 v, Vec3 fallback) {
    const float length = Length(v);
    return length > 1e-6f && std::isfinite(length) ? v * (1 / length) : fallback;
}

void AddGroup(const PMesh& mesh, const PGroup& group, SceneBatch& batch) {
    for (uint32_t p = group.firstPolygon; p < group.firstPolygon + group.polygonCount; ++p) {
        const PTriangle& t = mesh.triangles[p];
        SceneVertex corner[3];
        for (int k = 0; k < 3; ++k) {
            const size_t v = size_t{group.firstVertex} + t.vertex[k];
            corner[k].position = mesh.vertices[v];
            corner[k].colour =
                mesh.vertexColours.empty() ? Rgba8{255, 255, 255, 255} : mesh.vertexColours[v];
            if (group.textured) {
                const auto& uv = mesh.texCoords[size_t{group.firstTexCoord} + t.vertex[k]];
                corner[k].uv[0] = uv[0];
                corner[k].uv[1] = uv[1];
            }
        }
        const Vec3 face = FaceNormal(corner[0].position, corner[1].position, corner[2].position);
        for (int k = 0; k < 3; ++k) {
            corner[k].normal = mesh.normals.empty() ? face : Unit(mesh.normals[t.normal[k]], face);
            batch.vertices.push_back(corner[k]);
        }
    }
}

// Battle and summon pieces have no known place on their skeleton: each is set beside
// the one before it along x, the row centred on the origin.
void LayOutInRow(ModelScene& scene) {
    std::vector<std::pair<float, float>> spans;  // each part's lowest and highest x
    float widest = 0;
    for (const ScenePart& part : scene.parts) {
        const std::vector<Vec3>& vertices = scene.meshes[part.mesh].vertices;
        float low = 0, high = 0;
        for (size_t i = 0; i < vertices.size(); ++i) {
            low = i == 0 ? vertices[i].x : std::min(low, vertices[i].x);
            high = i == 0 ? vertices[i].x : std::max(high, vertices[i].x);
        }
        spans.emplace_back(low, high);
        widest = std::max(widest, high - low);
    }
    const float gap = widest > 0 ? widest / 4 : 1;
    std::vector<float> shifts;
    float next = 0;
    for (const auto& span : spans) {
        shifts.push_back(next - span.first);
        next += span.second - span.first + gap;
    }
    const float centre = (next - gap) / 2;
    for (size_t i = 0; i < scene.parts.size(); ++i) {
        for (Vec3& v : scene.meshes[scene.parts[i].mesh].vertices) {
            v.x += shifts[i] - centre;
        }
    }
}

// A battle or summon skeleton shows every piece and weapon of its model; a piece or a
// weapon shows itself. Their meshes number their textures as the model's texture names.
bool LoadBattleModel(const ModelEntries& entries, size_t id, const BattleName& name,
                     ModelScene& scene, std::string* error) {
    const std::vector<size_t> meshes =
        name.role == BattleRole::Skeleton ? BattleMeshes(entries, name) : std::vector<size_t>{id};
    if (meshes.empty()) {
        *error = entries.Name(id) + ": the archive holds no pieces of this model";
        return false;
    }
    Resource resource;
    resource.textures = BattleTextures(entries, name);
    SceneLoader loader(entries, scene);
    for (size_t mesh : meshes) {
        resource.mesh = entries.Name(mesh);
        loader.AddPart(resource, -1);
    }
    if (scene.parts.empty()) {
        *error = scene.warnings.empty() ? entries.Name(id) + ": no piece could be read"
                                        : scene.warnings.front();
        return false;
    }
    LayOutInRow(scene);
    return true;
}

}  // namespace

bool LoadModelScene(const ModelEntries& entries, size_t id, ModelScene& scene, std::string* error) {
    scene = ModelScene{};
    const std::string name = entries.Name(id);
    std::vector<uint8_t> bytes;
    if (!entries.Read(id, bytes, error)) {
        return false;
    }
    if (HasExtension(name, ".hrc")) {
        return LoadSkeleton(entries, bytes, scene, error);
    }
    SceneLoader loader(entries, scene);
    if (HasExtension(name, ".rsd")) {
        Resource resource;
        if (!DecodeResource(bytes.data(), bytes.size(), resource, error)) {
            return false;
        }
        loader.AddPart(resource, -1);
        return true;
    }
    if (HasExtension(name, ".p")) {
        PMesh mesh;
        if (!DecodePMesh(bytes.data(), bytes.size(), mesh, error)) {
            return false;
        }
        Resource resource = ResourceNaming(entries, name).value_or(Resource{});
        resource.mesh = LowerAscii(name);
        loader.AddPart(resource, -1);
        return true;
    }
    const std::optional<BattleName> battle = ParseBattleName(name);
    if (battle && IsBattleModelEntry(name)) {
        return LoadBattleModel(entries, id, *battle, scene, error);
    }
    *error = name + " is not a skeleton, resource or mesh";
    return false;
}

std::vector<SceneBatch> SceneBatches(const ModelScene& scene) {
    std::vector<SceneBatch> batches;
    for (const ScenePart& part : scene.parts) {
        const PMesh& mesh = scene.meshes[part.mesh];
        for (const PGroup& group : mesh.groups) {
            int texture = -1;
            if (group.textured && group.textureNumber < part.textures.size()) {
                texture = part.textures[group.textureNumber];
            }
            auto same = [&](const SceneBatch& b) {
                return b.bone == part.bone && b.texture == texture;
            };
            auto it = std::find_if(batches.begin(), batches.end(), same);
            if (it == batches.end()) {
                batches.push_back(SceneBatch{part.bone, texture, {}});
                it = batches.end() - 1;
            }
            AddGroup(mesh, group, *it);
        }
    }
    return batches;
}

std::vector<Mat4> UprightBoneTransforms(const SkeletonPose& pose) {
    const Mat4 upright = RotationMatrix(UprightRotation());
    std::vector<Mat4> transforms;
    for (const BonePose& bone : pose.bones) {
        transforms.push_back(upright * bone.toModel);
    }
    return transforms;
}

void PlaceBatches(std::vector<SceneBatch>& batches, const SkeletonPose& pose) {
    const std::vector<Mat4> bones = UprightBoneTransforms(pose);
    const Mat4 upright = RotationMatrix(UprightRotation());
    for (SceneBatch& batch : batches) {
        const bool posed = batch.bone >= 0 && static_cast<size_t>(batch.bone) < bones.size();
        const Mat4& m = posed ? bones[static_cast<size_t>(batch.bone)] : upright;
        for (SceneVertex& v : batch.vertices) {
            v.position = TransformPoint(m, v.position);
            v.normal = Unit(TransformDirection(m, v.normal), {0, 1, 0});
        }
    }
}

SceneCounts CountScene(const ModelScene& scene) {
    SceneCounts counts;
    counts.bones = scene.skeleton.bones.size();
    counts.meshes = scene.parts.size();
    counts.textures = scene.textures.size();
    for (const ScenePart& part : scene.parts) {
        counts.polygons += scene.meshes[part.mesh].DrawnTriangleCount();
        counts.vertices += scene.meshes[part.mesh].vertices.size();
    }
    return counts;
}
