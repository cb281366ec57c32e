// SPDX-License-Identifier: MIT
#pragma once
// Builds the files of the game's 3D models the way the format notes lay them out:
// meshes (".p"), skeletons (".hrc"), resources (".rsd") and animations (".a"). Set()
// overwrites any 32-bit field of a built file afterwards, for hostile files.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/texture_builder.h"

namespace lumo::test {

using Float3 = std::array<float, 3>;

// A run of vertices and the triangles over them (indices relative to the run).
struct PGroupSpec {
    std::vector<Float3> vertices;
    std::vector<std::array<uint16_t, 3>> triangles;
    std::vector<std::array<float, 2>> uvs;  // one per vertex when textured, else none
    uint32_t textureNumber = 0;
    Bgra colour{255, 255, 255, 255};  // every vertex's colour
};

class PBuilder {
public:
    PBuilder& AddGroup(const PGroupSpec& group);
    // Stored normals; each triangle corner then names normal `index % count`.
    PBuilder& SetNormals(const std::vector<Float3>& normals);
    PBuilder& SetGap(bool gap);            // the 4 bytes before the bounding box
    PBuilder& SetNormalTable(bool table);  // the per-vertex normal index table at the end
    PBuilder& Set(size_t offset, uint32_t value);
    Bytes Build() const;

private:
    std::vector<PGroupSpec> groups_;
    std::vector<Float3> normals_;
    bool gap_ = false, table_ = true;
    std::vector<std::pair<size_t, uint32_t>> overrides_;
};

// Header offsets of a .p the tests corrupt, and where its sections start.
constexpr size_t kPVersion = 0x00;
constexpr size_t kPVertexType = 0x08;
constexpr size_t kPVertexCount = 0x0C;
constexpr size_t kPNormalCount = 0x10;
constexpr size_t kPHeaderSize = 128;
constexpr size_t kPGroupSize = 56;

// A box of half-size `h` around `centre` as one group: 8 vertices, 12 triangles; with
// `textured` each vertex gets a texture coordinate.
PGroupSpec BoxGroup(Float3 centre, Float3 h, Bgra colour, bool textured);

struct HrcBone {
    std::string name, parent;  // parent "root" for the model's origin
    float length = 0;
    std::vector<std::string> resources;
};
std::string HrcText(const std::string& skeleton, const std::vector<HrcBone>& bones);
std::string RsdText(const std::string& ply, const std::vector<std::string>& textures);

struct AFrame {
    Float3 rootRotation{}, rootTranslation{};
    std::vector<Float3> bones;
};
Bytes AnimationFile(uint32_t bones, std::array<uint8_t, 3> order,
                    const std::vector<AFrame>& frames);

// The little animated, textured figure of the demo archive and the tests: skeleton
// "demo.hrc" with three bones (hip -> chest -> head), resources, meshes, one texture,
// and `animations` animations named "demo0.a" ... of `frames` frames each.
std::vector<std::pair<std::string, Bytes>> DemoModelEntries(int animations, int frames);

}  // namespace lumo::test
