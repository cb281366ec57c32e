// SPDX-License-Identifier: MIT
#include "models/p_mesh.h"

#include <cmath>

#include "platform/byte_cursor.h"

namespace {

constexpr size_t kHeaderSize = 128;

struct Header {
    uint32_t version, constant, vertexType, vertices, normals, unknown1, texCoords, colours, edges,
        polygons, unknown2, unknown3, hundreds, groups, boxes, normalTableFlag;
};

Header ReadHeader(ByteCursor& in) {
    Header h{};
    uint32_t* fields[] = {&h.version,  &h.constant, &h.vertexType, &h.vertices,
                          &h.normals,  &h.unknown1, &h.texCoords,  &h.colours,
                          &h.edges,    &h.polygons, &h.unknown2,   &h.unknown3,
                          &h.hundreds, &h.groups,   &h.boxes,      &h.normalTableFlag};
    for (uint32_t* field : fields) {
        *field = in.U32();
    }
    return h;
}

// The bytes up to the end of the groups; 64-bit, so no count of a 32-bit field overflows.
uint64_t SizeThroughGroups(const Header& h) {
    return kHeaderSize + 12 * (uint64_t{h.vertices} + h.normals + h.unknown1) +
           8 * uint64_t{h.texCoords} + 4 * uint64_t{h.colours} + 28 * uint64_t{h.polygons} +
           4 * uint64_t{h.edges} + 24 * uint64_t{h.unknown2} + 3 * uint64_t{h.unknown3} +
           100 * uint64_t{h.hundreds} + 56 * uint64_t{h.groups};
}

// Whether the length is one of the layouts the format allows: an optional 4-byte gap
// before the bounding boxes and an optional normal-index table after them.
bool LengthMatches(const Header& h, size_t size, uint64_t& gap) {
    const uint64_t base = SizeThroughGroups(h) + 24 * uint64_t{h.boxes};
    for (uint64_t g : {0u, 4u}) {
        for (uint64_t t : {uint64_t{0}, 4 * uint64_t{h.vertices}}) {
            if (base + g + t == size) {
                gap = g;
                return true;
            }
        }
    }
    return false;
}

bool Finite(Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

Vec3 ReadVec3(ByteCursor& in) {
    Vec3 v;
    v.x = in.F32();
    v.y = in.F32();
    v.z = in.F32();
    return v;
}

bool Refuse(std::string* error, const std::string& why, PMesh& mesh) {
    if (error) {
        *error = why;
    }
    mesh = PMesh{};
    return false;
}

// Reads the arrays the viewer uses; false when a coordinate is not a finite number.
bool ReadArrays(ByteCursor& in, const Header& h, PMesh& mesh) {
    bool finite = true;
    mesh.vertices.resize(h.vertices);
    for (Vec3& v : mesh.vertices) {
        v = ReadVec3(in);
        finite = finite && Finite(v);
    }
    mesh.normals.resize(h.normals);
    for (Vec3& n : mesh.normals) {
        n = ReadVec3(in);
        finite = finite && Finite(n);
    }
    in.Skip(12 * size_t{h.unknown1});
    mesh.texCoords.resize(h.texCoords);
    for (auto& uv : mesh.texCoords) {
        uv[0] = in.F32();
        uv[1] = in.F32();
        finite = finite && std::isfinite(uv[0]) && std::isfinite(uv[1]);
    }
    mesh.vertexColours.resize(h.colours == h.vertices ? h.colours : 0);
    for (Rgba8& c : mesh.vertexColours) {
        c.b = in.U8();
        c.g = in.U8();
        c.r = in.U8();
        c.a = in.U8();
    }
    in.Skip(4 * size_t{h.colours - mesh.vertexColours.size()});
    in.Skip(4 * size_t{h.polygons} + 4 * size_t{h.edges});  // polygon colours, edges
    mesh.triangles.resize(h.polygons);
    for (PTriangle& t : mesh.triangles) {
        in.Skip(2);
        for (uint16_t& v : t.vertex) {
            v = in.U16();
        }
        for (uint16_t& n : t.normal) {
            n = in.U16();
        }
        in.Skip(10);  // edge indices and the unknown word
    }
    in.Skip(24 * size_t{h.unknown2} + 3 * size_t{h.unknown3} + 100 * size_t{h.hundreds});
    return finite;
}

struct EdgeRange {
    uint32_t first = 0, count = 0;  // a count of 0 says "up to the next group's first"
};

PGroup ReadGroup(ByteCursor& in, EdgeRange& edges) {
    PGroup g;
    g.primitiveType = in.U32();
    g.firstPolygon = in.U32();
    g.polygonCount = in.U32();
    g.firstVertex = in.U32();
    g.vertexCount = in.U32();
    edges.first = in.U32();
    edges.count = in.U32();
    in.Skip(16);  // unknown words
    g.firstTexCoord = in.U32();
    g.textured = in.U32() != 0;
    g.textureNumber = in.U32();
    return g;
}

bool RangeLeaves(uint32_t first, uint32_t count, size_t stored) {
    return uint64_t{first} + count > stored;
}

// Why group `index` cannot be drawn, or "" when it can.
std::string GroupProblem(const PMesh& mesh, const PGroup& g, EdgeRange groupEdges, uint32_t edges,
                         size_t index) {
    const std::string name = "group " + std::to_string(index);
    if (RangeLeaves(g.firstPolygon, g.polygonCount, mesh.triangles.size())) {
        return name + "'s polygons run past the " + std::to_string(mesh.triangles.size()) +
               " polygons stored";
    }
    if (RangeLeaves(g.firstVertex, g.vertexCount, mesh.vertices.size())) {
        return name + "'s vertices run past the " + std::to_string(mesh.vertices.size()) +
               " vertices stored";
    }
    if (RangeLeaves(groupEdges.first, groupEdges.count, edges)) {
        return name + "'s edges run past the " + std::to_string(edges) + " edges stored";
    }
    if (g.textured && RangeLeaves(g.firstTexCoord, g.vertexCount, mesh.texCoords.size())) {
        return name + "'s texture coordinates run past the " +
               std::to_string(mesh.texCoords.size()) + " stored";
    }
    for (uint32_t p = g.firstPolygon; p < g.firstPolygon + g.polygonCount; ++p) {
        for (int k = 0; k < 3; ++k) {
            if (mesh.triangles[p].vertex[k] >= g.vertexCount) {
                return "polygon " + std::to_string(p) + " names vertex " +
                       std::to_string(mesh.triangles[p].vertex[k]) + " of " + name +
                       ", which has " + std::to_string(g.vertexCount);
            }
        }
    }
    return {};
}

std::string NormalProblem(const PMesh& mesh) {
    if (mesh.normals.empty()) {
        return {};
    }
    for (size_t p = 0; p < mesh.triangles.size(); ++p) {
        for (uint16_t n : mesh.triangles[p].normal) {
            if (n >= mesh.normals.size()) {
                return "polygon " + std::to_string(p) + " names normal " + std::to_string(n) +
                       " of the " + std::to_string(mesh.normals.size()) + " stored";
            }
        }
    }
    return {};
}

}  // namespace

size_t PMesh::DrawnTriangleCount() const {
    size_t count = 0;
    for (const PGroup& g : groups) {
        count += g.polygonCount;
    }
    return count;
}

bool ReadPCounts(const uint8_t* data, size_t size, PCounts& counts) {
    ByteCursor in(data, size);
    const Header h = ReadHeader(in);
    counts = {h.vertices, h.polygons, h.groups, h.texCoords};
    return in.Ok() && size >= kHeaderSize;
}

bool DecodePMesh(const uint8_t* data, size_t size, PMesh& mesh, std::string* error) {
    mesh = PMesh{};
    if (size < kHeaderSize) {
        return Refuse(error, "shorter than the 128-byte header", mesh);
    }
    ByteCursor in(data, size);
    const Header h = ReadHeader(in);
    if (h.version != 1 || h.vertexType != 1) {
        return Refuse(error,
                      "version " + std::to_string(h.version) + ", vertex type " +
                          std::to_string(h.vertexType) +
                          " (only version 1 with vertex type 1 is known)",
                      mesh);
    }
    uint64_t gap = 0;
    if (!LengthMatches(h, size, gap)) {
        return Refuse(error,
                      "the length " + std::to_string(size) +
                          " does not match the counts in the header (" +
                          std::to_string(SizeThroughGroups(h)) + " bytes through the groups)",
                      mesh);
    }
    in.Seek(kHeaderSize);
    if (!ReadArrays(in, h, mesh)) {
        return Refuse(error, "a coordinate is not a finite number", mesh);
    }
    mesh.groups.resize(h.groups);
    for (size_t i = 0; i < mesh.groups.size(); ++i) {
        EdgeRange groupEdges;
        mesh.groups[i] = ReadGroup(in, groupEdges);
        const std::string problem = GroupProblem(mesh, mesh.groups[i], groupEdges, h.edges, i);
        if (!problem.empty()) {
            return Refuse(error, problem, mesh);
        }
    }
    const std::string normals = NormalProblem(mesh);
    if (!normals.empty()) {
        return Refuse(error, normals, mesh);
    }
    if (!in.Ok()) {
        return Refuse(error, "cut short", mesh);  // the length check makes this unreachable
    }
    return true;
}
