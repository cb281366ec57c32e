// SPDX-License-Identifier: MIT
// The kinds of entries, one row each, and what each row's functions do with the bytes.
#include "formats/entry_kinds.h"

#include <algorithm>
#include <cctype>

#include "formats/field_info.h"
#include "formats/field_renderer.h"
#include "formats/other_kinds.h"
#include "formats/png_writer.h"
#include "formats/texture.h"

namespace {

std::string Num(uint64_t v) {
    return std::to_string(v);
}

std::string Size(uint64_t w, uint64_t h) {
    return Num(w) + " x " + Num(h);
}

// Fields: the background, drawn from its tiles.

void FieldProperties(const uint8_t* data, size_t size, PropertyList* out) {
    const std::optional<FieldInfo> info = ReadFieldInfo(data, size);
    if (!info) {
        out->emplace_back("background", "unreadable");
        return;
    }
    out->emplace_back("background", Size(info->width, info->height));
    out->emplace_back("tiles", Num(info->tiles1) + " + " + Num(info->tiles2));
}

std::string FieldCheck(const uint8_t* data, size_t size) {
    FieldImage image;
    const FieldError error = RenderFieldBackground(data, size, image);
    return error == FieldError::None ? "" : std::string("field: ") + DescribeFieldError(error);
}

// Renders a background that has pixels; the reason when it cannot.
std::string RenderField(const uint8_t* data, size_t size, FieldImage* image) {
    const FieldError error = RenderFieldBackground(data, size, *image);
    if (error != FieldError::None) {
        return std::string("cannot render the background: ") + DescribeFieldError(error);
    }
    if (image->width == 0 || image->height == 0) {
        return "the background is empty (" + Size(image->width, image->height) + ")";
    }
    return "";
}

// 5 bits to 8, so that 0 stays 0 and 31 becomes 255.
uint8_t Expand(unsigned v) {
    return static_cast<uint8_t>((v << 3) | (v >> 2));
}

std::string FieldPng(const uint8_t* data, size_t size, const OutputOptions&,
                     std::vector<uint8_t>* out) {
    FieldImage image;
    if (std::string problem = RenderField(data, size, &image); !problem.empty()) {
        return problem;
    }
    std::vector<uint8_t> rgb;
    rgb.reserve(size_t{image.width} * image.height * 3);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint16_t p = image.PixelAt(x, y);
            rgb.push_back(Expand((p >> 10) & 0x1F));
            rgb.push_back(Expand((p >> 5) & 0x1F));
            rgb.push_back(Expand(p & 0x1F));
        }
    }
    *out = EncodePngRgb(rgb.data(), image.width, image.height);
    return out->empty() ? "cannot encode the image" : "";
}

// W x H little-endian 16-bit pixels, top row first, without the image's row padding.
std::string FieldRaw(const uint8_t* data, size_t size, const OutputOptions&,
                     std::vector<uint8_t>* out) {
    FieldImage image;
    if (std::string problem = RenderField(data, size, &image); !problem.empty()) {
        return problem;
    }
    out->clear();
    out->reserve(size_t{image.width} * image.height * 2);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint16_t p = image.PixelAt(x, y);
            out->push_back(static_cast<uint8_t>(p));
            out->push_back(static_cast<uint8_t>(p >> 8));
        }
    }
    return "";
}

// Textures: decoded to 8-bit RGBA with one of their palettes.

void TextureProperties(const uint8_t* data, size_t size, PropertyList* out) {
    TextureHeader h;
    if (ReadTextureHeader(data, size, h) != TextureError::None) {
        out->emplace_back("texture", DescribeTextureError(TextureError::TooShort));
        return;
    }
    out->emplace_back("width x height", Size(h.width, h.height));
    out->emplace_back("bit depth", Num(h.bitDepth));
    if (h.IsPaletted()) {
        out->emplace_back("palettes",
                          Num(h.paletteCount) + " of " + Num(h.coloursPerPalette) + " colours");
    } else {
        out->emplace_back("palettes", "none (" + Num(h.bytesPerPixel) + " bytes per pixel)");
    }
    const TextureError error = CheckTexture(data, size);
    out->emplace_back("texture",
                      error == TextureError::None ? "decodes" : DescribeTextureError(error));
}

std::string TextureCheck(const uint8_t* data, size_t size) {
    const TextureError error = CheckTexture(data, size);
    return error == TextureError::None ? ""
                                       : std::string("texture: ") + DescribeTextureError(error);
}

std::string DecodeWithPalette(const uint8_t* data, size_t size, const OutputOptions& options,
                              TextureImage* image) {
    const TextureError error = DecodeTexture(data, size, options.palette.value_or(0), *image);
    return error == TextureError::None
               ? ""
               : std::string("cannot render the texture: ") + DescribeTextureError(error);
}

