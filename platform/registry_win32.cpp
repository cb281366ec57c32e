// The real registry. Keys are opened for reading only: asking for more fails for every
// user without administrator rights. KEY_WOW64_32KEY reads the 32-bit view, where a
// 32-bit installer writes on a 64-bit system.
#ifdef _WIN32

#include <windows.h>

#include <cstring>

#include "platform/registry.h"

std::vector<std::string> ListWinePrefixes(const RegistrySources&) {
    return {};
}

std::vector<RegistryHit> FindMachineRegistryValues(const RegistrySources&,
                                                   const std::vector<std::string>& keyPath,
                                                   const std::string& valueName) {
    std::vector<RegistryHit> hits;
    std::vector<HKEY> opened;
    HKEY key = HKEY_LOCAL_MACHINE;
    bool found = true;
    for (const std::string& name : keyPath) {
        HKEY sub = nullptr;
        if (RegOpenKeyExA(key, name.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &sub) !=
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
        char buffer[1024];
        DWORD size = sizeof(buffer);
        if (RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr,
                             reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS) {
            size_t length = strnlen(buffer, size);
            hits.push_back(RegistryHit{std::string(buffer, length), std::string()});
        }
    }
    for (auto it = opened.rbegin(); it != opened.rend(); ++it) {
        RegCloseKey(*it);
    }
    return hits;
}

#endif  // _WIN32
