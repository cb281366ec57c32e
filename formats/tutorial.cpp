// SPDX-License-Identifier: MIT
#include "formats/tutorial.h"

#include <cctype>

#include "archive/lzss.h"
#include "platform/byte_cursor.h"

namespace {

constexpr uint8_t kLastCharacter = 0x5E;
constexpr uint8_t kFunction = 0xFE;
constexpr uint8_t kEnd = 0xFF;

char Hex(unsigned v) {
    return "0123456789ABCDEF"[v & 0xF];
}

// The run that starts at `start`, or an empty text when none ends there.
TutorialText RunAt(const uint8_t* data, size_t size, size_t start, size_t& next) {
    TutorialText run{start, 0, {}};
    size_t chars = 0;
    bool letter = false;
    size_t i = start;
    while (i < size) {
        const uint8_t b = data[i];
        if (b <= kLastCharacter) {
            const char c = static_cast<char>(b + 0x20);
            run.text += c;
            letter = letter || std::isalpha(static_cast<unsigned char>(c));
            ++chars;
            ++i;
        } else if (b == kFunction && i + 1 < size) {
            run.text += std::string("{FE ") + Hex(data[i + 1] >> 4) + Hex(data[i + 1]) + "}";
            i += 2;
        } else {
            break;
        }
    }
    next = i > start ? i : start + 1;
    if (i < size && data[i] == kEnd && chars >= kMinTutorialRun && letter) {
        run.length = i + 1 - start;
        next = i + 1;
        return run;
    }
    run.text.clear();
    return run;
}

}  // namespace

std::vector<TutorialText> FindTutorialText(const uint8_t* data, size_t size) {
    std::vector<TutorialText> runs;
    if (data == nullptr) {
        return runs;
    }
    size_t i = 0;
    while (i < size) {
        size_t next = i + 1;
        TutorialText run = RunAt(data, size, i, next);
        if (!run.text.empty()) {
            runs.push_back(std::move(run));
        }
        i = next;
    }
    return runs;
}

bool ReadTutorial(const uint8_t* data, size_t size, Tutorial& out, std::string* reason) {
    out = Tutorial{};
    const bool compressed =
        data != nullptr && size >= 4 && size - 4 <= UINT32_MAX && LoadLe32(data) == size - 4;
    bool ok = true;
    if (compressed) {
        const auto length = static_cast<uint32_t>(size - 4);
        const LzssMeasure measure = LzssMeasureStream(data + 4, length);
        if (measure.endsOnItem && measure.decodedSize <= UINT32_MAX) {
            out.compressed = true;
            out.bytes.resize(static_cast<size_t>(measure.decodedSize));
            LzssDecode(data + 4, length, out.bytes.data(), static_cast<uint32_t>(out.bytes.size()));
        } else {
            ok = false;
            if (reason) {
                *reason = "the compressed stream ends inside an item";
            }
        }
    }
    if (!out.compressed && data != nullptr) {
        out.bytes.assign(data, data + size);
    }
    out.runs = FindTutorialText(out.bytes.data(), out.bytes.size());
    return ok;
}
