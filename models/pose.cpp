// SPDX-License-Identifier: MIT
#include "models/pose.h"

#include "models/conventions.h"

bool AnimationFits(const Animation& animation, const Skeleton& skeleton) {
    return animation.boneCount == skeleton.bones.size();
}

SkeletonPose PoseSkeleton(const Skeleton& skeleton, const Animation* animation, size_t frame) {
    const AnimationFrame* f = nullptr;
    if (animation && AnimationFits(*animation, skeleton) && frame < animation->frames.size()) {
        f = &animation->frames[frame];
    }
    const std::array<uint8_t, 3> order = animation ? animation->order : std::array<uint8_t, 3>{};
    SkeletonPose pose;
    if (f) {
        pose.rootRotation = BoneRotation(order, f->rootRotation);
        pose.rootTranslation = f->rootTranslation;
    }
    pose.root = TranslationRotation(pose.rootTranslation, pose.rootRotation);
    pose.bones.resize(skeleton.bones.size());
    for (size_t i = 0; i < skeleton.bones.size(); ++i) {
        const int parent = skeleton.bones[i].parent;
        BonePose& bone = pose.bones[i];
        if (f) {
            bone.rotation = BoneRotation(order, f->boneRotations[i]);
        }
        bone.offset = parent < 0 ? Vec3{} : BoneEndOffset(skeleton.bones[parent].length);
        const Mat4& base = parent < 0 ? pose.root : pose.bones[parent].toModel;
        bone.toModel = base * TranslationRotation(bone.offset, bone.rotation);
        bone.joint = TransformPoint(bone.toModel, {});
        bone.end = TransformPoint(bone.toModel, BoneEndOffset(skeleton.bones[i].length));
    }
    return pose;
}
