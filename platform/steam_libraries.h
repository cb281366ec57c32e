// SPDX-License-Identifier: MIT
#pragma once
// Where Steam keeps games: the libraries a Steam installation lists in
// steamapps/libraryfolders.vdf, a text file of quoted keys and values in nested braces:
//
//     "libraryfolders"
//     {
//         "0" { "path" "/home/me/.local/share/Steam" ... "apps" { "39140" "0" } }
//         "1" { "path" "/mnt/games/SteamLibrary" ... }
//     }
//
// Older Steam versions wrote the path as the value itself: "1" "/mnt/games/SteamLibrary".
// Both forms are read. The file is untrusted text: anything malformed ends the reading
// with the libraries found so far.
#include <string>
#include <vector>

// The library folders named in the text of a libraryfolders.vdf, in file order.
std::vector<std::string> ParseSteamLibraryFolders(const std::string& text);

// The Steam installations under `home` that exist, each as its root folder: the native
// ones (~/.steam/steam, ~/.local/share/Steam) and the Flatpak one
// (~/.var/app/com.valvesoftware.Steam/.local/share/Steam).
std::vector<std::string> SteamRoots(const std::string& home);

// Every library of the installation at `root`: the root itself first, then those its
// libraryfolders.vdf names.
std::vector<std::string> SteamLibraries(const std::string& root);
