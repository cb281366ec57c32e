#include "environment/game_environment.h"

#include <cstdio>

namespace {

// The folder is kept within the classic 260-character path buffer (terminator excluded).
constexpr size_t kMaxPath = 259;

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
    const std::vector<RegistryHit> hits = FindMachineRegistryValues(
        m_sources, {"software", "Square Soft, Inc.", "Final Fantasy VII"}, "AppPath");
    // Several Wine prefixes may know the game; the first that gives a folder wins.
    for (const RegistryHit& hit : hits) {
        std::string folder = ComposeGameDataFolder(hit.text);
        if (!folder.empty() && !hit.winePrefix.empty()) {
            folder = MapWindowsPathToHost(hit.winePrefix, folder);
        }
        if (!folder.empty()) {
            m_szGameDataFolder = folder;
            return;
        }
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
        std::sprintf(buffer, "%.1f MB", n / 1048576.0);
    } else if (n & ~0x3FFu) {
        std::sprintf(buffer, "%u kB", n >> 10);
    } else {
        std::sprintf(buffer, "%u bytes", n);
    }
    return buffer;
}
