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

std::string CollisionKey(const std::string& path) {
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
    return path;
#endif
}
