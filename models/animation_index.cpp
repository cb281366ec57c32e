// SPDX-License-Identifier: MIT
#include "models/animation_index.h"

#include "models/animation.h"
#include "models/model_text.h"

AnimationIndex::AnimationIndex(const ModelEntries& entries) {
    std::vector<uint8_t> bytes;
    for (size_t id = 0; id < entries.Count(); ++id) {
        AnimationInfo info;
        info.name = entries.Name(id);
        if (!HasExtension(info.name, ".a")) {
            continue;
        }
        info.id = id;
        Animation animation;
        AnimationHeader header;
        if (!entries.Read(id, bytes, &info.problem)) {
            m_animations.push_back(std::move(info));
            continue;
        }
        if (ReadAnimationHeader(bytes.data(), bytes.size(), header)) {
            info.bones = header.bones;
            info.frames = header.frames;
        }
        DecodeAnimation(bytes.data(), bytes.size(), animation, &info.problem);
        m_animations.push_back(std::move(info));
    }
}

std::vector<const AnimationInfo*> AnimationIndex::Fitting(size_t bones) const {
    std::vector<const AnimationInfo*> fitting;
    for (const AnimationInfo& info : m_animations) {
        if (info.problem.empty() && info.bones == bones) {
            fitting.push_back(&info);
        }
    }
    return fitting;
}

const AnimationInfo* AnimationIndex::Find(std::string_view name) const {
    const std::string wanted = LowerAscii(name);
    for (const AnimationInfo& info : m_animations) {
        const std::string have = LowerAscii(info.name);
        if (have == wanted || have == wanted + ".a") {
            return &info;
        }
    }
    return nullptr;
}
