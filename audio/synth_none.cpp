// SPDX-License-Identifier: MIT
// A build without FluidSynth reads music entries but cannot play them.
#include "audio/synth.h"

bool SynthAvailable() {
    return false;
}

std::unique_ptr<MidiSynth> MidiSynth::Open(const uint8_t*, size_t, const std::string&,
                                           std::string* error) {
    if (error) {
        *error = "this build has no synthesizer (FluidSynth)";
    }
    return nullptr;
}
