// SPDX-License-Identifier: MIT
#pragma once
// Reading a machine-wide registry value.
//
// On Windows this is the real registry, opened for reading only, in the 32-bit view
// that 32-bit programs write to and then in the 64-bit view. Elsewhere the source is the
// registry file "system.reg" of every Wine prefix we can find: $WINEPREFIX, ~/.wine, and
// Steam's Proton prefixes (steamapps/compatdata/*/pfx in every library of the native
// and the Flatpak Steam installations).
#include <functional>
#include <string>
#include <vector>

// Where to look; tests pass a fake home. On Windows the fields are not used.
struct RegistrySources {
    std::string home;        // the user's home folder ($HOME); empty: none
    std::string winePrefix;  // $WINEPREFIX; empty when unset

    // The sources of the running process: $HOME and $WINEPREFIX.
    static RegistrySources FromProcessEnvironment();
};

// One place a value was found.
struct RegistryHit {
    std::string text;        // the value's text (UTF-8 where Wine escaped it), up to any NUL
    std::string winePrefix;  // the prefix it came from; empty for the real registry
};

// Every value `valueName` under HKEY_LOCAL_MACHINE\keyPath[0]\keyPath[1]..., in the
// order the sources are searched. Key and value names match ignoring ASCII case, and a
// key under Software is also looked for under Software\Wow6432Node (first, as the
// 32-bit view of a 64-bit system would). Numbers (REG_DWORD) are passed over; binary
// values are read as 8-bit text, as the game reads them.
std::vector<RegistryHit> FindMachineRegistryValues(const RegistrySources& sources,
                                                   const std::vector<std::string>& keyPath,
                                                   const std::string& valueName);

// The same hits in the same order, handed to `visit` one by one until it returns true.
// Sources after that are not read: a Steam library holds a prefix per game, each with a
// registry file of megabytes, and reading them all would hold up the program's start.
void VisitMachineRegistryValues(const RegistrySources& sources,
                                const std::vector<std::string>& keyPath,
                                const std::string& valueName,
                                const std::function<bool(const RegistryHit&)>& visit);

// The Wine prefixes searched, in order, that have a system.reg file.
std::vector<std::string> ListWinePrefixes(const RegistrySources& sources);

// Maps a Windows path ("C:\Games\App\data\") to the host path inside `winePrefix`
// through its dosdevices/<drive>: link, or drive_c for drive C. Each component is
// matched ignoring case when the exact name does not exist, as Wine does. A trailing
// '\' becomes '/'. Returns "" when the path has no drive letter or the drive is unknown.
std::string MapWindowsPathToHost(const std::string& winePrefix, const std::string& windowsPath);

// Decodes one quoted string of a Wine registry file (the text between the quotes):
// \\ \" \] \a \b \t \n \v \f \r \e, \xHHHH and \ooo. Code points are written as UTF-8.
std::string DecodeWineRegistryString(const std::string& escaped);

// Decodes the data of a "hex:" (binary) or "hex(N):" (type N) value of a Wine registry
// file, given the text after "hex", into the text the game would read up to any NUL.
// The game takes whatever the value holds as 8-bit text, so binary data is text too,
// read as Latin-1 (the letters of the Western ANSI code page); the string types (1, 2
// and 7) hold UTF-16. False when the text is not such data.
bool DecodeWineRegistryHex(const std::string& data, std::string* text);