std::string TexturePng(const uint8_t* data, size_t size, const OutputOptions& options,
                       std::vector<uint8_t>* out) {
    TextureImage image;
    if (std::string problem = DecodeWithPalette(data, size, options, &image); !problem.empty()) {
        return problem;
    }
    *out = EncodePngRgba(image.rgba.data(), image.width, image.height);
    // A PNG cannot hold an image without pixels; the raw form can.
    return out->empty() ? "cannot encode an image of " + Size(image.width, image.height) + " as PNG"
                        : "";
}

std::string TextureRaw(const uint8_t* data, size_t size, const OutputOptions& options,
                       std::vector<uint8_t>* out) {
    TextureImage image;
    std::string problem = DecodeWithPalette(data, size, options, &image);
    out->swap(image.rgba);
    return problem;
}

// A kind known by its name only: shown in hex, nothing to check or render.
EntryKind Plain(uint8_t type, const char* name) {
    return {type, name, "hex", nullptr, nullptr, {}, false, false};
}

// A piece of a 3D model: the model viewer opens it. What it holds depends on the other
// entries of its archive (resources, meshes, textures), so models/ describes and
// exports it rather than a row function over the entry's bytes alone.
EntryKind ModelPiece(uint8_t type, const char* name) {
    return {type, name, "model", nullptr, nullptr, {}, false, false};
}

std::vector<EntryKind>& Kinds() {
    static std::vector<EntryKind> kinds = {
        Plain(LGP_TYPE_OTHER, "other"),
        {LGP_TYPE_TEX,
         "texture",
         "texture",
         TextureProperties,
         TextureCheck,
         {{"png", ".png", TexturePng}, {"raw", ".raw", TextureRaw}},
         false,
         true},
        {LGP_TYPE_CAM, "camera", "camera", CameraProperties, nullptr, {}, false, false},
        {LGP_TYPE_FIELD,
         "field",
         "background",
         FieldProperties,
         FieldCheck,
         {{"png", ".png", FieldPng}, {"raw", ".raw", FieldRaw}},
         true,
         false},
        ModelPiece(LGP_TYPE_P, "model"),
        // Music is read and played in audio/, which puts its whole row in at start-up.
        {LGP_TYPE_MID, "music", "music", nullptr, nullptr, {}, false, false},
        {LGP_TYPE_TXT, "text", "text", nullptr, nullptr, {}, false, false},
        ModelPiece(LGP_TYPE_A, "animation"),
        {LGP_TYPE_TUT, "tutorial", "tutorial", TutorialProperties, TutorialCheck, {}, false, false},
        ModelPiece(LGP_TYPE_HRC, "skeleton"),
    };
    return kinds;
}

std::vector<std::pair<std::string, EntryCheckFunction>>& ExtensionChecks() {
    static std::vector<std::pair<std::string, EntryCheckFunction>> checks;
    return checks;
}

// Whether `name` ends in '.' and `extension`, ignoring ASCII case.
bool EndsInExtension(std::string_view name, const std::string& extension) {
    if (name.size() <= extension.size() || name[name.size() - extension.size() - 1] != '.') {
        return false;
    }
    const std::string_view tail = name.substr(name.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

}  // namespace

const std::vector<EntryKind>& EntryKinds() {
    return Kinds();
}

void RegisterEntryKind(const EntryKind& kind) {
    for (EntryKind& row : Kinds()) {
        if (row.type == kind.type) {
            row = kind;
            return;
        }
    }
    Kinds().push_back(kind);
}

void RegisterExtensionCheck(const std::string& extension, EntryCheckFunction check) {
    for (auto& [known, function] : ExtensionChecks()) {
        if (known == extension) {
            function = check;
            return;
        }
    }
    ExtensionChecks().emplace_back(extension, check);
}

EntryCheckFunction CheckFor(uint8_t type, std::string_view name) {
    const EntryKind& kind = KindOf(type);
    if (kind.type != LGP_TYPE_OTHER) {
        return kind.check;
    }
    for (const auto& [extension, check] : ExtensionChecks()) {
        if (EndsInExtension(name, extension)) {
            return check;
        }
    }
    return kind.check;
}

const EntryKind& KindOf(uint8_t type) {
    for (const EntryKind& kind : EntryKinds()) {
        if (kind.type == type) {
            return kind;
        }
    }
    return EntryKinds().front();
}

const KindOutput* FindOutput(const EntryKind& kind, const std::string& format) {
    for (const KindOutput& output : kind.outputs) {
        if (format == output.format) {
            return &output;
        }
    }
    return nullptr;
}

std::string KindsWithOutput(const std::string& format) {
    std::vector<std::string> names;
    for (const EntryKind& kind : EntryKinds()) {
        if (FindOutput(kind, format) != nullptr) {
            names.emplace_back(kind.name);
        }
    }
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names) {
        text += (text.empty() ? "" : " or ") + name;
    }
    return text;
}
