// render for textures: decoded to 8-bit RGBA by the same decoder the viewer uses, to a
// PNG or to raw R, G, B, A bytes.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "formats/png_writer.h"
#include "formats/texture.h"

int RenderTexture(const CLgpArchive& archive, const CliRequest& request, uint16_t index) {
    EntryBuffer bytes;
    const uint32_t size = archive.ReadEntry(index, bytes.Address());
    if (!bytes.Valid()) {
        ReportError(request.archive, "cannot read the archive");
        return kExitFailure;
    }
    TextureImage image;
    const TextureError error =
        DecodeTexture(bytes.Data(), size, request.palette.value_or(0), image);
    if (error != TextureError::None) {
        ReportError(request.archive,
                    DescribeEntry(archive, index) +
                        ": cannot render the texture: " + DescribeTextureError(error));
        return kExitFailure;
    }
    bool ok = true;
    if (!request.rawPath.empty()) {
        ok = WriteRenderOutput(archive, request.rawPath, image.rgba) && ok;
    }
    if (!request.pngPath.empty()) {
        const std::vector<uint8_t> png =
            EncodePngRgba(image.rgba.data(), image.width, image.height);
        if (png.empty()) {
            // A PNG cannot hold an image without pixels; the raw form can.
            ReportError(request.pngPath, "cannot encode an image of " +
                                             std::to_string(image.width) + " x " +
                                             std::to_string(image.height) + " as PNG");
            ok = false;
        } else {
            ok = WriteRenderOutput(archive, request.pngPath, png) && ok;
        }
    }
    return ok ? kExitOk : kExitFailure;
}
