// SPDX-License-Identifier: MIT
// Models: decoding and assembling a 2,000-triangle textured model, finding the
// animations of a 10,000-entry archive, and exporting a model with 20 animations to glTF.
// Each is set against the simple way of doing its job, and the ratios are printed last.
#include <benchmark/benchmark.h>

#include <cmath>
#include <map>
#include <string>

#include "archive/lgp_archive.h"
#include "models/animation_index.h"
#include "models/gltf_export.h"
#include "models/scene.h"
#include "tests/models/memory_entries.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/model_builder.h"

namespace {

using namespace lumo::test;
using Entries = std::vector<std::pair<std::string, Bytes>>;

Bytes Text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// A 10 x 5 grid of quads: 100 textured triangles.
PGroupSpec Grid(float z) {
    PGroupSpec g;
    for (int y = 0; y <= 5; ++y) {
        for (int x = 0; x <= 10; ++x) {
            g.vertices.push_back({x * 0.1f, y * 0.1f, z + 0.01f * std::sin(float(x * y))});
            g.uvs.push_back({x / 10.0f, y / 5.0f});
        }
    }
    for (uint16_t y = 0; y < 5; ++y) {
        for (uint16_t x = 0; x < 10; ++x) {
            const uint16_t a = static_cast<uint16_t>(y * 11 + x), b = static_cast<uint16_t>(a + 11);
            g.triangles.push_back({a, static_cast<uint16_t>(a + 1), b});
            g.triangles.push_back({static_cast<uint16_t>(a + 1), static_cast<uint16_t>(b + 1), b});
        }
    }
    return g;
}

// 20 bones, each drawing a 100-triangle mesh with one of 10 textures of 64 x 64.
Entries BigModel(int animations) {
    Entries entries;
    std::vector<HrcBone> bones;
    for (int b = 0; b < 20; ++b) {
        const std::string id = std::to_string(b);
        bones.push_back(
            {"bone" + id, b == 0 ? "root" : "bone" + std::to_string(b - 1), 0.5f, {"R" + id}});
        entries.emplace_back("r" + id + ".rsd",
                             Text(RsdText("M" + id, {"T" + std::to_string(b % 10)})));
        entries.emplace_back("m" + id + ".p", PBuilder().AddGroup(Grid(-0.25f)).Build());
    }
    entries.emplace_back("big.hrc", Text(HrcText("BIG", bones)));
    for (int t = 0; t < 10; ++t) {
        TextureBuilder tex = TextureBuilder::Paletted(64, 64, 1, 16);
        for (uint32_t i = 0; i < 16; ++i) {
            tex.SetColour(0, i, {uint8_t(i * 16), uint8_t(t * 20), 128, 255});
        }
        for (uint32_t y = 0; y < 64; ++y) {
            for (uint32_t x = 0; x < 64; ++x) {
                tex.SetPixel(x, y, (x ^ y) & 15);
            }
        }
        entries.emplace_back("t" + std::to_string(t) + ".tex", tex.Build());
    }
    for (int a = 0; a < animations; ++a) {
        std::vector<AFrame> frames(60);
        for (int f = 0; f < 60; ++f) {
            frames[f].rootTranslation = {0, 0.01f * f, 0};
            frames[f].bones.assign(20, {float(f + a), 0, float(f) * 0.5f});
        }
        entries.emplace_back("anim" + std::to_string(a) + ".a",
                             AnimationFile(20, {1, 0, 2}, frames));
    }
    return entries;
}

std::map<std::string, double> g_times;  // ns per iteration, by benchmark name

void Assemble(benchmark::State& state) {
    MemoryEntries entries(BigModel(0));
    const size_t skeleton = *entries.Find("big.hrc");
    for (auto _ : state) {
        ModelScene scene;
        std::string error;
        LoadModelScene(entries, skeleton, scene, &error);
        std::vector<SceneBatch> batches = SceneBatches(scene);
        PlaceBatches(batches, PoseSkeleton(scene.skeleton, nullptr, 0));
        benchmark::DoNotOptimize(batches.data());
    }
}
BENCHMARK(Assemble)->Name("decode_and_assemble_2000_triangles")->Unit(benchmark::kMillisecond);

// The floor: only reading the bytes of the same entries.
void ReadOnly(benchmark::State& state) {
    MemoryEntries entries(BigModel(0));
    for (auto _ : state) {
        std::vector<uint8_t> bytes;
        for (size_t i = 0; i < entries.Count(); ++i) {
            entries.Read(i, bytes, nullptr);
            benchmark::DoNotOptimize(bytes.data());
        }
    }
}
BENCHMARK(ReadOnly)->Name("read_the_same_entries")->Unit(benchmark::kMillisecond);

// 10,000 entries: 2,500 animations of 1 to 60 bones, the rest small meshes and texts.
const std::string& BigArchive() {
    static TempDir dir;
    static const std::string path = [] {
        LgpWriter writer;
        const Bytes mesh = PBuilder().AddGroup(BoxGroup({0, 0, 0}, {1, 1, 1}, {}, false)).Build();
        for (int i = 0; i < 10000; ++i) {
            const std::string id = std::to_string(i);
            if (i % 4 == 0) {
                writer.Add("a" + id + ".a",
                           AnimationFile(1 + i % 60, {0, 1, 2}, std::vector<AFrame>(8)));
            } else if (i % 4 == 1) {
                writer.Add("m" + id + ".p", mesh);
            } else {
                writer.AddText("r" + id + ".rsd", RsdText("M" + id, {}));
            }
        }
        return dir.Write("char.lgp", writer.Build());
    }();
    return path;
}

void FindAnimations(benchmark::State& state) {
    CLgpArchive archive;
    archive.Load(BigArchive().c_str());
    for (auto _ : state) {
        ArchiveModelEntries entries(archive);
        AnimationIndex index(entries);
        benchmark::DoNotOptimize(index.Fitting(20).size());
    }
}
BENCHMARK(FindAnimations)->Name("find_animations_10000_entries")->Unit(benchmark::kMillisecond);

// The simple way: every entry read by name lookup through the catalogue, one open each.
void FindAnimationsSimply(benchmark::State& state) {
    CLgpArchive archive;
    archive.Load(BigArchive().c_str());
    for (auto _ : state) {
        size_t fitting = 0;
        for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
            if (!HasExtension(archive.GetEntryName(i), ".a")) {
                continue;
            }
            unsigned char* bytes = nullptr;
            const uint32_t size = archive.ReadEntry(i, &bytes);
            Animation a;
            std::string error;
            fitting += DecodeAnimation(bytes, size, a, &error) && a.boneCount == 20;
            free(bytes);
        }
        benchmark::DoNotOptimize(fitting);
    }
}
BENCHMARK(FindAnimationsSimply)
    ->Name("find_animations_one_read_each")
    ->Unit(benchmark::kMillisecond);

