// SPDX-License-Identifier: MIT
#include "platform/message_text.h"

#include <cstdio>

size_t Utf8SequenceLength(std::string_view text, size_t i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
        return 1;
    }
    const size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (length == 0 || c > 0xF4 || i + length > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    const unsigned char d = static_cast<unsigned char>(text[i + 1]);
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d >= 0xA0) || (c == 0xF0 && d < 0x90) ||
        (c == 0xF4 && d >= 0x90)) {
        return 0;
    }
    return length;
}

namespace {

void AppendHex(std::string& out, unsigned char byte) {
    char hex[5];
    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
    out += hex;
}

std::string Escape(std::string_view text, bool keepBackslash) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t length = Utf8SequenceLength(text, i);
        if (c == '\\' && !keepBackslash) {
            out += "\\\\";
        } else if (length == 0 || c < 0x20 || c == 0x7F) {
            AppendHex(out, c);
        } else if (length == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            // A C1 control, shown by its code point as a Latin-1 name holds it.
            AppendHex(out, static_cast<unsigned char>(text[i + 1]));
            i += 2;
            continue;
        } else {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        ++i;
    }
    return out;
}

}  // namespace

std::string EscapeForMessage(std::string_view text) {
    return Escape(text, false);
}

std::string EscapePathForMessage(std::string_view path) {
#ifdef _WIN32
    return Escape(path, true);
#else
    return Escape(path, false);
#endif
}
