// SPDX-License-Identifier: MIT
#include "formats/text.h"

namespace {

bool IsTextByte(uint8_t b) {
    return (b >= 0x20 && b != 0x7F && (b < 0x80 || b >= 0xA0)) || b == '\t' || b == '\n' ||
           b == '\r' || b == '\f';
}

}  // namespace

bool LooksLikeText(const uint8_t* data, size_t size) {
    if (data == nullptr || size == 0) {
        return false;
    }
    for (size_t i = 0; i < size; ++i) {
        if (!IsTextByte(data[i])) {
            return false;
        }
    }
    return true;
}

std::string NormaliseLineEndings(const uint8_t* data, size_t size) {
    std::string text;
    text.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != '\r') {
            text.push_back(static_cast<char>(data[i]));
            continue;
        }
        text.push_back('\n');
        if (i + 1 < size && data[i + 1] == '\n') {
            ++i;
        }
    }
    return text;
}
