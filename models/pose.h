// SPDX-License-Identifier: MIT
#pragma once
// Poses a skeleton for one frame of an animation: each bone's transform from its own
// space (origin at its joint) to the model's space, before the upright turn.
#include <vector>

#include "models/animation.h"
#include "models/model_math.h"
#include "models/skeleton.h"

struct BonePose {
    Quat rotation;    // the bone's own rotation, relative to its parent's end
    Vec3 offset;      // where its joint sits in the parent's space (the root's: 0)
    Mat4 toModel;     // bone space -> model space
    Vec3 joint, end;  // in model space
};

struct SkeletonPose {
    Quat rootRotation;
    Vec3 rootTranslation;
    Mat4 root;  // Translate(root translation) * Rotate(root rotation)
    std::vector<BonePose> bones;
};

// The pose at `frame` of `animation`; the rest pose (every rotation 0, no translation)
// when `animation` is null, does not fit the skeleton, or has no such frame.
SkeletonPose PoseSkeleton(const Skeleton& skeleton, const Animation* animation, size_t frame);

// Whether an animation can be applied to a skeleton: one rotation per bone.
bool AnimationFits(const Animation& animation, const Skeleton& skeleton);
