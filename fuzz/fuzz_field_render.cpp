// SPDX-License-Identifier: MIT
// Renders arbitrary bytes as a field file. The renderer must refuse or render, never
// read outside the input or write outside the image; a rendered image must have the
// size its header promises. The size and tile counts Properties reads without rendering
// go through the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "formats/field_info.h"
#include "formats/field_renderer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadFieldInfo(data, size);
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
        // The image's top bit is always clear. Only a 64 x 64 square at the centre, where
        // tiles land by default, is checked on large images: walking millions of pixels
        // per run would leave the fuzzer too little time for the parser.
        const size_t rowValues = image.strideBytes / 2;
        const size_t firstRow = image.height > 64 ? image.height / 2 - 32 : 0;
        const size_t lastRow = image.height > 64 ? firstRow + 64 : image.height;
        const size_t firstColumn = image.width > 64 ? image.width / 2 - 32 : 0;
        const size_t lastColumn = image.width > 64 ? firstColumn + 64 : image.width;
        const uint16_t* pixels = image.pixels.data();
        for (size_t y = firstRow; y < lastRow; ++y) {
            for (size_t x = firstColumn; x < lastColumn; ++x) {
                if (pixels[y * rowValues + x] & 0x8000) {
                    abort();
                }
            }
        }
    } else if (!image.pixels.empty() || image.width != 0 || image.height != 0) {
        abort();
    }
    return 0;
}
