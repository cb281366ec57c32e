// SPDX-License-Identifier: MIT
#pragma once
// From archive name bytes to text: the one mapping every front end uses for the names
// it lists, matches, writes in JSON and gives files on the host. The bytes are Latin-1
// text, as the index shows them, and become UTF-8, whatever they would read as in UTF-8.
#include <string>

#include "platform/message_text.h"  // EscapeForMessage, for the names made here

// "caf\xE9" -> "café" in UTF-8.
std::string HostNameFromLatin1(const std::string& latin1);

// Whether the host's file names ignore letter case (Windows).
#ifdef _WIN32
inline constexpr bool kHostNamesIgnoreCase = true;
#else
inline constexpr bool kHostNamesIgnoreCase = false;
#endif

// The key under which two target paths name the same file: the path itself, or where
// names ignore letter case, the path in one case. Every command that writes several files
// refuses a second file with the key of one it wrote. `ignoreCase` can be forced so that
// the Windows rule can be tried anywhere (ASCII and Latin-1 letters there).
std::string CollisionKey(const std::string& path, bool ignoreCase = kHostNamesIgnoreCase);
