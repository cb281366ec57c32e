// SPDX-License-Identifier: MIT
#include "environment/game_environment.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/file_output.h"

namespace {

// The folder is kept within the classic 260-character path buffer (terminator excluded).
constexpr size_t kMaxPath = 259;

// n / 2^20 in tenths, rounded to the nearest tenth with ties to even, exactly as "%.1f"
// rounds the exact quotient. Worked out in integers because "%.1f" writes the decimal
// point of the C library's current locale, which the GUI toolkit switches to the user's
// ("1,0 MB" on a German desktop).
uint32_t MegabyteTenths(uint32_t n) {
    const uint64_t scaled = uint64_t{n} * 10;
    uint64_t tenths = scaled >> 20;
    const uint64_t rest = scaled & 0xFFFFF;
    if (rest > 0x80000 || (rest == 0x80000 && (tenths & 1) != 0)) {
        ++tenths;
    }
    return static_cast<uint32_t>(tenths);
}

bool FolderExists(const std::string& folder) {
    std::error_code ec;
    return std::filesystem::is_directory(HostPath(folder), ec);
}

}  // namespace

CGameEnvironment::CGameEnvironment()
    : CGameEnvironment(RegistrySources::FromProcessEnvironment()) {}

CGameEnvironment::CGameEnvironment(const RegistrySources& sources) : m_sources(sources) {
    LookupGameDataFolder();
}

CGameEnvironment::~CGameEnvironment() = default;

std::string CGameEnvironment::ComposeGameDataFolder(const std::string& appPath) {
    if (appPath.empty() || appPath.size() > kMaxPath) {
        return std::string();
    }
    std::string folder = appPath;
    if (folder.back() != '\\') {
        folder += '\\';
    }
    folder += "data\\";
    return folder.size() > kMaxPath ? std::string() : folder;
}

void CGameEnvironment::LookupGameDataFolder() {
    m_szGameDataFolder.clear();
    // Several Wine prefixes may know the game; the first whose folder exists wins, and
    // the prefixes after it are not read. A prefix left behind by an uninstalled copy
    // names a folder that is gone; it must not hide a later one. When no folder exists,
    // the first one named is kept, as the registry says.
    std::string firstNamed;
    VisitMachineRegistryValues(m_sources, {"software", "Square Soft, Inc.", "Final Fantasy VII"},
                               "AppPath", [&](const RegistryHit& hit) {
                                   std::string folder = ComposeGameDataFolder(hit.text);
                                   if (!folder.empty() && !hit.winePrefix.empty()) {
                                       folder = MapWindowsPathToHost(hit.winePrefix, folder);
                                   }
                                   if (folder.empty()) {
                                       return false;
                                   }
                                   if (FolderExists(folder)) {
                                       m_szGameDataFolder = folder;
                                       return true;
                                   }
                                   if (firstNamed.empty()) {
                                       firstNamed = folder;
                                   }
                                   return false;
                               });
    if (m_szGameDataFolder.empty()) {
        m_szGameDataFolder = firstNamed;
    }
}

const char* CGameEnvironment::GetGameDataFolder() const {
    return m_szGameDataFolder.empty() ? nullptr : m_szGameDataFolder.c_str();
}

char* CGameEnvironment::FormatSizeShort(char* buffer, uint32_t n) {
    if (n & ~0x3FFu) {
        std::sprintf(buffer, "%u kB", n >> 10);
    } else {
        std::sprintf(buffer, "%u", n);
    }
    return buffer;
}

char* CGameEnvironment::FormatSizeLong(char* buffer, uint32_t n) {
    if (n & ~0xFFFFFu) {
        const uint32_t tenths = MegabyteTenths(n);
        std::sprintf(buffer, "%u.%u MB", tenths / 10, tenths % 10);
    } else if (n & ~0x3FFu) {
        std::sprintf(buffer, "%u kB", n >> 10);
    } else {
        std::sprintf(buffer, "%u bytes", n);
    }
    return buffer;
}
