#include "formats/entry_report.h"

#include <map>

#include "archive/entry_buffer.h"
#include "archive/entry_check.h"
#include "formats/camera.h"
#include "formats/field_info.h"
#include "formats/field_renderer.h"
#include "formats/texture.h"
#include "formats/tutorial.h"

namespace {

std::string Num(uint64_t v) {
    return std::to_string(v);
}

std::string Size(uint64_t w, uint64_t h) {
    return Num(w) + " x " + Num(h);
}

std::string Whole(const EntryCheck& check) {
    return check.Whole() ? "yes" : std::string("no: ") + DescribeEntryProblem(check.problem);
}

void AddStream(const CLgpArchive& archive, uint16_t index, PropertyList& out) {
    const EntryCheck check = CheckEntry(archive, index, true);
    out.emplace_back("stream length", Num(check.streamLength));
    out.emplace_back("decoded size", Num(check.decodedSize));
    out.emplace_back("stream whole", Whole(check));
}

void AddTexture(const CLgpArchive& archive, uint16_t index, PropertyList& out) {
    EntryBuffer bytes;
    const uint32_t size = archive.ReadEntry(index, bytes.Address());
    TextureHeader h;
    if (ReadTextureHeader(bytes.Data(), size, h) != TextureError::None) {
        out.emplace_back("texture", DescribeTextureError(TextureError::TooShort));
        return;
    }
    out.emplace_back("width x height", Size(h.width, h.height));
    out.emplace_back("bit depth", Num(h.bitDepth));
    if (h.IsPaletted()) {
        out.emplace_back("palettes",
                         Num(h.paletteCount) + " of " + Num(h.coloursPerPalette) + " colours");
    } else {
        out.emplace_back("palettes", "none (" + Num(h.bytesPerPixel) + " bytes per pixel)");
    }
    const TextureError error = CheckTexture(bytes.Data(), size);
    out.emplace_back("texture",
                     error == TextureError::None ? "decodes" : DescribeTextureError(error));
}

void AddField(const CLgpArchive& archive, uint16_t index, PropertyList& out) {
    EntryBuffer bytes;
    const uint32_t size = archive.ReadEntryDecompressed(index, bytes.Address(), 0);
    const std::optional<FieldInfo> info = ReadFieldInfo(bytes.Data(), size);
    if (!info) {
        out.emplace_back("background", "unreadable");
        return;
    }
    out.emplace_back("background", Size(info->width, info->height));
    out.emplace_back("tiles", Num(info->tiles1) + " + " + Num(info->tiles2));
}

std::vector<EntryKindDecoder>& Decoders() {
    static std::vector<EntryKindDecoder> decoders;
    return decoders;
}

const EntryKindDecoder* DecoderFor(uint8_t type) {
    for (const EntryKindDecoder& d : Decoders()) {
        if (d.type == type) {
            return &d;
        }
    }
    return nullptr;
}

void AddCamera(const uint8_t* data, uint32_t size, PropertyList& out) {
    CameraTrack track;
    std::string reason;
    if (ReadCameraTrack(data, size, track, &reason)) {
        out.emplace_back("frames", Num(track.frames.size()));
        out.emplace_back("frame header", Num(track.headerBytes) + " bytes");
    } else {
        out.emplace_back("frames", "no table: " + reason);
    }
}

void AddTutorial(const uint8_t* data, uint32_t size, PropertyList& out) {
    Tutorial tutorial;
    std::string reason;
    const bool ok = ReadTutorial(data, size, tutorial, &reason);
    out.emplace_back("compressed", tutorial.compressed ? "yes"
                                   : ok                ? "no"
                                                       : "unreadable: " + reason);
    out.emplace_back("text runs", Num(tutorial.runs.size()));
}

// What the bytes of a camera, tutorial or registered kind say.
void AddDecoded(const CLgpArchive& archive, uint16_t index, uint8_t type, PropertyList& out) {
    const EntryKindDecoder* decoder = DecoderFor(type);
    if (type != LGP_TYPE_CAM && type != LGP_TYPE_TUT &&
        (decoder == nullptr || !decoder->addProperties)) {
        return;
    }
    EntryBuffer bytes;
    const uint32_t size = archive.ReadEntry(index, bytes.Address());
    if (type == LGP_TYPE_CAM) {
        AddCamera(bytes.Data(), size, out);
    } else if (type == LGP_TYPE_TUT) {
        AddTutorial(bytes.Data(), size, out);
    } else {
        decoder->addProperties(bytes.Data(), size, out);
    }
}

// What decoding finds wrong with a whole entry; "" when nothing.
std::string DecodeProblem(const CLgpArchive& archive, uint16_t index) {
    EntryBuffer bytes;
    const uint8_t type = archive.GetEntryType(index);
    if (type == LGP_TYPE_TEX) {
        const uint32_t size = archive.ReadEntry(index, bytes.Address());
        const TextureError error = CheckTexture(bytes.Data(), size);
        return error == TextureError::None ? ""
                                           : std::string("texture: ") + DescribeTextureError(error);
    }
    if (type == LGP_TYPE_FIELD) {
        const uint32_t size = archive.ReadEntryDecompressed(index, bytes.Address(), 0);
        FieldImage image;
        const FieldError error = RenderFieldBackground(bytes.Data(), size, image);
        return error == FieldError::None ? "" : std::string("field: ") + DescribeFieldError(error);
    }
    if (const EntryKindDecoder* decoder = DecoderFor(type); decoder && decoder->problem) {
        const uint32_t size = archive.ReadEntry(index, bytes.Address());
        return decoder->problem(bytes.Data(), size);
    }
    return "";
}

}  // namespace

