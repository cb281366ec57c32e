// SPDX-License-Identifier: MIT
// Battle and summon models, known by their names alone, shown piece by piece.
#include <gtest/gtest.h>

#include "models/battle_models.h"
#include "models/scene.h"
#include "tests/models/memory_entries.h"

using namespace lumo::test;

namespace {

TEST(BattleNames, RoleAndNumberComeFromTheName) {
    const struct {
        const char* name;
        bool known, summon;
        const char* model;
        BattleRole role;
        int number;
    } cases[] = {
        {"RTAA", true, false, "rt", BattleRole::Skeleton, 0},
        {"rtab", true, false, "rt", BattleRole::Unknown, 0},
        {"rtac", true, false, "rt", BattleRole::Texture, 0},
        {"rtal", true, false, "rt", BattleRole::Texture, 9},
        {"rtam", true, false, "rt", BattleRole::Piece, 0},
        {"rtcj", true, false, "rt", BattleRole::Piece, 49},
        {"rtck", true, false, "rt", BattleRole::Weapon, 0},
        {"rtcz", true, false, "rt", BattleRole::Weapon, 15},
        {"rtda", true, false, "rt", BattleRole::Animations, 0},
        {"bahamut.d", true, true, "bahamut", BattleRole::Skeleton, 0},
        {"bahamut.p12", true, true, "bahamut", BattleRole::Piece, 12},
        {"bahamut.t01", true, true, "bahamut", BattleRole::Texture, 1},
        {"bahamut.a00", true, true, "bahamut", BattleRole::Animations, 0},
        {"rtdb", false, false, "", BattleRole::Unknown, 0},
        {"rt1a", false, false, "", BattleRole::Unknown, 0},
        {"rtaaa", false, false, "", BattleRole::Unknown, 0},
        {"demo.p", false, false, "", BattleRole::Unknown, 0},
        {"aaaa.hrc", false, false, "", BattleRole::Unknown, 0},
        {"x.p1", false, false, "", BattleRole::Unknown, 0},
        {".d", false, false, "", BattleRole::Unknown, 0},
    };
    for (const auto& c : cases) {
        const std::optional<BattleName> name = ParseBattleName(c.name);
        ASSERT_EQ(name.has_value(), c.known) << c.name;
        if (c.known) {
            EXPECT_EQ(name->summon, c.summon) << c.name;
            EXPECT_EQ(name->model, c.model) << c.name;
            EXPECT_EQ(name->role, c.role) << c.name;
            EXPECT_EQ(name->number, c.number) << c.name;
        }
    }
    EXPECT_EQ(BattleTextureName(*ParseBattleName("rtam"), 3), "rtaf");
    EXPECT_EQ(BattleTextureName(*ParseBattleName("bahamut.p00"), 3), "bahamut.t03");
}

Bytes Piece(bool textured) {
    return PBuilder().AddGroup(BoxGroup({0, 0, 0}, {1, 2, 1}, {0, 0, 255, 255}, textured)).Build();
}

MemoryEntries HeroEntries() {
    const Bytes texture = TextureBuilder::Paletted(2, 2, 1, 4).Build();
    return MemoryEntries({{"rtaa", Bytes(64, 0)},
                          {"rtck", Piece(false)},
                          {"rtan", Piece(true)},
                          {"rtam", Piece(false)},
                          {"rtac", texture},
                          {"ruam", Piece(false)},  // another model
                          {"siaa", Bytes(64, 0)}});
}

TEST(BattleModels, SkeletonShowsItsPiecesAndWeaponsSideBySide) {
    MemoryEntries entries = HeroEntries();
    ModelScene scene;
    std::string error;
    ASSERT_TRUE(LoadModelScene(entries, *entries.Find("rtaa"), scene, &error)) << error;
    ASSERT_EQ(scene.meshNames, (std::vector<std::string>{"rtam", "rtan", "rtck"}));
    EXPECT_EQ(CountScene(scene).textures, 1u);
    float previousHigh = -1e9f;
    for (const ScenePart& part : scene.parts) {  // each piece right of the one before
        float low = 1e9f, high = -1e9f;
        for (const Vec3& v : scene.meshes[part.mesh].vertices) {
            low = std::min(low, v.x);
            high = std::max(high, v.x);
        }
        EXPECT_GT(low, previousHigh);
        previousHigh = high;
    }

    ASSERT_TRUE(LoadModelScene(entries, *entries.Find("rtan"), scene, &error)) << error;
    EXPECT_EQ(CountScene(scene).meshes, 1u);
    EXPECT_EQ(CountScene(scene).textures, 1u);
    EXPECT_FALSE(LoadModelScene(entries, *entries.Find("siaa"), scene, &error));
    EXPECT_NE(error.find("no pieces"), std::string::npos) << error;
}

}  // namespace
