// SPDX-License-Identifier: MIT
#pragma once
// Rendered music as file bytes: WAV (16-bit PCM) always, FLAC when the build has
// libsndfile. The bytes go to disk through the platform's atomic writer. Qt-free.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class AudioFileKind { Wav, Flac };

// By the path's extension, ignoring case: ".wav" or ".flac"; false for anything else
// (and for ".flac" in a build without libsndfile), with `error` saying what is offered.
bool AudioFileKindFor(const std::string& path, AudioFileKind& kind, std::string* error);

bool FlacAvailable();

// `frames` interleaved frames of `channels` 16-bit samples at `rate` as a file of
// `kind`; false with `error` when it cannot be encoded.
bool EncodeAudio(AudioFileKind kind, const int16_t* samples, size_t frames, int channels, int rate,
                 std::vector<uint8_t>& out, std::string* error);
