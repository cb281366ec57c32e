// SPDX-License-Identifier: MIT
// The mesh, skeleton, resource and animation decoders: what they read from files the
// test builders write, and each refusal with its reason.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "models/animation.h"
#include "models/p_mesh.h"
#include "models/resource.h"
#include "models/skeleton.h"
#include "tests/support/model_builder.h"

using namespace lumo::test;

namespace {

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

void Put(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

// Two groups, the second textured, so that group-relative indices and the texture
// coordinate offset show.
PBuilder TwoGroups() {
    PGroupSpec second = BoxGroup({5, 0, 0}, {1, 1, 1}, {10, 20, 30, 255}, true);
    second.textureNumber = 1;
    return PBuilder()
        .AddGroup(BoxGroup({0, 0, 0}, {1, 1, 1}, {1, 2, 3, 255}, false))
        .AddGroup(second);
}

TEST(PMesh, GroupRelativeIndicesInEveryFileLayout) {
    for (bool gap : {false, true}) {
        for (bool table : {false, true}) {
            const Bytes file = TwoGroups().SetGap(gap).SetNormalTable(table).Build();
            PMesh mesh;
            std::string error;
            ASSERT_TRUE(DecodePMesh(file.data(), file.size(), mesh, &error)) << error;
            ASSERT_EQ(mesh.groups.size(), 2u);
            const PGroup& g = mesh.groups[1];
            EXPECT_EQ(g.firstVertex, 8u);
            EXPECT_TRUE(g.textured);
            EXPECT_EQ(g.textureNumber, 1u);
            const PTriangle& t = mesh.triangles[g.firstPolygon];
            EXPECT_FLOAT_EQ(mesh.vertices[g.firstVertex + t.vertex[0]].x, 4);  // 5 - 1
            EXPECT_EQ(mesh.vertexColours[g.firstVertex].r, 30);                // stored B, G, R
            EXPECT_EQ(mesh.DrawnTriangleCount(), 24u);
        }
    }
}

TEST(PMesh, RefusesWithTheReason) {
    const Bytes good = TwoGroups().Build();
    const size_t groups = good.size() - 24 - 4 * 16 - 2 * kPGroupSize;
    const size_t polygons = groups - 100 - 24 * 24;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    uint32_t nanBits;
    std::memcpy(&nanBits, &nan, 4);
    const struct {
        const char* name;
        std::function<void(Bytes&)> spoil;
        const char* reason;
    } cases[] = {
        {"short", [](Bytes& b) { b.resize(127); }, "shorter than the 128-byte header"},
        {"version", [](Bytes& b) { Put(b, kPVersion, 2); }, "version 2"},
        {"vertex type", [](Bytes& b) { Put(b, kPVertexType, 0); }, "vertex type 0"},
        {"one byte more", [](Bytes& b) { b.push_back(0); }, "does not match the counts"},
        {"huge count", [](Bytes& b) { Put(b, kPVertexCount, 0xFFFFFFFF); }, "does not match"},
        {"group vertices", [&](Bytes& b) { Put(b, groups + kPGroupSize + 0x10, 9); },
         "group 1's vertices run past the 16 vertices stored"},
        {"group polygons", [&](Bytes& b) { Put(b, groups + 0x04, 20); },
         "group 0's polygons run past"},
        {"group edges", [&](Bytes& b) { Put(b, groups + 0x18, 1); },
         "group 0's edges run past the 0"},
        {"texture coordinates", [&](Bytes& b) { Put(b, groups + kPGroupSize + 0x2C, 1); },
         "texture coordinates run past"},
        {"vertex index", [&](Bytes& b) { b[polygons + 2] = 8; },
         "polygon 0 names vertex 8 of group 0, which has 8"},
        {"not finite", [&](Bytes& b) { Put(b, kPHeaderSize + 4, nanBits); }, "not a finite"},
    };
    for (const auto& c : cases) {
        Bytes file = good;
        c.spoil(file);
        PMesh mesh;
        std::string error;
        EXPECT_FALSE(DecodePMesh(file.data(), file.size(), mesh, &error)) << c.name;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
        EXPECT_TRUE(mesh.vertices.empty()) << c.name;
    }
}

TEST(PMesh, RefusesANormalIndexPastTheNormals) {
    const Bytes ok = TwoGroups().SetNormals({{0, 1, 0}, {1, 0, 0}}).Build();
    PMesh mesh;
    std::string error;
    ASSERT_TRUE(DecodePMesh(ok.data(), ok.size(), mesh, &error)) << error;
    Bytes bad = ok;
    const size_t polygons = bad.size() - 4 * 16 - 24 - 2 * kPGroupSize - 100 - 24 * 24;
    bad[polygons + 8] = 2;
    EXPECT_FALSE(DecodePMesh(bad.data(), bad.size(), mesh, &error));
    EXPECT_NE(error.find("names normal 2 of the 2 stored"), std::string::npos) << error;
}

TEST(Skeleton, ReadsBonesParentsAndResources) {
    const std::string text = HrcText("HERO", {{"hip", "root", 1.5f, {}},
                                              {"chest", "hip", 2, {"AAAB", "AAAC"}},
                                              {"arm", "chest", 0.25f, {"AAAD"}}});
    Skeleton s;
    std::string error;
    ASSERT_TRUE(
        DecodeSkeleton(reinterpret_cast<const uint8_t*>(text.data()), text.size(), s, &error))
        << error;
    EXPECT_EQ(s.name, "HERO");
    ASSERT_EQ(s.bones.size(), 3u);
    EXPECT_EQ(s.bones[0].parent, -1);
    EXPECT_EQ(s.bones[2].parent, 1);
    EXPECT_FLOAT_EQ(s.bones[0].length, 1.5f);
    EXPECT_EQ(s.bones[1].resources, (std::vector<std::string>{"AAAB", "AAAC"}));
}

TEST(Skeleton, RefusesWithTheReason) {
    const std::string head = ":HEADER_BLOCK 2\n:SKELETON X\n:BONES 1\n";
    const struct {
        std::string text;
        const char* reason;
    } cases[] = {
        {"", "the first line is not :HEADER_BLOCK"},
        {":HEADER_BLOCK two\n", "the first line is not :HEADER_BLOCK"},
        {":HEADER_BLOCK 3\n:SKELETON X\n:BONES 1\n", "announces 3 key lines"},
        {":HEADER_BLOCK 2\n:SKELETON X\n:BONES -1\n", "bone count is not"},
        {":HEADER_BLOCK 2\n:SKELETON X\n:NAME Y\n", "no :BONES line"},
        {head + "hip\nroot\n1\n", "announces 1 bones"},
        {head + "hip\nroot\nnan\n0\n", "length is not a finite number"},
        {head + "hip\nroot\n1e99\n0\n", "length is not a finite number"},
        {head + "hip\nhip\n1\n0\n", "parent hip is neither root nor an earlier bone"},
        {head + "hip\nroot\n1\n2 AAAB\n", "resource count does not match"},
        {head + "hip\nroot\n1\nx AAAB\n", "resource count does not match"},
    };
    for (const auto& c : cases) {
        Skeleton s;
        std::string error;
        EXPECT_FALSE(DecodeSkeleton(reinterpret_cast<const uint8_t*>(c.text.data()), c.text.size(),
                                    s, &error))
            << c.text;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << ": " << error;
    }
}

TEST(Resource, MapsNamesToLowerCaseEntries) {
    const Bytes file = Text("# comment\r\n" + RsdText("ACAB", {"ACAC", "ACAD"}));
    Resource r;
    std::string error;
    ASSERT_TRUE(DecodeResource(file.data(), file.size(), r, &error)) << error;
    EXPECT_EQ(r.mesh, "acab.p");
    EXPECT_EQ(r.textures, (std::vector<std::string>{"acac.tex", "acad.tex"}));
}

TEST(Resource, RefusesWithTheReason) {
    const struct {
        const char* text;
        const char* reason;
    } cases[] = {
        {"PLY=A.PLY\n", "the first line is not @RSD940102"},
        {"# only a comment\n", "no @RSD940102 line"},
        {"@RSD940102\nNTEX=0\n", "no PLY line"},
        {"@RSD940102\nPLY=A.PLY\nNTEX=-2\n", "NTEX is not"},
        {"@RSD940102\nPLY=A.PLY\nNTEX=2\nTEX[1]=B.TIM\n", "TEX[1] is out of order"},
        {"@RSD940102\nPLY=A.PLY\nNTEX=2\nTEX[0]=B.TIM\n", "NTEX says 2 textures, 1 TEX"},
    };
    for (const auto& c : cases) {
        const std::string text = c.text;
        Resource r;
        std::string error;
        EXPECT_FALSE(
            DecodeResource(reinterpret_cast<const uint8_t*>(text.data()), text.size(), r, &error))
            << text;
        EXPECT_NE(error.find(c.reason), std::string::npos) << text << ": " << error;
    }
}

TEST(Animation, ReadsFramesAndIgnoresATailWithAWarning) {
    Bytes file = AnimationFile(2, {2, 0, 1}, {{{1, 2, 3}, {4, 5, 6}, {{7, 8, 9}, {10, 11, 12}}}});
    file.insert(file.end(), 5, 0);
    Animation a;
    std::string error, warning;
    ASSERT_TRUE(DecodeAnimation(file.data(), file.size(), a, &error, &warning)) << error;
    EXPECT_EQ(a.order, (std::array<uint8_t, 3>{2, 0, 1}));
    ASSERT_EQ(a.frames.size(), 1u);
    EXPECT_FLOAT_EQ(a.frames[0].rootTranslation.z, 6);
    EXPECT_FLOAT_EQ(a.frames[0].boneRotations[1].x, 10);
    EXPECT_EQ(warning, "5 bytes after the last frame are ignored");
}

TEST(Animation, RefusesWithTheReason) {
    const Bytes good = AnimationFile(1, {0, 1, 2}, {{{}, {}, {{0, 0, 0}}}, {{}, {}, {{0, 0, 0}}}});
    const float inf = std::numeric_limits<float>::infinity();
    uint32_t infBits;
    std::memcpy(&infBits, &inf, 4);
    const struct {
        const char* name;
        std::function<void(Bytes&)> spoil;
        const char* reason;
    } cases[] = {
        {"short", [](Bytes& b) { b.resize(35); }, "shorter than the 36-byte header"},
        {"version", [](Bytes& b) { Put(b, 0, 0); }, "version 0"},
        {"order repeats", [](Bytes& b) { b[13] = 0; }, "not a permutation"},
        {"order byte 3", [](Bytes& b) { b[14] = 3; }, "not a permutation"},
        {"a frame missing", [](Bytes& b) { b.resize(b.size() - 1); }, "2 frames of 1 bones need"},
        {"frames lie", [](Bytes& b) { Put(b, 4, 0x40000000); }, "frames of 1 bones need"},
        {"bones lie", [](Bytes& b) { Put(b, 8, 0xFFFFFFFF); }, "bones need"},
        {"both lie past 2^64",
         [](Bytes& b) {
             Put(b, 4, 0xFFFFFFFF);
             Put(b, 8, 0xFFFFFFFF);
         },
         "bones need more than the 108 bytes"},
        {"infinite", [&](Bytes& b) { Put(b, 36 + 24 + 4, infBits); }, "not a finite number"},
    };
    for (const auto& c : cases) {
        Bytes file = good;
        c.spoil(file);
        Animation a;
        std::string error;
        EXPECT_FALSE(DecodeAnimation(file.data(), file.size(), a, &error)) << c.name;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
    }
}

}  // namespace
