// SPDX-License-Identifier: MIT
#pragma once
// Decodes a skeleton (".hrc" entry, text): the bones in file order, each with its parent,
// its length and the resource files drawn on it. A parent always comes earlier, so the
// bones can be posed in file order.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Bone {
    std::string name;
    int parent = -1;  // index of an earlier bone, or -1 for the model's root
    float length = 0;
    std::vector<std::string> resources;  // names as written, without ".rsd"
};

struct Skeleton {
    std::string name;
    std::vector<Bone> bones;
};

// Fills `skeleton` and returns true, or false with the reason in `error`.
bool DecodeSkeleton(const uint8_t* data, size_t size, Skeleton& skeleton, std::string* error);
