// SPDX-License-Identifier: MIT
#include "formats/other_kinds.h"

#include "formats/camera.h"
#include "formats/tutorial.h"

void CameraProperties(const uint8_t* data, size_t size, PropertyList* out) {
    CameraTrack track;
    std::string reason;
    if (ReadCameraTrack(data, size, track, &reason)) {
        out->emplace_back("frames", std::to_string(track.frames.size()));
        out->emplace_back("frame header", std::to_string(track.headerBytes) + " bytes");
    } else {
        out->emplace_back("frames", "no table: " + reason);
    }
}

void TutorialProperties(const uint8_t* data, size_t size, PropertyList* out) {
    Tutorial tutorial;
    std::string reason;
    const bool ok = ReadTutorial(data, size, tutorial, &reason);
    out->emplace_back("compressed", tutorial.compressed ? "yes"
                                    : ok                ? "no"
                                                        : "unreadable: " + reason);
    out->emplace_back("text runs", std::to_string(tutorial.runs.size()));
}

std::string TutorialCheck(const uint8_t* data, size_t size) {
    Tutorial tutorial;
    std::string reason;
    return ReadTutorial(data, size, tutorial, &reason) ? "" : "tutorial: " + reason;
}
