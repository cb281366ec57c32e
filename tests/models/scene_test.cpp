// SPDX-License-Identifier: MIT
// Putting a model together from entries: what is found, what is missing and warned
// about, and which animations fit, found reading each entry once.
#include <gtest/gtest.h>

#include <functional>

#include "models/animation_index.h"
#include "models/scene.h"
#include "tests/models/memory_entries.h"

using namespace lumo::test;

namespace {

bool Mentions(const std::vector<std::string>& warnings, const std::string& part) {
    for (const std::string& w : warnings) {
        if (w.find(part) != std::string::npos) {
            return true;
        }
    }
    return false;
}

TEST(Scene, SkeletonFindsResourcesMeshesAndTextures) {
    MemoryEntries entries(DemoModelEntries(1, 4));
    ModelScene scene;
    std::string error;
    ASSERT_TRUE(LoadModelScene(entries, *entries.Find("DEMO.HRC"), scene, &error)) << error;
    EXPECT_TRUE(scene.warnings.empty()) << scene.warnings.front();
    const SceneCounts counts = CountScene(scene);
    EXPECT_EQ(counts.bones, 3u);
    EXPECT_EQ(counts.meshes, 3u);
    EXPECT_EQ(counts.polygons, 36u);
    EXPECT_EQ(counts.textures, 1u);  // two resources name the same texture
    size_t textured = 0;
    for (const SceneBatch& batch : SceneBatches(scene)) {
        textured += batch.texture >= 0 ? batch.vertices.size() : 0;
    }
    EXPECT_EQ(textured, 2u * 12 * 3);
}

TEST(Scene, MissingPiecesAreWarningsAndTheRestIsDrawn) {
    const struct {
        const char* name;
        std::function<void(MemoryEntries&)> spoil;
        const char* warning;
        size_t meshes, textures;
    } cases[] = {
        {"resource gone", [](MemoryEntries& e) { e.Remove("demb.rsd"); }, "demb.rsd is not in", 2,
         1},
        {"mesh gone", [](MemoryEntries& e) { e.Remove("demd.p"); }, "demd.p is not in", 2, 1},
        {"texture gone", [](MemoryEntries& e) { e.Remove("demg.tex"); }, "demg.tex is not in", 3,
         0},
        {"mesh broken", [](MemoryEntries& e) { e.Replace("deme.p", Bytes(200, 0)); },
         "deme.p: version 0", 2, 1},
        {"texture number unnamed",
         [](MemoryEntries& e) {
             const std::string text = "@RSD940102\nPLY=DEME.PLY\n";  // no textures
             e.Replace("demb.rsd", Bytes(text.begin(), text.end()));
         },
         "which its resource does not name", 3, 1},
    };
    for (const auto& c : cases) {
        MemoryEntries entries(DemoModelEntries(0, 0));
        c.spoil(entries);
        ModelScene scene;
        std::string error;
        ASSERT_TRUE(LoadModelScene(entries, *entries.Find("demo.hrc"), scene, &error)) << c.name;
        EXPECT_TRUE(Mentions(scene.warnings, c.warning)) << c.name;
        EXPECT_EQ(CountScene(scene).meshes, c.meshes) << c.name;
        EXPECT_EQ(CountScene(scene).textures, c.textures) << c.name;
    }
}

TEST(Scene, LoneMeshTakesTheTexturesOfTheResourceNamingIt) {
    MemoryEntries entries(DemoModelEntries(0, 0));
    ModelScene scene;
    std::string error;
    ASSERT_TRUE(LoadModelScene(entries, *entries.Find("deme.p"), scene, &error)) << error;
    EXPECT_FALSE(scene.hasSkeleton);
    EXPECT_EQ(CountScene(scene).textures, 1u);
    EXPECT_FALSE(LoadModelScene(entries, *entries.Find("demg.tex"), scene, &error));
}

TEST(AnimationIndex, FitsByBoneCountReadingEachEntryOnce) {
    auto files = DemoModelEntries(3, 2);
    files.emplace_back("other.a", AnimationFile(5, {0, 1, 2}, {{}}));
    files.emplace_back("broken.a", Bytes{1, 0, 0, 0});
    MemoryEntries entries(files);
    const AnimationIndex index(entries);
    EXPECT_EQ(index.All().size(), 5u);
    std::vector<std::string> fitting;
    for (const AnimationInfo* a : index.Fitting(3)) {
        fitting.push_back(a->name);
    }
    EXPECT_EQ(fitting, (std::vector<std::string>{"demo0.a", "demo1.a", "demo2.a"}));
    EXPECT_EQ(index.Fitting(5).size(), 1u);
    ASSERT_NE(index.Find("DEMO1"), nullptr);
    EXPECT_EQ(index.Find("demo1.a")->frames, 2u);
    EXPECT_EQ(index.Find("demo"), nullptr);
    for (const auto& [id, count] : entries.reads) {
        EXPECT_EQ(count, 1) << entries.Name(id);
        EXPECT_TRUE(HasExtension(entries.Name(id), ".a")) << entries.Name(id);
    }
}

}  // namespace
