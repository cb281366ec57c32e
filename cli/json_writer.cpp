// SPDX-License-Identifier: MIT
#include "cli/json_writer.h"

#include <cstdio>

#include "platform/message_text.h"

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (size_t length = c >= 0x80 ? Utf8SequenceLength(text, i) : 0) {
            out.append(text, i, length);
            i += length;
            continue;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        }
        ++i;
    }
    return out + '"';
}
