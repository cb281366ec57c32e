// SPDX-License-Identifier: MIT
#pragma once
// Small painted scenes turned into field files the way the game's own are made: each
// picture layer is cut into 16x16 tiles with one palette each, identical tiles share a
// square of a texture page, and the layers go into the two tile lists.
#include <string>
#include <vector>

#include "tests/support/field_builder.h"

namespace lumo::test {

struct DemoField {
    std::string name;  // entry name in the field archive
    Bytes file;        // the field file, not yet compressed
};

// A daytime house on a hill (320 x 240), a lake at dusk (480 x 360) and a yard at night
// (336 x 200, whose lights-on house is a second set of tiles carrying the skip flag).
std::vector<DemoField> DemoFields();

}  // namespace lumo::test
