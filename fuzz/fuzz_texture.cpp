// SPDX-License-Identifier: MIT
// Decodes arbitrary bytes as a texture. The decoder must refuse or decode, never read
// outside the input or write outside the image; a decoded image has exactly the size
// its header promises, and the whole-texture check agrees with decoding palette 0.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "formats/texture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TextureImage image;
    const TextureError error = DecodeTexture(data, size, 0, image);
    if (error == TextureError::None) {
        if (image.rgba.size() != size_t{image.width} * image.height * 4) {
            abort();
        }
    } else if (!image.rgba.empty() || image.width != 0 || image.height != 0) {
        abort();
    }
    const TextureError whole = CheckTexture(data, size);
    if (whole == TextureError::None && error != TextureError::None) {
        abort();  // every palette decodes, so palette 0 must
    }
    TextureHeader header;
    if (error == TextureError::None &&
        ReadTextureHeader(data, size, header) == TextureError::None && header.paletteCount > 1) {
        DecodeTexture(data, size, header.paletteCount - 1, image);
    }
    return 0;
}
