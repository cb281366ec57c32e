// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to what the text and hex viewers make of an entry: the text
// test, line endings, every hex line, and Find with a query taken from the input's first
// bytes. Everything must end and stay inside the bytes; a found offset must hold the
// pattern.
#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "formats/hex.h"
#include "formats/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t querySize = size == 0 ? 0 : std::min<size_t>(data[0] % 16, size - 1);
    const std::string query(reinterpret_cast<const char*>(data) + (size ? 1 : 0), querySize);
    const uint8_t* bytes = data + (size ? 1 : 0) + querySize;
    const size_t count = size - (size ? 1 : 0) - querySize;

    LooksLikeText(bytes, count);
    NormaliseLineEndings(bytes, count);
    const uint64_t lines = HexLineCount(count);
    for (uint64_t line = 0; line <= lines; ++line) {
        if (HexLine(bytes, count, line).empty() != (line == lines)) {
            std::abort();
        }
    }
    const FindPattern pattern = ParseFindPattern(query);
    const auto found = FindBytes(bytes, count, pattern, count ? bytes[0] % count : 0);
    if (found) {
        if (*found + pattern.bytes.size() > count) {
            std::abort();
        }
        for (size_t i = 0; i < pattern.bytes.size(); ++i) {
            const uint8_t a = bytes[*found + i];
            const uint8_t b = pattern.bytes[i];
            if (a != b && !(pattern.ignoreCase && std::tolower(a) == std::tolower(b))) {
                std::abort();
            }
        }
    }
    return 0;
}
