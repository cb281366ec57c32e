// SPDX-License-Identifier: MIT
#pragma once
// Entries shown as hex: one line per 16 bytes, and finding bytes in them. Qt-free; the
// hex viewer formats only the lines on screen, so a 64 MiB entry costs nothing to open.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

constexpr size_t kHexBytesPerLine = 16;

// Lines needed for `size` bytes (0 for none).
uint64_t HexLineCount(uint64_t size);

// Line `line` of the data: "00000010  41 42 43 ... 4f  50 ...  ABC...P" -- the offset in
// eight hex digits (more when it needs them), the 16 bytes in hex with a wider gap after
// the eighth, and the bytes as characters, '.' for anything not printable ASCII. A last
// short line is padded so its characters line up with the others. "" past the end.
std::string HexLine(const uint8_t* data, size_t size, uint64_t line);

// What Find looks for: bytes written as hex pairs separated by single spaces ("DE AD"),
// or else the text itself. A single word ("dead") is always text.
struct FindPattern {
    std::vector<uint8_t> bytes;
    bool ignoreCase = false;  // text: ASCII letters match either case
};
FindPattern ParseFindPattern(const std::string& query);

// The first offset at or after `from` where the pattern starts, wrapping round to the
// start; nothing when it is not there (or empty).
std::optional<uint64_t> FindBytes(const uint8_t* data, size_t size, const FindPattern& pattern,
                                  uint64_t from);
