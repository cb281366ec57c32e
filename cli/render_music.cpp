// SPDX-License-Identifier: MIT
// render of music entries: the sequence played through the synthesizer offline and
// written as WAV or FLAC, one entry to -o FILE or, for --all, every one to DIR.
#include <iostream>

#include "audio/audio_file.h"
#include "audio/synth.h"
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "environment/sound_font.h"
#include "platform/file_output.h"

namespace {

// The SoundFont once per run; empty (reported the first time) when there is none.
const std::string& SoundFont(const CliRequest& request) {
    static bool looked = false;
    static std::string font;
    if (!looked) {
        looked = true;
        std::string error;
        font = FindSoundFont(request.soundFont, &error);
        if (font.empty()) {
            ReportError(request.soundFont.empty() ? request.archive : request.soundFont, error);
        }
    }
    return font;
}

// "theme.mid" -> "theme.wav"; a name without an extension gains one.
std::string WavName(const std::string& entry) {
    const size_t dot = entry.rfind('.');
    return (dot == std::string::npos || dot == 0 ? entry : entry.substr(0, dot)) + ".wav";
}

}  // namespace

bool RenderMusicTo(const CLgpArchive& archive, const CliRequest& request, uint16_t index,
                   const std::string& path) {
    AudioFileKind kind;
    std::string error;
    if (!AudioFileKindFor(path, kind, &error)) {
        ReportError(path, error);
        return false;
    }
    const std::string& font = SoundFont(request);
    if (font.empty()) {
        return false;
    }
    EntryBuffer bytes;
    const uint32_t size = archive.ReadEntry(index, bytes.Address());
    if (!bytes.Valid()) {
        ReportError(request.archive, "cannot read the archive");
        return false;
    }
    std::vector<int16_t> pcm;
    if (!RenderMidi(bytes.Data(), size, font, {}, pcm, &error)) {
        ReportError(request.archive,
                    DescribeEntry(archive, index) + ": cannot render the music: " + error);
        return false;
    }
    std::vector<uint8_t> file;
    const size_t frames = pcm.size() / kSynthChannels;
    if (!EncodeAudio(kind, pcm.data(), frames, kSynthChannels, kSynthSampleRate, file, &error)) {
        ReportError(path, error);
        return false;
    }
    return WriteRenderOutput(archive, path, file);
}

bool RenderMusicToFolder(const CLgpArchive& archive, const CliRequest& request, uint16_t index,
                         std::set<std::string>& written) {
    const std::string file = WavName(archive.GetEntryName(index));
    if (!IsPlainFileName(file) || !written.insert(file).second) {
        ReportError(request.archive,
                    DescribeEntry(archive, index) +
                        (IsPlainFileName(file) ? ": another entry of that name was rendered already"
                                               : ": not a plain file name; refused"));
        return false;
    }
    const std::string path = JoinPath(request.pngPath, file);
    if (!RenderMusicTo(archive, request, index, path)) {
        return false;
    }
    if (!request.quiet) {
        std::cout << JoinPath(request.pngPath, PrintableName(file)) << '\n';
    }
    return true;
}
