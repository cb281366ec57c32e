// SPDX-License-Identifier: MIT
#pragma once
// Menu tutorials (.tut): a short byte code of menu commands with the text of its boxes
// embedded. The commands are not decoded; the text runs are found and shown in the
// game's own encoding. Qt-free; never reads outside the span.
//
// The game's text: bytes 0x00-0x5E are the characters ' ' to '~', 0xFE starts a
// two-byte function code (a colour, a pause), 0xFF ends a string. A text run here is
// at least kMinTutorialRun characters with a letter among them, ended by 0xFF; anything
// shorter is more likely command bytes that happen to fall in the character range.
//
// An entry may be LZSS-compressed as field files are: it is decoded first when its
// first u32 equals its size minus 4, and only then.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t kMinTutorialRun = 3;

struct TutorialText {
    size_t offset = 0;  // of the run's first byte, in the decoded bytes
    size_t length = 0;  // bytes, the closing 0xFF included
    std::string text;   // ASCII; function codes as "{FE xx}"
};

struct Tutorial {
    bool compressed = false;
    std::vector<uint8_t> bytes;  // decoded when compressed, else as stored
    std::vector<TutorialText> runs;
};

// Decodes `data` (when compressed) and finds its text runs. False with `reason` only
// when the compressed stream does not decode whole; `out.bytes` then holds the stored
// bytes and the runs found in them.
bool ReadTutorial(const uint8_t* data, size_t size, Tutorial& out, std::string* reason);

// The text runs in `data`, as above.
std::vector<TutorialText> FindTutorialText(const uint8_t* data, size_t size);
