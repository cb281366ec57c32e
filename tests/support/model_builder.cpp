// SPDX-License-Identifier: MIT
#include "tests/support/model_builder.h"

#include <cmath>
#include <cstring>

namespace lumo::test {
namespace {

void Put32(Bytes& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}

void Put16(Bytes& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutFloat(Bytes& out, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    Put32(out, bits);
}

void PutFloats(Bytes& out, const Float3& v) {
    for (float f : v) {
        PutFloat(out, f);
    }
}

}  // namespace

PBuilder& PBuilder::AddGroup(const PGroupSpec& group) {
    groups_.push_back(group);
    return *this;
}
PBuilder& PBuilder::SetNormals(const std::vector<Float3>& normals) {
    normals_ = normals;
    return *this;
}
PBuilder& PBuilder::SetGap(bool gap) {
    gap_ = gap;
    return *this;
}
PBuilder& PBuilder::SetNormalTable(bool table) {
    table_ = table;
    return *this;
}
PBuilder& PBuilder::Set(size_t offset, uint32_t value) {
    overrides_.emplace_back(offset, value);
    return *this;
}

Bytes PBuilder::Build() const {
    uint32_t vertices = 0, uvs = 0, polygons = 0;
    for (const PGroupSpec& g : groups_) {
        vertices += static_cast<uint32_t>(g.vertices.size());
        uvs += static_cast<uint32_t>(g.uvs.size());
        polygons += static_cast<uint32_t>(g.triangles.size());
    }
    const uint32_t edges = 0, boxes = 1;
    Bytes out;
    for (uint32_t v :
         {1u, 1u, 1u, vertices, static_cast<uint32_t>(normals_.size()), 0u, uvs, vertices, edges,
          polygons, 0u, 0u, 1u, static_cast<uint32_t>(groups_.size()), boxes, table_ ? 1u : 0u}) {
        Put32(out, v);
    }
    out.resize(kPHeaderSize, 0xCD);  // run-time scratch: junk a reader must skip
    for (const PGroupSpec& g : groups_) {
        for (const Float3& v : g.vertices) {
            PutFloats(out, v);
        }
    }
    for (const Float3& n : normals_) {
        PutFloats(out, n);
    }
    for (const PGroupSpec& g : groups_) {
        for (const auto& uv : g.uvs) {
            PutFloat(out, uv[0]);
            PutFloat(out, uv[1]);
        }
    }
    for (const PGroupSpec& g : groups_) {
        for (size_t i = 0; i < g.vertices.size(); ++i) {
            out.insert(out.end(), {g.colour.b, g.colour.g, g.colour.r, g.colour.a});
        }
    }
    for (uint32_t p = 0; p < polygons; ++p) {
        out.insert(out.end(), {0x80, 0x80, 0x80, 0xFF});  // polygon colours
    }
    uint16_t normal = 0;
    for (const PGroupSpec& g : groups_) {
        for (const auto& t : g.triangles) {
            Put16(out, 0);
            for (uint16_t v : t) {
                Put16(out, v);
            }
            for (int k = 0; k < 3; ++k) {
                Put16(out,
                      normals_.empty() ? 0 : static_cast<uint16_t>(normal++ % normals_.size()));
            }
            for (int k = 0; k < 3; ++k) {
                Put16(out, 0);
            }
            out.insert(out.end(), {0x0C, 0xFC, 0xEA, 0x00});
        }
    }
    out.insert(out.end(), 100, 0);  // one render-state record
    uint32_t firstPolygon = 0, firstVertex = 0, firstUv = 0;
    for (const PGroupSpec& g : groups_) {
        const bool textured = !g.uvs.empty();
        for (uint32_t v :
             {textured ? 2u : 1u, firstPolygon, static_cast<uint32_t>(g.triangles.size()),
              firstVertex, static_cast<uint32_t>(g.vertices.size()), 0u, 0u, 0u, 0u, 0u, 0u,
              firstUv, textured ? 1u : 0u, g.textureNumber}) {
            Put32(out, v);
        }
        firstPolygon += static_cast<uint32_t>(g.triangles.size());
        firstVertex += static_cast<uint32_t>(g.vertices.size());
        firstUv += static_cast<uint32_t>(g.uvs.size());
    }
    if (gap_) {
        Put32(out, 0);
    }
    out.insert(out.end(), 24 * boxes, 0);
    if (table_) {
        out.insert(out.end(), 4 * size_t{vertices}, 0);
    }
    for (const auto& [offset, value] : overrides_) {
        for (int i = 0; i < 4 && offset + i < out.size(); ++i) {
            out[offset + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    }
    return out;
}

PGroupSpec BoxGroup(Float3 c, Float3 h, Bgra colour, bool textured) {
    PGroupSpec g;
    g.colour = colour;
    for (int i = 0; i < 8; ++i) {
        g.vertices.push_back({c[0] + ((i & 1) ? h[0] : -h[0]), c[1] + ((i & 2) ? h[1] : -h[1]),
                              c[2] + ((i & 4) ? h[2] : -h[2])});
        if (textured) {
            g.uvs.push_back({(i & 1) ? 1.0f : 0.0f, (i & 2) ? 1.0f : 0.0f});
        }
    }
    g.triangles = {{0, 2, 1}, {1, 2, 3}, {4, 5, 6}, {5, 7, 6}, {0, 1, 4}, {1, 5, 4},
                   {2, 6, 3}, {3, 6, 7}, {0, 4, 2}, {2, 4, 6}, {1, 3, 5}, {3, 7, 5}};
    return g;
}

std::string HrcText(const std::string& skeleton, const std::vector<HrcBone>& bones) {
    std::string text = ":HEADER_BLOCK 2\r\n:SKELETON " + skeleton + "\r\n:BONES " +
                       std::to_string(bones.size()) + "\r\n\r\n";
    for (const HrcBone& b : bones) {
        char length[32];
        std::snprintf(length, sizeof length, "%g", static_cast<double>(b.length));
        text += b.name + "\r\n" + b.parent + "\r\n" + length + "\r\n" +
                std::to_string(b.resources.size());
        for (const std::string& r : b.resources) {
            text += " " + r;
        }
        text += "\r\n\r\n";
    }
    return text;
}

std::string RsdText(const std::string& ply, const std::vector<std::string>& textures) {
    std::string text = "@RSD940102\n# written by the test builders\nPLY=" + ply +
                       ".PLY\nMAT=" + ply + ".MAT\nGRP=" + ply +
                       ".GRP\nNTEX=" + std::to_string(textures.size()) + "\n";
    for (size_t i = 0; i < textures.size(); ++i) {
        text += "TEX[" + std::to_string(i) + "]=" + textures[i] + ".TIM\n";
    }
    return text;
}

Bytes AnimationFile(uint32_t bones, std::array<uint8_t, 3> order,
                    const std::vector<AFrame>& frames) {
    Bytes out;
    Put32(out, 1);
    Put32(out, static_cast<uint32_t>(frames.size()));
    Put32(out, bones);
    out.insert(out.end(), {order[0], order[1], order[2], 0});
    out.insert(out.end(), 20, 0xEE);  // run-time values
    for (const AFrame& f : frames) {
        PutFloats(out, f.rootRotation);
        PutFloats(out, f.rootTranslation);
        for (uint32_t b = 0; b < bones; ++b) {
            PutFloats(out, b < f.bones.size() ? f.bones[b] : Float3{});
        }
    }
    return out;
}

std::vector<std::pair<std::string, Bytes>> DemoModelEntries(int animations, int frames) {
    std::vector<std::pair<std::string, Bytes>> entries;
    auto text = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    entries.emplace_back("demo.hrc", text(HrcText("DEMO", {{"hip", "root", 0.5f, {"DEMA"}},
                                                           {"chest", "hip", 0.8f, {"DEMB"}},
                                                           {"head", "chest", 0.4f, {"DEMC"}}})));
    entries.emplace_back("dema.rsd", text(RsdText("DEMD", {})));
    entries.emplace_back("demb.rsd", text(RsdText("DEME", {"DEMG"})));
    entries.emplace_back("demc.rsd", text(RsdText("DEMF", {"DEMG"})));
    entries.emplace_back("demd.p", PBuilder()
                                       .AddGroup(BoxGroup({0, 0, -0.25f}, {0.3f, 0.2f, 0.25f},
                                                          {40, 40, 200, 255}, false))
                                       .Build());
    entries.emplace_back("deme.p", PBuilder()
                                       .AddGroup(BoxGroup({0, 0, -0.4f}, {0.35f, 0.2f, 0.4f},
                                                          {255, 255, 255, 255}, true))
                                       .Build());
    entries.emplace_back("demf.p", PBuilder()
                                       .AddGroup(BoxGroup({0, 0, -0.2f}, {0.2f, 0.2f, 0.2f},
                                                          {200, 220, 255, 255}, true))
                                       .Build());
    TextureBuilder tex = TextureBuilder::Paletted(16, 16, 1, 4);
    tex.SetColour(0, 0, {0, 0, 0, 255}).SetColour(0, 1, {30, 120, 230, 255});
    tex.SetColour(0, 2, {230, 200, 60, 255}).SetColour(0, 3, {60, 60, 60, 255}).SetColourKey(true);
    for (uint32_t y = 0; y < 16; ++y) {
        for (uint32_t x = 0; x < 16; ++x) {
            tex.SetPixel(x, y, (x == 0 || y == 0) ? 0 : 1 + (x / 4 + y / 4) % 3);
        }
    }
    entries.emplace_back("demg.tex", tex.Build());
    for (int a = 0; a < animations; ++a) {
        std::vector<AFrame> anim;
        for (int f = 0; f < frames; ++f) {
            const float t = 6.2831853f * static_cast<float>(f) / static_cast<float>(frames);
            const float swing = 20.0f * std::sin(t + static_cast<float>(a));
            anim.push_back({{-90, swing, 0},
                            {0, 0.05f * std::sin(2 * t), 0},
                            {{swing, 0, 0}, {0, 0, swing}, {-swing, swing, 0}}});
        }
        entries.emplace_back("demo" + std::to_string(a) + ".a", AnimationFile(3, {1, 0, 2}, anim));
    }
    return entries;
}

}  // namespace lumo::test
