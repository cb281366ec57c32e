// SPDX-License-Identifier: MIT
#pragma once
// What Verify finds wrong in the pieces of a field model: each mesh, skeleton, resource
// file and animation is decoded on its own, and a refusal is the entry's problem. Whether
// the pieces fit together (a resource naming a missing mesh) is the scene's business,
// not an entry's. Battle and summon entries are known by name only and not checked.

// Puts these checks into the kinds table, which Verify reads: a refusal reads
// "model: <the decoder's reason>" (or "skeleton: ", "resource: ", "animation: "). Each
// front end calls it once at start-up.
void RegisterModelChecks();
