// The real registry. Keys are opened for reading only: asking for more fails for every
// user without administrator rights. KEY_WOW64_32KEY reads the 32-bit view, where a
// 32-bit installer writes on a 64-bit system.
#ifdef _WIN32

#include <windows.h>

#include <cwchar>

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

}  // namespace

std::vector<RegistryHit> FindMachineRegistryValues(const RegistrySources&,
                                                   const std::vector<std::string>& keyPath,
                                                   const std::string& valueName) {
    std::vector<RegistryHit> hits;
    std::vector<HKEY> opened;
    HKEY key = HKEY_LOCAL_MACHINE;
    bool found = true;
    for (const std::string& name : keyPath) {
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, Widen(name).c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &sub) !=
            ERROR_SUCCESS) {
            found = false;
            break;
        }
        opened.push_back(sub);
        key = sub;
    }
    if (found) {
        // Larger than any path we accept, so an over-long value is seen as such by the
        // caller; the data may lack its terminating NUL.
        wchar_t buffer[1024];
        DWORD size = sizeof(buffer);
        if (RegQueryValueExW(key, Widen(valueName).c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS) {
            size_t length = wcsnlen(buffer, size / sizeof(wchar_t));
            hits.push_back(RegistryHit{Utf8(buffer, length), std::string()});
        }
    }
    for (auto it = opened.rbegin(); it != opened.rend(); ++it) {
        RegCloseKey(*it);
    }
    return hits;
}

// One source only: nothing to save by stopping early.
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
