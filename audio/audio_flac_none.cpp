// SPDX-License-Identifier: MIT
// A build without libsndfile writes WAV only.
#include <cstdint>
#include <string>
#include <vector>

bool FlacAvailable() {
    return false;
}

bool EncodeFlac(const int16_t*, size_t, int, int, std::vector<uint8_t>&, std::string* error) {
    if (error) {
        *error = "this build writes no FLAC";
    }
    return false;
}