struct ExportInput {
    ModelScene scene;
    GltfExportOptions options;
};

const ExportInput& TwentyAnimations() {
    static const ExportInput input = [] {
        ExportInput in;
        MemoryEntries entries(BigModel(20));
        std::string error;
        LoadModelScene(entries, *entries.Find("big.hrc"), in.scene, &error);
        for (int a = 0; a < 20; ++a) {
            NamedAnimation named{"anim" + std::to_string(a) + ".a", {}};
            std::vector<uint8_t> bytes;
            entries.Read(*entries.Find(named.name), bytes, nullptr);
            DecodeAnimation(bytes.data(), bytes.size(), named.animation, &error);
            in.options.animations.push_back(std::move(named));
        }
        return in;
    }();
    return input;
}

void Export(benchmark::State& state) {
    const ExportInput& in = TwentyAnimations();
    for (auto _ : state) {
        std::string error;
        benchmark::DoNotOptimize(ExportGlb(in.scene, in.options, &error).data());
    }
}
BENCHMARK(Export)->Name("gltf_export_20_animations")->Unit(benchmark::kMillisecond);

// The floor: the triangles and every frame's rotations copied out, no file around them.
void ExportRaw(benchmark::State& state) {
    const ExportInput& in = TwentyAnimations();
    for (auto _ : state) {
        std::vector<float> out;
        for (const SceneBatch& b : SceneBatches(in.scene)) {
            for (const SceneVertex& v : b.vertices) {
                out.insert(out.end(), {v.position.x, v.position.y, v.position.z, v.normal.x,
                                       v.normal.y, v.normal.z, v.uv[0], v.uv[1]});
            }
        }
        for (const NamedAnimation& a : in.options.animations) {
            for (const AnimationFrame& f : a.animation.frames) {
                for (const Vec3& r : f.boneRotations) {
                    out.insert(out.end(), {r.x, r.y, r.z});
                }
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(ExportRaw)->Name("copy_the_same_arrays")->Unit(benchmark::kMillisecond);

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            g_times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const char* pairs[][2] = {
        {"decode_and_assemble_2000_triangles", "read_the_same_entries"},
        {"find_animations_10000_entries", "find_animations_one_read_each"},
        {"gltf_export_20_animations", "copy_the_same_arrays"},
    };
    for (const auto& pair : pairs) {
        if (g_times.count(pair[0]) && g_times.count(pair[1]) && g_times[pair[1]] > 0) {
            std::printf("%s / %s: %.2f\n", pair[0], pair[1], g_times[pair[0]] / g_times[pair[1]]);
        }
    }
    benchmark::Shutdown();
    return 0;
}
