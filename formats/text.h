// SPDX-License-Identifier: MIT
#pragma once
// Entries shown as text: which bytes count as text, and the text with its line endings
// made one kind. Qt-free. Text is Latin-1, one byte per character, as the game's files
// are written.
#include <cstddef>
#include <cstdint>
#include <string>

// True when every byte is printable Latin-1 text: 0x20-0x7E, 0xA0-0xFF, tab, line feed,
// carriage return or form feed. An empty entry has nothing to show as text: false.
bool LooksLikeText(const uint8_t* data, size_t size);

// The bytes with "\r\n" and a lone "\r" each turned into "\n", so files written on
// either kind of host show the same lines. Still Latin-1.
std::string NormaliseLineEndings(const uint8_t* data, size_t size);
