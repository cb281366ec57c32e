// SPDX-License-Identifier: MIT
#include "formats/png_writer.h"

#include <zlib.h>

#include <limits>

namespace {

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 24));
    out.push_back(static_cast<uint8_t>(v >> 16));
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}

// Length, type, data, and a CRC over type and data.
void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
    PutU32(out, static_cast<uint32_t>(data.size()));
    const size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32_z(crc, out.data() + typeStart, out.size() - typeStart);
    PutU32(out, static_cast<uint32_t>(crc));
}

// Rows prefixed with their filter byte (0: none), deflated in one go.
bool Deflate(const uint8_t* rgb, uint32_t width, uint32_t height, size_t channels,
             std::vector<uint8_t>* out) {
    const size_t rowBytes = size_t{width} * channels;
    std::vector<uint8_t> filtered;
    filtered.reserve((rowBytes + 1) * height);
    for (uint32_t y = 0; y < height; ++y) {
        filtered.push_back(0);
        const uint8_t* row = rgb + rowBytes * y;
        filtered.insert(filtered.end(), row, row + rowBytes);
    }
    if (filtered.size() > std::numeric_limits<uLong>::max()) {
        return false;
    }
    uLongf size = compressBound(static_cast<uLong>(filtered.size()));
    out->resize(size);
    if (compress2(out->data(), &size, filtered.data(), static_cast<uLong>(filtered.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK) {
        return false;
    }
    out->resize(size);
    return true;
}

// Colour type 2 (RGB) or 6 (RGBA).
std::vector<uint8_t> EncodePng(const uint8_t* pixels, uint32_t width, uint32_t height,
                               uint8_t colourType) {
    constexpr uint32_t kMaxSide = 0x7FFFFFFFu;
    const size_t channels = colourType == 6 ? 4 : 3;
    std::vector<uint8_t> idat;
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
        !Deflate(pixels, width, height, channels, &idat)) {
        return {};
    }
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutU32(header, width);
    PutU32(header, height);
    // Bit depth 8, the colour type, deflate, adaptive filtering, no interlace.
    header.insert(header.end(), {8, colourType, 0, 0, 0});
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", idat);
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace

std::vector<uint8_t> EncodePngRgb(const uint8_t* rgb, uint32_t width, uint32_t height) {
    return EncodePng(rgb, width, height, 2);
}

std::vector<uint8_t> EncodePngRgba(const uint8_t* rgba, uint32_t width, uint32_t height) {
    return EncodePng(rgba, width, height, 6);
}
