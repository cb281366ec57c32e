// SPDX-License-Identifier: MIT
#pragma once
// Battle and summon models keep no skeleton text and no resource files: what each of
// their entries is comes from its name alone. In the battle archive a name is four
// letters, two for the model and two for the file's role ("rtaa" skeleton, "rtac"
// texture 0, "rtam" piece 0, "rtck" weapon 0, "rtda" animations); in the summon archive
// it is "name.d" (skeleton), "name.pNN" (pieces), "name.tNN" (textures), "name.aNN".
//
// How their pieces hang on the skeleton is not known, so a model is shown piece by
// piece: each mesh on its own, side by side in a row.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "models/model_entries.h"

enum class BattleRole { Skeleton, Texture, Piece, Weapon, Animations, Unknown };

struct BattleName {
    bool summon = false;  // "name.pNN" rather than four letters
    std::string model;    // lower case: "rt", "bahamut"
    BattleRole role = BattleRole::Unknown;
    int number = 0;  // of a texture, piece or weapon, from 0
};

// What a battle or summon entry name says, or nothing for any other name.
std::optional<BattleName> ParseBattleName(std::string_view name);

// Whether the name is a battle or summon skeleton or mesh: what the model viewer shows.
bool IsBattleModelEntry(std::string_view name);
// Whether the name is a battle or summon texture (in the texture format).
bool IsBattleTextureEntry(std::string_view name);

// The entry name of texture `number` of a model, as its meshes number their textures.
std::string BattleTextureName(const BattleName& model, int number);

// The pieces and then the weapons of the model, in the order of their numbers.
std::vector<size_t> BattleMeshes(const ModelEntries& entries, const BattleName& model);

// The model's textures from number 0 up to the first one missing.
std::vector<std::string> BattleTextures(const ModelEntries& entries, const BattleName& model);
