// SPDX-License-Identifier: MIT
#include "models/battle_models.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "models/model_text.h"

namespace {

// The two role letters of a battle name, read as a number: "aa" 0, "ab" 1 ... "zz" 675.
constexpr int kRoleSkeleton = 0;      // aa
constexpr int kRoleUnknown = 1;       // ab
constexpr int kRoleFirstTexture = 2;  // ac ... al
constexpr int kRoleFirstPiece = 12;   // am ... cj
constexpr int kRoleFirstWeapon = 62;  // ck ... cz
constexpr int kRoleAnimations = 78;   // da
constexpr int kTextures = kRoleFirstPiece - kRoleFirstTexture;

bool IsLower(char c) {
    return c >= 'a' && c <= 'z';
}

std::optional<BattleName> FourLetterName(const std::string& lower) {
    if (lower.size() != 4 || !std::all_of(lower.begin(), lower.end(), IsLower)) {
        return std::nullopt;
    }
    const int role = (lower[2] - 'a') * 26 + (lower[3] - 'a');
    BattleName name;
    name.model = lower.substr(0, 2);
    if (role == kRoleSkeleton) {
        name.role = BattleRole::Skeleton;
    } else if (role == kRoleUnknown) {
        name.role = BattleRole::Unknown;
    } else if (role < kRoleFirstPiece) {
        name = {false, name.model, BattleRole::Texture, role - kRoleFirstTexture};
    } else if (role < kRoleFirstWeapon) {
        name = {false, name.model, BattleRole::Piece, role - kRoleFirstPiece};
    } else if (role < kRoleAnimations) {
        name = {false, name.model, BattleRole::Weapon, role - kRoleFirstWeapon};
    } else if (role == kRoleAnimations) {
        name.role = BattleRole::Animations;
    } else {
        return std::nullopt;
    }
    return name;
}

// "name.pNN", "name.tNN", "name.aNN" and "name.d".
std::optional<BattleName> SummonName(const std::string& lower) {
    const size_t dot = lower.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        return std::nullopt;
    }
    const std::string extension = lower.substr(dot + 1);
    BattleName name{true, lower.substr(0, dot), BattleRole::Skeleton, 0};
    if (extension == "d") {
        return name;
    }
    const bool numbered = extension.size() == 3 && IsLower(extension[0]) &&
                          std::isdigit(static_cast<unsigned char>(extension[1])) &&
                          std::isdigit(static_cast<unsigned char>(extension[2]));
    if (!numbered) {
        return std::nullopt;
    }
    name.number = (extension[1] - '0') * 10 + (extension[2] - '0');
    switch (extension[0]) {
        case 'p':
            name.role = BattleRole::Piece;
            return name;
        case 't':
            name.role = BattleRole::Texture;
            return name;
        case 'a':
            name.role = BattleRole::Animations;
            return name;
        default:
            return std::nullopt;
    }
}

std::string TwoDigits(int number) {
    return std::string{static_cast<char>('0' + number / 10 % 10),
                       static_cast<char>('0' + number % 10)};
}

std::string RoleLetters(int role) {
    return std::string{static_cast<char>('a' + role / 26), static_cast<char>('a' + role % 26)};
}

}  // namespace

std::optional<BattleName> ParseBattleName(std::string_view name) {
    const std::string lower = LowerAscii(name);
    if (std::optional<BattleName> battle = FourLetterName(lower)) {
        return battle;
    }
    return SummonName(lower);
}

bool IsBattleModelEntry(std::string_view name) {
    const std::optional<BattleName> parsed = ParseBattleName(name);
    return parsed && (parsed->role == BattleRole::Skeleton || parsed->role == BattleRole::Piece ||
                      parsed->role == BattleRole::Weapon);
}

bool IsBattleTextureEntry(std::string_view name) {
    const std::optional<BattleName> parsed = ParseBattleName(name);
    return parsed && parsed->role == BattleRole::Texture;
}

std::string BattleTextureName(const BattleName& model, int number) {
    if (model.summon) {
        return model.model + ".t" + TwoDigits(number);
    }
    return number < kTextures ? model.model + RoleLetters(kRoleFirstTexture + number) : "";
}

std::vector<size_t> BattleMeshes(const ModelEntries& entries, const BattleName& model) {
    std::vector<std::pair<int, size_t>> found;  // (order, entry)
    for (size_t id = 0; id < entries.Count(); ++id) {
        const std::optional<BattleName> name = ParseBattleName(entries.Name(id));
        if (!name || name->summon != model.summon || name->model != model.model) {
            continue;
        }
        if (name->role == BattleRole::Piece || name->role == BattleRole::Weapon) {
            const int weapon = name->role == BattleRole::Weapon ? 1000 : 0;
            found.emplace_back(weapon + name->number, id);
        }
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<size_t> ids;
    for (const auto& piece : found) {
        ids.push_back(piece.second);
    }
    return ids;
}

std::vector<std::string> BattleTextures(const ModelEntries& entries, const BattleName& model) {
    std::vector<std::string> names;
    for (int number = 0; number < 100; ++number) {
        const std::string name = BattleTextureName(model, number);
        if (name.empty() || !entries.Find(name)) {
            break;
        }
        names.push_back(name);
    }
    return names;
}
