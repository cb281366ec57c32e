// SPDX-License-Identifier: MIT
#include "archive/lgp_rules.h"

#include <algorithm>
#include <tuple>

namespace lgp {

namespace {

// The value the game's hash gives a character: letters (either case) 0-25, digits the
// values of a-j, '_' that of 'k', '-' that of 'l'; -1 for every other character.
int CharacterValue(char c) {
    if (c >= 'a' && c <= 'z') {
        return c - 'a';
    }
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c == '_') {
        return 10;
    }
    if (c == '-') {
        return 11;
    }
    return -1;
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

int CompareIgnoringCase(std::string_view a, std::string_view b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        const unsigned char x = static_cast<unsigned char>(Lower(a[i]));
        const unsigned char y = static_cast<unsigned char>(Lower(b[i]));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool IsControl(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

}  // namespace

int SlotOf(std::string_view name) {
    if (name.size() < 2) {
        return -1;
    }
    const int first = CharacterValue(name[0]);
    const int second = name[1] == '.' ? -1 : CharacterValue(name[1]);
    if (first < 0 || (second < 0 && name[1] != '.')) {
        return -1;
    }
    return first * 30 + second + 1;
}

std::string NameRefusal(std::string_view name, bool isNew) {
    if (name.empty()) {
        return "the name is empty";
    }
    if (name.size() > kNameSize || (isNew && name.size() > kNewNameMaxLength)) {
        return "the name is longer than " + std::to_string(isNew ? kNewNameMaxLength : kNameSize) +
               " characters";
    }
    for (char c : name) {
        if (c == '/' || c == '\\' || IsControl(c)) {
            return "the name is not plain (it holds '/', '\\' or a control character)";
        }
    }
    if (SlotOf(name) < 0) {
        return "the game cannot look the name up: its first two characters must be letters, "
               "digits, '_' or '-' (the second may be '.')";
    }
    return "";
}

std::string NormalFolder(std::string_view folder) {
    std::string normal;
    for (char c : folder) {
        normal += c == '\\' ? '/' : c;
    }
    while (!normal.empty() && normal.front() == '/') {
        normal.erase(normal.begin());
    }
    while (!normal.empty() && normal.back() == '/') {
        normal.pop_back();
    }
    return normal;
}

std::string FolderRefusal(std::string_view folder) {
    if (folder.size() > kFolderMaxLength) {
        return "the folder name is longer than " + std::to_string(kFolderMaxLength) + " characters";
    }
    size_t start = 0;
    while (start <= folder.size() && !folder.empty()) {
        const size_t end = std::min(folder.find('/', start), folder.size());
        const std::string_view level = folder.substr(start, end - start);
        if (level.empty() || level == "." || level == "..") {
            return "the folder name has an empty, '.' or '..' level";
        }
        start = end + 1;
    }
    for (char c : folder) {
        if (IsControl(c)) {
            return "the folder name holds a control character";
        }
    }
    return "";
}

bool CanonicalBefore(std::string_view nameA, std::string_view folderA, std::string_view nameB,
                     std::string_view folderB) {
    const int slotA = SlotOf(nameA);
    const int slotB = SlotOf(nameB);
    if (slotA != slotB) {
        return slotA < slotB;
    }
    const int names = CompareIgnoringCase(nameA, nameB);
    if (names != 0) {
        return names < 0;
    }
    return std::tie(folderA, nameA) < std::tie(folderB, nameB);
}

}  // namespace lgp
