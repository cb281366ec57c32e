// SPDX-License-Identifier: MIT
#include "audio/audio_file.h"

#include <algorithm>
#include <cctype>

#include "platform/byte_cursor.h"

// FLAC, when the build has libsndfile (audio_flac.cpp or its stand-in).
bool EncodeFlac(const int16_t* samples, size_t frames, int channels, int rate,
                std::vector<uint8_t>& out, std::string* error);

namespace {

bool EndsWith(const std::string& path, const char* suffix) {
    const std::string s(suffix);
    if (path.size() < s.size()) {
        return false;
    }
    return std::equal(
        s.begin(), s.end(), path.end() - static_cast<long>(s.size()),
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(b)) == a; });
}

void Append(std::vector<uint8_t>& out, const char* id) {
    out.insert(out.end(), id, id + 4);
}

void Append32(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t b[4];
    StoreLe32(b, v);
    out.insert(out.end(), b, b + 4);
}

void Append16(std::vector<uint8_t>& out, uint16_t v) {
    uint8_t b[2];
    StoreLe16(b, v);
    out.insert(out.end(), b, b + 2);
}

bool EncodeWav(const int16_t* samples, size_t frames, int channels, int rate,
               std::vector<uint8_t>& out, std::string* error) {
    const uint64_t dataBytes = uint64_t{frames} * channels * 2;
    // RIFF sizes are 32-bit: the whole file must stay under 4 GiB.
    if (dataBytes > UINT32_MAX - 36 || channels <= 0 || rate <= 0) {
        if (error) {
            *error = "too long for a WAV file";
        }
        return false;
    }
    out.clear();
    out.reserve(44 + dataBytes);
    Append(out, "RIFF");
    Append32(out, static_cast<uint32_t>(36 + dataBytes));
    Append(out, "WAVE");
    Append(out, "fmt ");
    Append32(out, 16);
    Append16(out, 1);  // PCM
    Append16(out, static_cast<uint16_t>(channels));
    Append32(out, static_cast<uint32_t>(rate));
    Append32(out, static_cast<uint32_t>(rate * channels * 2));
    Append16(out, static_cast<uint16_t>(channels * 2));
    Append16(out, 16);
    Append(out, "data");
    Append32(out, static_cast<uint32_t>(dataBytes));
    const size_t count = frames * static_cast<size_t>(channels);
    for (size_t i = 0; i < count; ++i) {
        Append16(out, static_cast<uint16_t>(samples[i]));
    }
    return true;
}

}  // namespace

bool AudioFileKindFor(const std::string& path, AudioFileKind& kind, std::string* error) {
    if (EndsWith(path, ".wav")) {
        kind = AudioFileKind::Wav;
        return true;
    }
    if (EndsWith(path, ".flac") && FlacAvailable()) {
        kind = AudioFileKind::Flac;
        return true;
    }
    if (error) {
        *error = FlacAvailable() ? "the audio file's name must end in .wav or .flac"
                                 : "the audio file's name must end in .wav (this build writes "
                                   "no FLAC)";
    }
    return false;
}

bool EncodeAudio(AudioFileKind kind, const int16_t* samples, size_t frames, int channels, int rate,
                 std::vector<uint8_t>& out, std::string* error) {
    if (kind == AudioFileKind::Flac) {
        return EncodeFlac(samples, frames, channels, rate, out, error);
    }
    return EncodeWav(samples, frames, channels, rate, out, error);
}
