// SPDX-License-Identifier: MIT
// The glTF export: the Khronos validator accepts every kind of file we write, and the
// files hold the node tree, vertices, textures and animations expected.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "models/animation_index.h"
#include "models/gltf_export.h"
#include "tests/cli/json_reader.h"
#include "tests/models/memory_entries.h"

using namespace lumo::test;

namespace {

struct Exported {
    std::vector<uint8_t> glb;
    std::string error;
};

// The demo figure (or one of its entries), with `animations` of its animations or posed.
Exported Export(const std::string& entry, int animations, bool posed) {
    MemoryEntries entries(DemoModelEntries(3, 5));
    ModelScene scene;
    Exported out;
    EXPECT_TRUE(LoadModelScene(entries, *entries.Find(entry), scene, &out.error)) << out.error;
    GltfExportOptions options;
    options.name = entry;
    for (int a = 0; a < animations; ++a) {
        NamedAnimation named{"demo" + std::to_string(a) + ".a", {}};
        std::vector<uint8_t> bytes;
        entries.Read(*entries.Find(named.name), bytes, nullptr);
        EXPECT_TRUE(DecodeAnimation(bytes.data(), bytes.size(), named.animation, &out.error));
        if (posed) {
            options.pose = PoseSkeleton(scene.skeleton, &named.animation, 3);
        } else {
            options.animations.push_back(std::move(named));
        }
    }
    out.glb = ExportGlb(scene, options, &out.error);
    return out;
}

std::unique_ptr<JsonValue> JsonChunk(const std::vector<uint8_t>& glb) {
    if (glb.size() < 20) {
        return nullptr;
    }
    const uint32_t length = glb[12] | glb[13] << 8 | glb[14] << 16 | uint32_t{glb[15]} << 24;
    return ParseJson(std::string(glb.begin() + 20, glb.begin() + 20 + length));
}

// Runs the validator; its report goes to the failure message.
bool Validates(const std::vector<uint8_t>& glb, const std::string& name, std::string* report) {
#ifndef LUMO_VALIDATE_SCRIPT
    (void)name;
    *report = "no validator in this build";
    return !glb.empty();
#else
    const std::string file = testing::TempDir() + "/lumo_" + name + ".glb";
    const std::string log = file + ".log";
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(glb.data()), static_cast<std::streamsize>(glb.size()));
    const std::string command = "node '" LUMO_VALIDATE_SCRIPT "' '" + file + "' '" +
                                LUMO_NODE_MODULES "' > '" + log + "' 2>&1";
    const int status = std::system(command.c_str());
    std::stringstream text;
    text << std::ifstream(log).rdbuf();
    *report = text.str();
    std::remove(file.c_str());
    std::remove(log.c_str());
    return status == 0;
#endif
}

TEST(Gltf, TheValidatorAcceptsEveryKindOfExport) {
#ifndef LUMO_VALIDATE_SCRIPT
    GTEST_SKIP() << "the glTF validator runs on the build host only";
#endif
    const struct {
        const char* name;
        const char* entry;
        int animations;
        bool posed;
    } cases[] = {
        {"skinned", "demo.hrc", 0, false}, {"animated", "demo.hrc", 3, false},
        {"posed", "demo.hrc", 1, true},    {"rest", "demo.hrc", 0, true},
        {"lone_mesh", "deme.p", 0, false}, {"resource", "dema.rsd", 0, false},
    };
    for (const auto& c : cases) {
        const Exported e = Export(c.entry, c.animations, c.posed);
        ASSERT_FALSE(e.glb.empty()) << c.name << ": " << e.error;
        std::string report;
        EXPECT_TRUE(Validates(e.glb, c.name, &report)) << c.name << ":\n" << report;
    }
}

TEST(Gltf, SkinnedExportHoldsTheBoneTreeVerticesTexturesAndAnimations) {
    const Exported e = Export("demo.hrc", 2, false);
    const std::unique_ptr<JsonValue> json = JsonChunk(e.glb);
    ASSERT_TRUE(json) << e.error;
    const JsonValue& nodes = (*json)["nodes"];
    // upright turn -> root -> hip -> chest -> head, then the mesh
    ASSERT_EQ(nodes.items.size(), 6u);
    for (size_t n = 0; n < 4; ++n) {
        ASSERT_EQ(nodes[n]["children"].items.size(), 1u) << n;
        EXPECT_EQ(nodes[n]["children"][0].number, n + 1) << n;
    }
    EXPECT_EQ(nodes[3]["name"].text, "chest");
    EXPECT_FLOAT_EQ(nodes[3]["translation"][2].number, -0.5f);  // the hip's length
    EXPECT_EQ(nodes[5]["skin"].kind, JsonValue::Number);
    EXPECT_EQ((*json)["skins"][0]["joints"].items.size(), 4u);
    size_t vertices = 0;
    for (const JsonValue& primitive : (*json)["meshes"][0]["primitives"].items) {
        vertices += static_cast<size_t>((*json)["accessors"][static_cast<size_t>(
            primitive["attributes"]["POSITION"].number)]["count"]
                                            .number);
    }
    EXPECT_EQ(vertices, 36u * 3);
    EXPECT_EQ((*json)["images"].items.size(), 1u);
    EXPECT_EQ((*json)["animations"].items.size(), 2u);
    EXPECT_EQ((*json)["animations"][1]["name"].text, "demo1.a");
    // root translation and rotation, one rotation per bone
    EXPECT_EQ((*json)["animations"][0]["channels"].items.size(), 5u);
}

TEST(Gltf, PosedExportIsOneStaticMesh) {
    const std::unique_ptr<JsonValue> json = JsonChunk(Export("demo.hrc", 1, true).glb);
    ASSERT_TRUE(json);
    EXPECT_EQ((*json)["nodes"].items.size(), 1u);
    EXPECT_EQ((*json)["skins"].kind, JsonValue::Null);
    EXPECT_EQ((*json)["animations"].kind, JsonValue::Null);
}

TEST(Gltf, RefusesAnimationsThatDoNotFit) {
    MemoryEntries entries(DemoModelEntries(0, 0));
    ModelScene scene;
    std::string error;
    ASSERT_TRUE(LoadModelScene(entries, *entries.Find("demo.hrc"), scene, &error));
    GltfExportOptions options;
    options.animations.push_back({"wide.a", {}});
    options.animations.back().animation.boneCount = 4;
    options.animations.back().animation.frames.resize(1);
    EXPECT_TRUE(ExportGlb(scene, options, &error).empty());
    EXPECT_EQ(error, "wide.a does not fit the skeleton or has no frames");
}

}  // namespace
