// SPDX-License-Identifier: MIT
#include "environment/sound_font.h"

#include <fstream>

#include "platform/file_output.h"

namespace {

bool Readable(const std::string& path) {
    std::ifstream in(HostPath(path), std::ios::binary);
    return in.good() && in.peek() != std::ifstream::traits_type::eof();
}

}  // namespace

std::vector<std::string> SoundFontCandidates(const std::string& root) {
    const std::string folder = root + "/usr/share/sounds/sf2/";
    return {folder + "FluidR3_GM.sf2", folder + "TimGM6mb.sf2", folder + "default-GM.sf2"};
}

std::string FindSoundFont(const std::string& chosen, std::string* error, const std::string& root) {
    if (!chosen.empty()) {
        if (Readable(chosen)) {
            return chosen;
        }
        if (error) {
            *error = "cannot read the SoundFont " + chosen;
        }
        return "";
    }
    for (const std::string& candidate : SoundFontCandidates(root)) {
        if (Readable(candidate)) {
            return candidate;
        }
    }
    if (error) {
        *error =
            "no SoundFont found (install timgm6mb-soundfont or fluid-soundfont-gm, or "
            "choose a .sf2 file)";
    }
    return "";
}
