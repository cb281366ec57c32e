// SPDX-License-Identifier: MIT
#include "models/model_properties.h"

#include "archive/entry_source.h"
#include "models/animation.h"
#include "models/battle_models.h"
#include "models/p_mesh.h"
#include "models/resource.h"
#include "models/scene.h"

namespace {

using Facts = ModelFacts;

void Add(Facts& facts, const std::string& key, const std::string& value) {
    facts.properties.emplace_back(key, value);
}

void Add(Facts& facts, const std::string& key, size_t value) {
    Add(facts, key, std::to_string(value));
}

void DescribeScene(Facts& facts, const ModelEntries& entries, size_t id,
                   const AnimationIndex& animations) {
    ModelScene scene;
    std::string error;
    if (!LoadModelScene(entries, id, scene, &error)) {
        Add(facts, "model", "cannot be read: " + error);
        return;
    }
    const SceneCounts counts = CountScene(scene);
    if (scene.hasSkeleton) {
        Add(facts, "skeleton", scene.skeleton.name);
        Add(facts, "bones", counts.bones);
    }
    Add(facts, "meshes", counts.meshes);
    Add(facts, "polygons", counts.polygons);
    Add(facts, "vertices", counts.vertices);
    Add(facts, "textures", counts.textures);
    if (scene.hasSkeleton) {
        for (const AnimationInfo* a : animations.Fitting(counts.bones)) {
            facts.fittingAnimations.push_back(a->name);
        }
        Add(facts, "animations that fit", facts.fittingAnimations.size());
    }
    facts.warnings = scene.warnings;
    Add(facts, "missing pieces", scene.warnings.size());
}

void DescribeAnimation(Facts& facts, const ModelEntries& entries, size_t id) {
    std::vector<uint8_t> bytes;
    std::string error, warning;
    Animation animation;
    if (!entries.Read(id, bytes, &error) ||
        !DecodeAnimation(bytes.data(), bytes.size(), animation, &error, &warning)) {
        Add(facts, "animation", "cannot be read: " + error);
        return;
    }
    Add(facts, "frames", animation.frames.size());
    Add(facts, "bones", animation.boneCount);
    const char* axes = "xyz";
    Add(facts, "rotation order",
        std::string{axes[animation.order[0]], axes[animation.order[1]], axes[animation.order[2]]});
    if (!warning.empty()) {
        facts.warnings.push_back(warning);
    }
}

}  // namespace

bool IsModelEntry(const std::string& name) {
    for (const char* extension : {".p", ".hrc", ".rsd", ".a"}) {
        if (HasExtension(name, extension)) {
            return true;
        }
    }
    return IsBattleModelEntry(name);
}

ModelFacts DescribeModelEntry(const ModelEntries& entries, size_t id,
                              const AnimationIndex& animations) {
    Facts facts;
    if (HasExtension(entries.Name(id), ".a")) {
        DescribeAnimation(facts, entries, id);
    } else if (IsModelEntry(entries.Name(id))) {
        DescribeScene(facts, entries, id, animations);
    }
    return facts;
}

SourceModelFacts::SourceModelFacts(const IEntrySource& source) : m_source(source) {}

SourceModelFacts::~SourceModelFacts() = default;

ModelFacts SourceModelFacts::Describe(EntryId id) {
    if (!IsModelEntry(m_source.Name(id))) {
        return ModelFacts{};
    }
    if (!m_entries) {
        m_entries = std::make_unique<SourceModelEntries>(m_source);
        m_animations = std::make_unique<AnimationIndex>(*m_entries);
    }
    return DescribeModelEntry(*m_entries, m_source.PositionOf(id), *m_animations);
}
