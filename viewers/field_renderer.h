#pragma once
// Renders a field file's background (the decompressed bytes of a "flevel.lgp" entry)
// from its 16x16 tiles into a 5-5-5 image. Qt-free: the viewer window, the command-line
// tool and the benchmarks share it.
//
// Every byte is untrusted: nothing is read outside [data, data + size) and nothing is
// written outside the image; a file that cannot be rendered yields an error.
#include <cstddef>
#include <cstdint>
#include <vector>

enum class FieldError {
    None,
    Empty,            // null or empty buffer
    SectionCount,     // section count outside 9..16
    SectionRange,     // a section offset or its data lies outside the file
    BackgroundRange,  // background header or tile lists run past the file
    TexelRange,       // a drawn tile reads texels past the end of the file
    TooLarge,         // W x H above 16,777,216 pixels
};

const char* DescribeFieldError(FieldError error);

// Pixels: H rows of W values, each 16-bit in the 5-5-5 layout (blue bits 0-4, green 5-9,
// red 10-14), rows padded to a multiple of 4 bytes as a 16-bit device bitmap wants.
struct FieldImage {
    uint16_t width = 0;
    uint16_t height = 0;
    size_t strideBytes = 0;        // bytes per row: width * 2 rounded up to 4
    std::vector<uint16_t> pixels;  // height * strideBytes / 2 values

    uint16_t PixelAt(int x, int y) const { return pixels[y * (strideBytes / 2) + x]; }
};

// The field palette stores red in bits 0-4 and blue in bits 10-14; the image the other
// way round. Bit 15 is dropped.
inline uint16_t ConvertFieldColour(uint16_t s) {
    return static_cast<uint16_t>(((s & 0x1F) << 10) | ((s >> 10) & 0x1F) | (s & 0x3E0));
}

// Renders into `out` (replacing its contents). On error `out` is left empty.
FieldError RenderFieldBackground(const uint8_t* data, size_t size, FieldImage& out);
