// SPDX-License-Identifier: MIT
// Reads arbitrary bytes as a camera track and as a tutorial. A camera table exists only
// when the size fits the frame layout exactly; every tutorial text run lies inside the
// decoded bytes and ends on the string terminator.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "formats/camera.h"
#include "formats/tutorial.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CameraTrack track;
    std::string reason;
    if (ReadCameraTrack(data, size, track, &reason)) {
        if (track.headerBytes + track.frames.size() * kCameraFrameBytes != size) {
            abort();
        }
    } else if (reason.empty() || !track.frames.empty()) {
        abort();
    }
    Tutorial tutorial;
    ReadTutorial(data, size, tutorial, &reason);
    for (const TutorialText& run : tutorial.runs) {
        if (run.offset + run.length > tutorial.bytes.size() ||
            tutorial.bytes[run.offset + run.length - 1] != 0xFF ||
            run.text.size() < kMinTutorialRun) {
            abort();
        }
    }
    return 0;
}
