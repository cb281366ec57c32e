// Renders arbitrary bytes as a field file. The renderer must refuse or render, never
// read outside the input or write outside the image; a rendered image must have the
// size its header promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "viewers/field_renderer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FieldImage image;
    const FieldError error = RenderFieldBackground(data, size, image);
    if (error == FieldError::None) {
        const size_t stride = (size_t{image.width} * 2 + 3) / 4 * 4;
        if (image.strideBytes != stride || image.pixels.size() != image.height * stride / 2) {
            abort();
        }
        if (size_t{image.width} * image.height > 16777216) {
            abort();
        }
        for (uint16_t pixel : image.pixels) {
            if (pixel & 0x8000) {
                abort();  // the image's top bit is always clear
            }
        }
    } else if (!image.pixels.empty() || image.width != 0 || image.height != 0) {
        abort();
    }
    return 0;
}
