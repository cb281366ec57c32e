// SPDX-License-Identifier: MIT
#include "formats/camera.h"

#include "platform/byte_cursor.h"

namespace {

// The header a size fits: 0 when the entry is records only, 4 when a leading count
// matches the records after it, none otherwise.
bool FindHeader(const uint8_t* data, size_t size, size_t& header) {
    if (size % kCameraFrameBytes == 0) {
        header = 0;
        return true;
    }
    if (size >= 4 && (size - 4) % kCameraFrameBytes == 0 &&
        LoadLe32(data) == (size - 4) / kCameraFrameBytes) {
        header = 4;
        return true;
    }
    return false;
}

}  // namespace

bool ReadCameraTrack(const uint8_t* data, size_t size, CameraTrack& out, std::string* reason) {
    out = CameraTrack{};
    std::string why;
    size_t header = 0;
    if (data == nullptr || size == 0) {
        why = "the entry is empty";
    } else if (!FindHeader(data, size, header)) {
        why = std::to_string(size) + " bytes is not a whole number of " +
              std::to_string(kCameraFrameBytes) + "-byte frames";
    }
    if (!why.empty()) {
        if (reason) {
            *reason = why;
        }
        return false;
    }
    ByteCursor in(data, size);
    in.Skip(header);
    out.headerBytes = header;
    out.frames.resize((size - header) / kCameraFrameBytes);
    for (CameraFrame& frame : out.frames) {
        for (int32_t& value : frame) {
            value = in.I32();
        }
    }
    return true;
}
