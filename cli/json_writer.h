// SPDX-License-Identifier: MIT
#pragma once
// The pieces of lumo-cli's JSON output.
#include <string>

// `text` as a JSON string, quotes included. Control characters, '"' and '\' are escaped;
// valid UTF-8 passes through; any other byte is taken as Latin-1 (the letters of the
// Western ANSI code page the game's names were written in) and written as \u00XX, so
// the document is always valid UTF-8 whatever bytes an archive holds.
std::string JsonString(const std::string& text);
