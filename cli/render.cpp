// render: a field entry's background, decompressed and drawn by the field renderer, to a
// PNG or to raw 5-5-5 pixels; textures go to render_texture.cpp. Only fields (type code
// 3) and textures (1) are rendered: the type code is what says what an entry's bytes
// are, so anything else is refused with a message rather than guessed at.
#include <filesystem>
#include <iostream>
#include <set>
#include <system_error>
#include <vector>

#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/progress.h"
#include "extract/extract_engine.h"
#include "formats/field_renderer.h"
#include "formats/png_writer.h"
#include "platform/file_output.h"

namespace {

// W x H little-endian 16-bit pixels, top row first, without the image's row padding.
std::vector<uint8_t> RawPixels(const FieldImage& image) {
    std::vector<uint8_t> raw;
    raw.reserve(size_t{image.width} * image.height * 2);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint16_t p = image.PixelAt(x, y);
            raw.push_back(static_cast<uint8_t>(p));
            raw.push_back(static_cast<uint8_t>(p >> 8));
        }
    }
    return raw;
}

// 5 bits to 8, so that 0 stays 0 and 31 becomes 255.
uint8_t Expand(unsigned v) {
    return static_cast<uint8_t>((v << 3) | (v >> 2));
}

std::vector<uint8_t> PngBytes(const FieldImage& image) {
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
    return EncodePngRgb(rgb.data(), image.width, image.height);
}

// Decompresses and renders; false (reported) when the entry cannot be rendered.
bool RenderEntry(const CLgpArchive& archive, const std::string& path, uint16_t index,
                 FieldImage* image) {
    const uint8_t type = archive.GetEntryType(index);
    if (type != LGP_TYPE_FIELD) {
        ReportError(path, DescribeEntry(archive, index) +
                              ": not a field or texture entry (type code " + std::to_string(type) +
                              "; fields are the entries of flevel.lgp, textures end in .tex)");
        return false;
    }
    EntryBuffer bytes;
    const uint32_t size = archive.ReadEntryDecompressed(index, bytes.Address(), 0);
    if (!bytes.Valid()) {
        ReportError(path, "cannot read the archive");
        return false;
    }
    const FieldError error = RenderFieldBackground(bytes.Data(), size, *image);
    if (error != FieldError::None) {
        ReportError(path, DescribeEntry(archive, index) +
                              ": cannot render the background: " + DescribeFieldError(error));
        return false;
    }
    if (image->width == 0 || image->height == 0) {
        ReportError(path, DescribeEntry(archive, index) + ": the background is empty (" +
                              std::to_string(image->width) + " x " + std::to_string(image->height) +
                              ")");
        return false;
    }
    return true;
}

// One field of render --all to `folder`/<name>.png; false (reported) when it fails.
bool RenderToFolder(const CLgpArchive& archive, const CliRequest& request, uint16_t index,
                    std::set<std::string>& written) {
    const std::string file = std::string(archive.GetEntryName(index)) + ".png";
    if (!IsPlainFileName(file) || !written.insert(file).second) {
        ReportError(request.archive,
                    DescribeEntry(archive, index) +
                        (IsPlainFileName(file) ? ": another entry of that name was rendered already"
                                               : ": not a plain file name; refused"));
        return false;
    }
    FieldImage image;
    if (!RenderEntry(archive, request.archive, index, &image)) {
        return false;
    }
    const std::vector<uint8_t> png = PngBytes(image);
    const std::string path = JoinPath(request.pngPath, file);
    if (png.empty()) {
        ReportError(path, "cannot encode the image");
        return false;
    }
    if (!WriteRenderOutput(archive, path, png)) {
        return false;
    }
    if (!request.quiet) {
        std::cout << JoinPath(request.pngPath, PrintableName(file)) << '\t' << png.size() << '\n';
    }
    return true;
}

// Every field of the archive; a failure is reported and the others go on.
int RenderAll(const CLgpArchive& archive, const CliRequest& request) {
    std::vector<uint16_t> fields;
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        if (archive.GetEntryType(i) == LGP_TYPE_FIELD) {
            fields.push_back(i);
        }
    }
    if (fields.empty()) {
        ReportError(request.archive, "no field entries to render");
        return kExitFailure;
    }
    std::error_code ec;
    std::filesystem::create_directories(HostPath(request.pngPath), ec);
    if (!std::filesystem::is_directory(HostPath(request.pngPath), ec)) {
        ReportError(request.pngPath, "cannot create folder");
        return kExitFailure;
    }
    bool ok = true;
    std::set<std::string> written;
    Progress progress(request.verbose, fields.size());
    for (uint16_t index : fields) {
        ok = RenderToFolder(archive, request, index, written) && ok;
        progress.Step();
    }
    return ok ? kExitOk : kExitFailure;
}

}  // namespace

bool WriteRenderOutput(const CLgpArchive& archive, const std::string& path,
                       const std::vector<uint8_t>& bytes) {
    if (extract::IsArchiveFile(archive, path)) {
        ReportError(path, "is the archive being read; not overwritten");
        return false;
    }
    std::string error;
    if (!WriteFileAtomically(path, bytes.data(), bytes.size(), &error)) {
        std::cerr << kErrorPrefix << error << '\n';
        return false;
    }
    return true;
}

int RunRender(const CliRequest& request) {
    CLgpArchive archive;
    if (!OpenArchive(archive, request.archive)) {
        return kExitFailure;
    }
    if (request.all) {
        return RenderAll(archive, request);
    }
    const std::string& wanted = request.entries.front();
    std::optional<uint16_t> index = FindEntry(archive, wanted);
    if (!index) {
        ReportError(request.archive, NoEntryProblem(archive, wanted));
        return kExitFailure;
    }
    if (archive.GetEntryType(*index) == LGP_TYPE_TEX) {
        return RenderTexture(archive, request, *index);
    }
    if (request.palette) {
        ReportError(request.archive, DescribeEntry(archive, *index) +
                                         ": --palette is for textures; this entry is not one");
        return kExitFailure;
    }
    FieldImage image;
    if (!RenderEntry(archive, request.archive, *index, &image)) {
        return kExitFailure;
    }
    bool ok = true;
    if (!request.rawPath.empty()) {
        ok = WriteRenderOutput(archive, request.rawPath, RawPixels(image)) && ok;
    }
    if (!request.pngPath.empty()) {
        std::vector<uint8_t> png = PngBytes(image);
        if (png.empty()) {
            ReportError(request.pngPath, "cannot encode the image");
            ok = false;
        } else {
            ok = WriteRenderOutput(archive, request.pngPath, png) && ok;
        }
    }
    return ok ? kExitOk : kExitFailure;
}
