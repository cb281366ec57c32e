// SPDX-License-Identifier: MIT
#include "viewers/audio_output.h"

#include "viewers/viewer_modules.h"

const AudioOutputModule* LoadAudioOutput(QString* error) {
    auto entry = reinterpret_cast<AudioOutputModuleCall>(
        ResolveViewerModule(kAudioOutputModule, kAudioOutputSymbol, error));
    return entry != nullptr ? entry() : nullptr;
}
