// SPDX-License-Identifier: MIT
#include "extract/host_names.h"

#ifdef _WIN32
#include <windows.h>
#endif

std::string HostNameFromLatin1(const std::string& latin1) {
    std::string utf8;
    utf8.reserve(latin1.size() * 2);
    for (char c : latin1) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | u >> 6);
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return utf8;
}

#ifndef _WIN32
namespace {

// Upper case of ASCII letters and of the Latin-1 ones in UTF-8 (U+00E0 to U+00FE but
// U+00F7), the letters archive names can hold.
std::string UpperLatin1(const std::string& path) {
    std::string key = path;
    for (size_t i = 0; i < key.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(key[i]);
        if (c >= 'a' && c <= 'z') {
            key[i] = static_cast<char>(c - 'a' + 'A');
        } else if (c == 0xC3 && i + 1 < key.size()) {
            const unsigned char next = static_cast<unsigned char>(key[i + 1]);
            if (next >= 0xA0 && next <= 0xBE && next != 0xB7) {
                key[i + 1] = static_cast<char>(next - 0x20);
            }
            ++i;
        }
    }
    return key;
}

}  // namespace
#endif

std::string CollisionKey(const std::string& path, bool ignoreCase) {
    if (!ignoreCase) {
        return path;
    }
#ifdef _WIN32
    // The file system's own case mapping, for letters past ASCII as well.
    const int size = static_cast<int>(path.size());
    int length = MultiByteToWideChar(CP_UTF8, 0, path.data(), size, nullptr, 0);
    if (length <= 0) {
        return path;
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), size, &wide[0], length);
    CharUpperBuffW(&wide[0], static_cast<DWORD>(wide.size()));
    for (wchar_t& c : wide) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    std::string key(wide.size() * sizeof(wchar_t), '\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        key[2 * i] = static_cast<char>(wide[i] & 0xFF);
        key[2 * i + 1] = static_cast<char>(wide[i] >> 8);
    }
    return key;
#else
    return UpperLatin1(path);
#endif
}
