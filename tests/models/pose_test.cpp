// SPDX-License-Identifier: MIT
// Posing: joint positions of a three-bone chain worked out by hand, the rotation order,
// and the rest pose for animations that do not apply.
#include <gtest/gtest.h>

#include "models/conventions.h"
#include "models/pose.h"
#include "models/scene.h"

namespace {

void ExpectNear(Vec3 got, Vec3 want, const std::string& what) {
    EXPECT_NEAR(got.x, want.x, 1e-5) << what;
    EXPECT_NEAR(got.y, want.y, 1e-5) << what;
    EXPECT_NEAR(got.z, want.z, 1e-5) << what;
}

Skeleton Chain() {
    Skeleton s;
    s.bones = {{"hip", -1, 1, {}}, {"chest", 0, 2, {}}, {"head", 1, 1, {}}};
    return s;
}

Animation OneFrame(std::array<uint8_t, 3> order, Vec3 root, std::vector<Vec3> bones) {
    Animation a;
    a.boneCount = static_cast<uint32_t>(bones.size());
    a.order = order;
    a.frames.push_back({{}, root, std::move(bones)});
    return a;
}

// Hip turned 90 degrees about y points its -z axis along -x; the chest turned 90 about x
// points along +y (model space, y down), and the head follows it.
TEST(Pose, ThreeBoneChainJointsByHand) {
    const Animation a = OneFrame({0, 1, 2}, {10, 0, 0}, {{0, 90, 0}, {90, 0, 0}, {0, 0, 0}});
    const SkeletonPose pose = PoseSkeleton(Chain(), &a, 0);
    ExpectNear(pose.bones[0].joint, {10, 0, 0}, "hip");
    ExpectNear(pose.bones[1].joint, {9, 0, 0}, "chest");
    ExpectNear(pose.bones[2].joint, {9, 2, 0}, "head");
    ExpectNear(pose.bones[2].end, {9, 3, 0}, "head end");
}

TEST(Pose, RotationOrderPicksWhichAngleAppliesFirst) {
    const struct {
        std::array<uint8_t, 3> order;
        Vec3 end;
    } cases[] = {
        {{0, 1, 2}, {-1, 0, 0}},  // Rx * Ry: y first takes -z to -x, x leaves it
        {{1, 0, 2}, {0, 1, 0}},   // Ry * Rx: x first takes -z to +y, y leaves it
    };
    Skeleton one;
    one.bones = {{"bone", -1, 1, {}}};
    for (const auto& c : cases) {
        const Animation a = OneFrame(c.order, {}, {{90, 90, 0}});
        ExpectNear(PoseSkeleton(one, &a, 0).bones[0].end, c.end,
                   std::to_string(c.order[0]) + std::to_string(c.order[1]));
    }
}

TEST(Pose, RestPoseWhenTheAnimationDoesNotApply) {
    const Animation twoBones = OneFrame({0, 1, 2}, {5, 5, 5}, {{0, 90, 0}, {90, 0, 0}});
    const Animation fits = OneFrame({0, 1, 2}, {5, 5, 5}, {{0, 90, 0}, {90, 0, 0}, {0, 0, 0}});
    const struct {
        const char* name;
        const Animation* animation;
        size_t frame;
    } cases[] = {
        {"none", nullptr, 0}, {"wrong bone count", &twoBones, 0}, {"no such frame", &fits, 1}};
    for (const auto& c : cases) {
        const SkeletonPose pose = PoseSkeleton(Chain(), c.animation, c.frame);
        ExpectNear(pose.bones[2].end, {0, 0, -4}, c.name);
    }
}

TEST(Pose, PlacedVerticesStandUpright) {
    const Animation a = OneFrame({0, 1, 2}, {0, 0, 0}, {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}});
    std::vector<SceneBatch> batches(1);
    batches[0].bone = 1;
    batches[0].vertices.resize(1);
    batches[0].vertices[0].position = {0, -1, 0};  // one unit above the chest's joint
    batches[0].vertices[0].normal = {0, -1, 0};
    PlaceBatches(batches, PoseSkeleton(Chain(), &a, 0));
    ExpectNear(batches[0].vertices[0].position, {0, 1, 1}, "upright position");
    ExpectNear(batches[0].vertices[0].normal, {0, 1, 0}, "upright normal");
}

}  // namespace
