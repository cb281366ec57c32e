// SPDX-License-Identifier: MIT
#pragma once
// Decodes a polygon mesh (".p" entry): vertices, normals, texture coordinates, vertex
// colours, triangles and the groups that tie them together. Every byte is untrusted: a
// mesh whose counts, ranges or indices do not hold together is refused with the reason,
// and a decoded mesh can be drawn without further bounds checks.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "models/model_math.h"

struct Rgba8 {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

struct PTriangle {
    uint16_t vertex[3] = {};  // relative to its group's first vertex
    uint16_t normal[3] = {};  // absolute
};

struct PGroup {
    uint32_t primitiveType = 0;  // 1 untextured, 2 textured with normals, 3 without
    uint32_t firstPolygon = 0;
    uint32_t polygonCount = 0;
    uint32_t firstVertex = 0;
    uint32_t vertexCount = 0;
    uint32_t firstTexCoord = 0;
    bool textured = false;
    uint32_t textureNumber = 0;  // which of the resource's textures
};

struct PMesh {
    std::vector<Vec3> vertices;
    std::vector<Vec3> normals;
    std::vector<std::array<float, 2>> texCoords;
    std::vector<Rgba8> vertexColours;  // one per vertex, or none
    std::vector<PTriangle> triangles;
    std::vector<PGroup> groups;

    size_t DrawnTriangleCount() const;
};

// Fills `mesh` and returns true, or returns false with the reason in `error` (for
// example "group 2's vertices run past the 40 vertices stored") and `mesh` empty.
bool DecodePMesh(const uint8_t* data, size_t size, PMesh& mesh, std::string* error);

// The mesh's header counts, for what Properties says without decoding: false when the
// data is shorter than a header.
struct PCounts {
    uint32_t vertices = 0, polygons = 0, groups = 0, texCoords = 0;
};
bool ReadPCounts(const uint8_t* data, size_t size, PCounts& counts);
