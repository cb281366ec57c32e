#pragma once
// From archive name bytes to text: the one mapping every front end uses for the names
// it lists, matches, writes in JSON and gives files on the host. The bytes are Latin-1
// text, as the index shows them, and become UTF-8, whatever they would read as in UTF-8.
#include <string>

#include "platform/message_text.h"  // EscapeForMessage, for the names made here

// "caf\xE9" -> "café" in UTF-8.
std::string HostNameFromLatin1(const std::string& latin1);

// The key under which two target paths name the same file for the host: the path
// itself, or on Windows, whose file names ignore letter case, the path in lower case.
std::string CollisionKey(const std::string& path);
