// SPDX-License-Identifier: MIT
#pragma once
// Decodes a resource file (".rsd" entry, text): which mesh a bone draws and with which
// textures. The names are given as archive entry names ("ACAB.PLY" -> "acab.p",
// "ACAC.TIM" -> "acac.tex"), to be looked up ignoring case.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Resource {
    std::string mesh;                   // "xxxx.p"
    std::vector<std::string> textures;  // "yyyy.tex", in TEX[i] order
};

bool DecodeResource(const uint8_t* data, size_t size, Resource& resource, std::string* error);
