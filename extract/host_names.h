#pragma once
// From archive name bytes to the names files get on the host, the same in every front
// end: the bytes are Latin-1 text, as the index shows them, and become UTF-8.
#include <string>

// "caf\xE9" -> "café" in UTF-8.
std::string HostNameFromLatin1(const std::string& latin1);

// The key under which two target paths name the same file for the host: the path
// itself, or on Windows, whose file names ignore letter case, the path in lower case.
std::string CollisionKey(const std::string& path);

// Text safe to show on one line: control characters and '\' as \xHH and \\.
std::string EscapeForMessage(const std::string& text);