void RegisterEntryKindDecoder(const EntryKindDecoder& decoder) {
    for (EntryKindDecoder& d : Decoders()) {
        if (d.type == decoder.type) {
            d = decoder;
            return;
        }
    }
    Decoders().push_back(decoder);
}

const char* DescribeEntryType(uint8_t type) {
    static const char* const kNames[] = {"other", "texture", "camera",    "field",    "model",
                                         "music", "text",    "animation", "tutorial", "skeleton"};
    return type < std::size(kNames) ? kNames[type] : "other";
}

PropertyList EntryProperties(const CLgpArchive& archive, uint16_t index) {
    PropertyList out;
    const uint8_t type = archive.GetEntryType(index);
    out.emplace_back("name", archive.GetEntryName(index));
    out.emplace_back("index", Num(index));
    out.emplace_back("type", std::string(DescribeEntryType(type)) + " (" + Num(type) + ")");
    out.emplace_back("extension", archive.GetEntryExtension(index));
    out.emplace_back("offset", Num(archive.GetEntryOffset(index)));
    out.emplace_back("stored size", Num(archive.GetEntrySize(index)));
    out.emplace_back("whole", Whole(CheckEntry(archive, index, false)));
    if (type == LGP_TYPE_FIELD) {
        AddStream(archive, index, out);
        AddField(archive, index, out);
    } else if (type == LGP_TYPE_TEX) {
        AddTexture(archive, index, out);
    } else {
        AddDecoded(archive, index, type, out);
    }
    return out;
}

PropertyList ArchiveProperties(const CLgpArchive& archive) {
    PropertyList out;
    out.emplace_back("path", archive.GetArchivePath());
    out.emplace_back("file size", Num(archive.GetArchiveLength()));
    out.emplace_back("entries", Num(archive.GetEntryCount()));
    std::map<uint8_t, std::pair<uint64_t, uint64_t>> types;  // count, bytes
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        auto& [count, bytes] = types[archive.GetEntryType(i)];
        ++count;
        bytes += archive.GetEntrySize(i);
    }
    for (const auto& [type, totals] : types) {
        out.emplace_back(std::string(DescribeEntryType(type)) + " entries",
                         Num(totals.first) + " (" + Num(totals.second) + " bytes)");
    }
    return out;
}

std::vector<EntryFault> VerifyArchive(const CLgpArchive& archive,
                                      const std::function<bool(int, int)>& progress,
                                      bool* cancelled) {
    std::vector<EntryFault> faults;
    const int total = archive.GetEntryCount();
    if (cancelled) {
        *cancelled = false;
    }
    for (int i = 0; i < total; ++i) {
        if (progress && !progress(i, total)) {
            if (cancelled) {
                *cancelled = true;
            }
            return faults;
        }
        const auto index = static_cast<uint16_t>(i);
        const EntryCheck check =
            CheckEntry(archive, index, archive.GetEntryType(index) == LGP_TYPE_FIELD);
        std::string problem =
            check.Whole() ? DecodeProblem(archive, index) : DescribeEntryProblem(check.problem);
        if (!problem.empty()) {
            faults.push_back({index, problem});
        }
    }
    if (progress) {
        progress(total, total);
    }
    return faults;
}
