// SPDX-License-Identifier: MIT
// The real registry. Keys are opened for reading only: asking for more fails for every
// user without administrator rights. The 32-bit view comes first, as the game's 32-bit
// installer writes there on a 64-bit system; the 64-bit view after it finds a key that
// a 64-bit installer (or a user's own .reg file) wrote.
#ifdef _WIN32

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <optional>

#include "platform/registry.h"

std::vector<std::string> ListWinePrefixes(const RegistrySources&) {
    return {};
}

namespace {

// Key and value names are plain ASCII here; values go out as UTF-8, the program's text
// for paths on every host.
std::wstring Widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::string Utf8(const wchar_t* text, size_t length) {
    if (length == 0) {
        return std::string();
    }
    const int size = static_cast<int>(length);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) {
        return std::string();
    }
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, size, &out[0], bytes, nullptr, nullptr);
    return out;
}

// 8-bit text in the ANSI code page, as the game reads every value, to UTF-8.
std::string Utf8FromAnsi(const char* text, size_t length) {
    if (length == 0) {
        return std::string();
    }
    const int size = static_cast<int>(length);
    const int units = MultiByteToWideChar(CP_ACP, 0, text, size, nullptr, 0);
    if (units <= 0) {
        return std::string();
    }
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, size, &wide[0], units);
    return Utf8(wide.data(), wide.size());
}

// The value as text: string types as stored; numbers are no text at all; anything else
// (REG_BINARY above all) as 8-bit text up to its first NUL, as the game takes it.
std::optional<std::string> ValueText(DWORD type, const BYTE* data, DWORD size) {
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        const wchar_t* text = reinterpret_cast<const wchar_t*>(data);
        return Utf8(text, wcsnlen(text, size / sizeof(wchar_t)));
    }
    if (type == REG_DWORD || type == REG_DWORD_BIG_ENDIAN || type == REG_QWORD) {
        return std::nullopt;
    }
    const char* text = reinterpret_cast<const char*>(data);
    return Utf8FromAnsi(text, strnlen(text, size));
}

std::optional<std::string> ReadValue(const std::vector<std::string>& keyPath,
                                     const std::string& valueName, REGSAM view) {
    std::vector<HKEY> opened;
    HKEY key = HKEY_LOCAL_MACHINE;
    for (const std::string& name : keyPath) {
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, Widen(name).c_str(), 0, KEY_READ | view, &sub) != ERROR_SUCCESS) {
            break;
        }
        opened.push_back(sub);
        key = sub;
    }
    std::optional<std::string> text;
    if (opened.size() == keyPath.size()) {
        // Larger than any path we accept, so an over-long value is seen as such by the
        // caller; the data may lack its terminating NUL, and one is kept after it.
        wchar_t buffer[1025] = {};
        DWORD size = sizeof(buffer) - sizeof(wchar_t);
        DWORD type = REG_NONE;
        if (RegQueryValueExW(key, Widen(valueName).c_str(), nullptr, &type,
                             reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS) {
            text = ValueText(type, reinterpret_cast<const BYTE*>(buffer), size);
        }
    }
    for (auto it = opened.rbegin(); it != opened.rend(); ++it) {
        RegCloseKey(*it);
    }
    return text;
}

}  // namespace

std::vector<RegistryHit> FindMachineRegistryValues(const RegistrySources&,
                                                   const std::vector<std::string>& keyPath,
                                                   const std::string& valueName) {
    std::vector<RegistryHit> hits;
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        if (std::optional<std::string> text = ReadValue(keyPath, valueName, view)) {
            hits.push_back(RegistryHit{*text, std::string()});
        }
    }
    return hits;
}

// Two reads at most: nothing to save by stopping early.
void VisitMachineRegistryValues(const RegistrySources& sources,
                                const std::vector<std::string>& keyPath,
                                const std::string& valueName,
                                const std::function<bool(const RegistryHit&)>& visit) {
    for (const RegistryHit& hit : FindMachineRegistryValues(sources, keyPath, valueName)) {
        if (visit(hit)) {
            return;
        }
    }
}

#endif  // _WIN32
