// SPDX-License-Identifier: MIT
#pragma once
// Which window shows which entry. Open picks by the entry's type (and, for entries of no
// known kind, by whether their bytes are text); Open as... offers every viewer. A new
// viewer is one row here and its class in this folder; the kinds table (formats/) says
// which kind it opens, by the viewer's id.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class ViewerKind { Background, Texture, Music, Camera, Tutorial, Model, Text, Hex };

struct ViewerInfo {
    ViewerKind kind;
    const char* className;  // registered entry window class
    const char* label;      // as Open as... offers it
    bool decoded;           // wants the entry decompressed rather than as stored
    const char* id;         // as the kinds table names it
};

// Every viewer, in the order Open as... lists them.
const std::vector<ViewerInfo>& Viewers();
const ViewerInfo& ViewerInfoFor(ViewerKind kind);

// By type code: the viewer its kind names (hex for a name no viewer has).
const ViewerInfo& ViewerFor(uint8_t type);
// The type's choice, turned to the text viewer when it would be hex and the stored
// bytes are printable text.
const ViewerInfo& ViewerForContent(uint8_t type, const unsigned char* data, size_t size);

// For an entry whose type code says nothing of it, the viewer its name picks: resource
// files, and the battle and summon models and textures, which have no extension of
// their own. Null when the name says nothing either.
const ViewerInfo* ViewerForName(uint8_t type, const std::string& name);

// Registers the placeholder frame and every viewer class with the frame factory, and
// puts the rows of the kinds decoded above formats/ (music) into the kinds table.
void RegisterViewerClasses();
