// SPDX-License-Identifier: MIT
#pragma once
// What Properties and lumo-cli's info say about a model entry, worked out once for both:
// for a skeleton its bones, meshes, polygons, vertices, textures and the animations that
// fit it; for a mesh, a resource or an animation what its file holds, or why it cannot
// be read.
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "models/animation_index.h"
#include "models/model_entries.h"

struct ModelFacts {
    std::vector<std::pair<std::string, std::string>> properties;  // in display order
    std::vector<std::string> fittingAnimations;                   // skeletons: entry names
    std::vector<std::string> warnings;                            // pieces missing
};

// Whether an entry name is one of the model kinds (.p, .hrc, .rsd, .a).
bool IsModelEntry(const std::string& name);

// The facts of entry `id`; `animations` is the archive's index, found once by the caller.
ModelFacts DescribeModelEntry(const ModelEntries& entries, size_t id,
                              const AnimationIndex& animations);

class IEntrySource;
struct EntryId;

// What Properties and info add for the entries of one source: the facts of each model
// entry, nothing for the others. The source's models and animations are found once, when
// the first model entry asks. The source must outlive this.
class SourceModelFacts {
public:
    explicit SourceModelFacts(const IEntrySource& source);
    ~SourceModelFacts();
    ModelFacts Describe(EntryId id);

private:
    const IEntrySource& m_source;
    std::unique_ptr<SourceModelEntries> m_entries;
    std::unique_ptr<AnimationIndex> m_animations;
};
