// SPDX-License-Identifier: MIT
#pragma once
// Which General MIDI SoundFont plays the music: the user's own when one is chosen,
// otherwise the largest of Debian's that is installed (fluid-soundfont-gm's
// FluidR3_GM.sf2 sounds best), then timgm6mb-soundfont's small TimGM6mb.sf2, then
// whatever the system's default-GM.sf2 link names. No Qt.
#include <string>
#include <vector>

// The installed SoundFonts looked for, best first, under `root` ("" for the real
// system; tests give a folder of their own).
std::vector<std::string> SoundFontCandidates(const std::string& root = "");

// `chosen` when it is a readable file; with no choice the first candidate that is.
// Empty, with `error`, when there is none: the reason names what was looked for.
std::string FindSoundFont(const std::string& chosen, std::string* error,
                          const std::string& root = "");
