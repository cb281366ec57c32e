// SPDX-License-Identifier: MIT
#pragma once
// The game's environment: where its data folder is, and byte counts as text.
//
// The data folder is the game's install folder, read once from the registry value
// HKEY_LOCAL_MACHINE\software\Square Soft, Inc.\Final Fantasy VII\AppPath, with
// "data\" appended. Where there is no Windows registry the value is read from the Wine
// prefixes' registry files and the folder is mapped to the host path, ending in '/'.
#include <cstdint>
#include <string>

#include "platform/registry.h"

class CGameEnvironment {
public:
    // Looks the folder up at once in the process's real sources.
    CGameEnvironment();
    // Looks the folder up at once in the given sources (a fake home in tests).
    explicit CGameEnvironment(const RegistrySources& sources);
    virtual ~CGameEnvironment();

    // Looks the folder up again in the sources given at construction; the folder is
    // empty when nothing usable is found.
    void LookupGameDataFolder();
    // The game data folder, or null when none is known.
    const char* GetGameDataFolder() const;

    // Short form, for the index's Size column: "1023", "1 kB".
    // Long form, for the status bar: "1 bytes", "1023 kB", "1.0 MB".
    // `buffer` must hold at least 11 characters; both return it.
    static char* FormatSizeShort(char* buffer, uint32_t n);
    static char* FormatSizeLong(char* buffer, uint32_t n);

    // The Windows folder for an AppPath value: the value, one '\', then "data\".
    // Empty when the value is empty, 260 characters or longer (it would not fit the
    // registry read), or when the folder would exceed 259 characters: a cut path would
    // name some other folder.
    static std::string ComposeGameDataFolder(const std::string& appPath);

private:
    RegistrySources m_sources;
    std::string m_szGameDataFolder;
};
