// SPDX-License-Identifier: MIT
#pragma once
// ASCII text helpers shared by the catalogue, the host layer and lumo-cli: archive
// names, registry keys and values compare in ASCII case only, whatever the locale.
#include <string_view>

inline char ToLowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when `a` and `b` differ at most in the case of ASCII letters.
inline bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}
