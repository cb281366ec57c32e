// SPDX-License-Identifier: MIT
#include "models/model_checks.h"

#include "formats/entry_kinds.h"
#include "models/animation.h"
#include "models/p_mesh.h"
#include "models/resource.h"
#include "models/skeleton.h"

namespace {

// Runs a decoder into a throw-away result: "" when it accepts the bytes, else its
// reason after `label`.
template <typename Result, typename Decoder>
std::string Refusal(const char* label, const uint8_t* data, size_t size, Decoder decode) {
    Result result;
    std::string error;
    if (decode(data, size, result, &error)) {
        return "";
    }
    return std::string(label) + ": " + (error.empty() ? "cannot be decoded" : error);
}

// Keeps the kind's name and viewer from the table and adds the check.
void AddCheck(uint8_t type, EntryCheckFunction check) {
    EntryKind row = KindOf(type);
    row.check = check;
    RegisterEntryKind(row);
}

std::string CheckMeshEntry(const uint8_t* data, size_t size) {
    return Refusal<PMesh>("model", data, size, DecodePMesh);
}

std::string CheckSkeletonEntry(const uint8_t* data, size_t size) {
    return Refusal<Skeleton>("skeleton", data, size, DecodeSkeleton);
}

std::string CheckResourceEntry(const uint8_t* data, size_t size) {
    return Refusal<Resource>("resource", data, size, DecodeResource);
}

std::string CheckAnimationEntry(const uint8_t* data, size_t size) {
    return Refusal<Animation>("animation", data, size,
                              [](const uint8_t* d, size_t n, Animation& a, std::string* e) {
                                  return DecodeAnimation(d, n, a, e);
                              });
}

}  // namespace

void RegisterModelChecks() {
    AddCheck(LGP_TYPE_P, CheckMeshEntry);
    AddCheck(LGP_TYPE_HRC, CheckSkeletonEntry);
    AddCheck(LGP_TYPE_A, CheckAnimationEntry);
    RegisterExtensionCheck("rsd", CheckResourceEntry);
}
