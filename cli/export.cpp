// SPDX-License-Identifier: MIT
// export: a model as binary glTF. A skeleton goes out with its meshes, textures, a skin
// and the animations asked for, or posed still with --pose; a mesh or a resource as a
// static mesh; --all-models writes every skeleton of the archive to a folder.
#include <filesystem>
#include <iostream>
#include <memory>
#include <system_error>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/progress.h"
#include "models/animation_index.h"
#include "models/gltf_export.h"
#include "models/model_entries.h"
#include "models/scene.h"
#include "platform/file_output.h"

namespace {

struct ExportContext {
    const IEntrySource& source;
    const CliRequest& request;
    SourceModelEntries entries;
    std::unique_ptr<AnimationIndex> animations;  // found when first needed

    const AnimationIndex& Animations() {
        if (!animations) {
            animations = std::make_unique<AnimationIndex>(entries);
        }
        return *animations;
    }
};

// Reads and decodes the animation entry `name` for `scene`'s skeleton.
bool LoadAnimation(ExportContext& context, const ModelScene& scene, const std::string& name,
                   NamedAnimation& out, std::string* error) {
    const AnimationInfo* info = context.Animations().Find(name);
    if (!info) {
        *error = "no animation entry named " + name;
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!context.entries.Read(info->id, bytes, error) ||
        !DecodeAnimation(bytes.data(), bytes.size(), out.animation, error)) {
        *error = info->name + ": " + *error;
        return false;
    }
    if (!AnimationFits(out.animation, scene.skeleton)) {
        *error = info->name + " animates " + std::to_string(out.animation.boneCount) +
                 " bones; the skeleton has " + std::to_string(scene.skeleton.bones.size());
        return false;
    }
    out.name = info->name;
    return true;
}

// --pose NAME[:FRAME] or --pose rest.
bool LoadPose(ExportContext& context, const ModelScene& scene, const std::string& asked,
              GltfExportOptions& options, std::string* error) {
    if (asked == "rest") {
        options.pose = PoseSkeleton(scene.skeleton, nullptr, 0);
        return true;
    }
    std::string name = asked;
    size_t frame = 0;
    const size_t colon = asked.rfind(':');
    if (colon != std::string::npos && colon + 1 < asked.size() && asked.size() - colon <= 10 &&
        asked.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
        name = asked.substr(0, colon);
        frame = std::stoul(asked.substr(colon + 1));
    }
    NamedAnimation animation;
    if (!LoadAnimation(context, scene, name, animation, error)) {
        return false;
    }
    if (frame >= animation.animation.frames.size()) {
        *error = animation.name + " has " + std::to_string(animation.animation.frames.size()) +
                 " frames; there is no frame " + std::to_string(frame);
        return false;
    }
    options.pose = PoseSkeleton(scene.skeleton, &animation.animation, frame);
    return true;
}

bool ChooseAnimations(ExportContext& context, const ModelScene& scene, GltfExportOptions& options,
                      std::string* error) {
    const CliRequest& request = context.request;
    if (request.pose) {
        return LoadPose(context, scene, *request.pose, options, error);
    }
    std::vector<std::string> names = request.animations;
    if (request.allAnimations && scene.hasSkeleton) {
        for (const AnimationInfo* info :
             context.Animations().Fitting(scene.skeleton.bones.size())) {
            names.push_back(info->name);
        }
    }
    if ((request.allAnimations || !names.empty()) && !scene.hasSkeleton) {
        *error = "animations go with a skeleton (.hrc); this entry has none";
        return false;
    }
    for (const std::string& name : names) {
        NamedAnimation animation;
        if (!LoadAnimation(context, scene, name, animation, error)) {
            return false;
        }
        if (animation.animation.frames.empty()) {
            std::cerr << kErrorPrefix << animation.name << ": no frames; left out\n";
            continue;
        }
        options.animations.push_back(std::move(animation));
    }
    return true;
}

// One model to `path`; false (reported) when it cannot be written.
bool ExportEntry(ExportContext& context, EntryId id, const std::string& path) {
    const std::string subject = DescribeEntry(context.source, id);
    ModelScene scene;
    std::string error;
    if (!LoadModelScene(context.entries, context.source.PositionOf(id), scene, &error)) {
        ReportError(context.request.archive, subject + ": " + error);
        return false;
    }
    for (const std::string& warning : scene.warnings) {
        ReportError(context.request.archive, subject + ": " + warning);
    }
    GltfExportOptions options;
    options.name = context.source.Name(id);
    if (!ChooseAnimations(context, scene, options, &error)) {
        ReportError(context.request.archive, subject + ": " + error);
        return false;
    }
    const std::vector<uint8_t> glb = ExportGlb(scene, options, &error);
    if (glb.empty()) {
        ReportError(context.request.archive, subject + ": " + error);
        return false;
    }
    if (!WriteRenderOutput(context.source.ArchiveIdentity(), path, glb)) {
        return false;
    }
    if (!context.request.quiet && path != "-") {  // "-" was standard output itself
        std::cout << PrintableName(path) << '\t' << glb.size() << '\n';
    }
    return true;
}

int ExportAll(ExportContext& context) {
    const CliRequest& request = context.request;
    std::vector<EntryId> skeletons;
    for (size_t i = 0; i < context.source.Count(); ++i) {
        const EntryId id = context.source.IdAt(i);
        if (HasExtension(context.source.Name(id), ".hrc")) {
            skeletons.push_back(id);
        }
    }
    if (skeletons.empty()) {
        ReportError(request.archive, "no skeleton (.hrc) entries to export");
        return kExitFailure;
    }
    std::error_code ec;
    std::filesystem::create_directories(HostPath(request.exportPath), ec);
    if (!std::filesystem::is_directory(HostPath(request.exportPath), ec)) {
        ReportError(request.exportPath, "cannot create folder");
        return kExitFailure;
    }
    bool ok = true;
    Progress progress(request.verbose, skeletons.size());
    for (EntryId id : skeletons) {
        std::string name = context.source.Name(id);
        name = name.substr(0, name.size() - 4) + ".glb";
        if (!IsPlainFileName(name)) {
            ReportError(request.archive,
                        DescribeEntry(context.source, id) + ": not a plain file name");
            ok = false;
        } else {
            ok = ExportEntry(context, id, JoinPath(request.exportPath, name)) && ok;
        }
        progress.Step();
    }
    return ok ? kExitOk : kExitFailure;
}

}  // namespace

int RunExport(const CliRequest& request) {
    const EntrySourcePtr source = OpenSource(request.archive);
    if (!source) {
        return kExitFailure;
    }
    ExportContext context{*source, request, SourceModelEntries(*source), nullptr};
    if (request.allModels) {
        return ExportAll(context);
    }
    const std::optional<EntryId> id = FindEntry(*source, request.entries.front());
    if (!id) {
        ReportError(request.archive, NoEntryProblem(*source, request.entries.front()));
        return kExitFailure;
    }
    return ExportEntry(context, *id, request.exportPath) ? kExitOk : kExitFailure;
}
