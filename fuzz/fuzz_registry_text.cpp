// SPDX-License-Identifier: MIT
// Feeds arbitrary text to the readers of the files the game folder lookup trusts no
// more than an archive: Steam's library list and the escapes and hex data of Wine's
// registry files. The decoders must end, and never read outside the text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "platform/steam_libraries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    ParseSteamLibraryFolders(text);
    DecodeWineRegistryString(text);
    std::string value;
    DecodeWineRegistryHex(text, &value);
    return 0;
}
