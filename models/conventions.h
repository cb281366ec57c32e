// SPDX-License-Identifier: MIT
#pragma once
// How the game's numbers turn into a posed model. The files give the pieces (hierarchy,
// bone lengths, three angles per bone, a rotation order); how they combine is our own
// reading. Each choice lives in exactly one function below, so that if real data shows
// one wrong, one change here corrects every view and every export.
#include <array>
#include <cstdint>

#include "models/model_math.h"

// A bone's (or the root's) rotation from its three stored angles, in degrees: alpha about
// x, beta about y, gamma about z, multiplied in the animation's order,
// R[order[0]] * R[order[1]] * R[order[2]] (column vectors, so the last applies first).
Quat BoneRotation(const std::array<uint8_t, 3>& order, Vec3 angles);

// Where a bone ends in its own space: bones extend along their local -z.
Vec3 BoneEndOffset(float length);

// The model's space has y pointing down; every view and export turns it by this rotation
// (half a turn about x) so that it stands upright with y up.
Quat UprightRotation();
