// SPDX-License-Identifier: MIT
#pragma once
// Renders a field file's background (the decompressed bytes of a "flevel.lgp" entry)
// from its 16x16 tiles into a 5-5-5 image. Qt-free: the viewer window, the command-line
// tool and the benchmarks share it.
//
// Every byte is untrusted: nothing is read outside [data, data + size) and nothing is
// written outside the image; a file that cannot be rendered yields an error.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

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

// Pixels that start out zero by way of calloc: the pages of a large image come zeroed
// from the system and cost nothing until a tile draws on them, where clearing them
// first would write every byte of up to 32 MB. A plain block, not a vector: a vector
// with such an allocator still walks every element to make and unmake it.
class PixelBuffer {
public:
    PixelBuffer() = default;
    explicit PixelBuffer(size_t count) { Allocate(count); }
    PixelBuffer(const PixelBuffer& other) { *this = other; }
    PixelBuffer(PixelBuffer&& other) noexcept { *this = std::move(other); }
    PixelBuffer& operator=(const PixelBuffer& other) {
        if (this != &other) {
            Allocate(other.m_size);
            std::copy(other.begin(), other.end(), begin());
        }
        return *this;
    }
    PixelBuffer& operator=(PixelBuffer&& other) noexcept {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        return *this;
    }
    ~PixelBuffer() { std::free(m_data); }

    // `count` pixels of `value`.
    void assign(size_t count, uint16_t value) {
        Allocate(count);
        std::fill(begin(), end(), value);
    }

    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    uint16_t* data() { return m_data; }
    const uint16_t* data() const { return m_data; }
    uint16_t* begin() { return m_data; }
    uint16_t* end() { return m_data + m_size; }
    const uint16_t* begin() const { return m_data; }
    const uint16_t* end() const { return m_data + m_size; }
    uint16_t& operator[](size_t i) { return m_data[i]; }
    uint16_t operator[](size_t i) const { return m_data[i]; }

private:
    // Replaces the block with `count` zeroed pixels.
    void Allocate(size_t count) {
        std::free(m_data);
        m_data = nullptr;
        m_size = 0;
        if (count != 0) {
            m_data = static_cast<uint16_t*>(std::calloc(count, sizeof(uint16_t)));
            if (m_data == nullptr) {
                throw std::bad_alloc();
            }
            m_size = count;
        }
    }

    uint16_t* m_data = nullptr;
    size_t m_size = 0;
};

// Pixels: H rows of W values, each 16-bit in the 5-5-5 layout (blue bits 0-4, green 5-9,
// red 10-14), rows padded to a multiple of 4 bytes as a 16-bit device bitmap wants.
struct FieldImage {
    uint16_t width = 0;
    uint16_t height = 0;
    size_t strideBytes = 0;  // bytes per row: width * 2 rounded up to 4
    PixelBuffer pixels;      // height * strideBytes / 2 values

    uint16_t PixelAt(int x, int y) const { return pixels[y * (strideBytes / 2) + x]; }
};

// The field palette stores red in bits 0-4 and blue in bits 10-14; the image the other
// way round. Bit 15 is dropped.
inline uint16_t ConvertFieldColour(uint16_t s) {
    return static_cast<uint16_t>(((s & 0x1F) << 10) | ((s >> 10) & 0x1F) | (s & 0x3E0));
}

// Renders into `out` (replacing its contents). On error `out` is left empty.
//
// How files at the edges are taken:
//  - Only sections 3 (palettes) and 8 (background) are drawn from, but every section
//    the count names must have its 4-byte size field inside the file (SectionRange);
//    the size itself is never used.
//  - A file too short to hold the count at offset 2 is SectionCount.
//  - A W or H of 0 is a valid, empty image (no error); its tiles are still checked.
//  - Every tile not skipped has its 16 x 16 texel square checked as a whole, even where
//    it falls outside the image and is clipped away (TexelRange); a skipped tile is not
//    read at all. A colour that one of its non-zero texels names must lie in the file,
//    or the file is refused as SectionRange. Negative page, palette and source values
//    are addressed as written and only need to land inside the file.
//  - Pixels of a tile that fall outside the image are dropped.
FieldError RenderFieldBackground(const uint8_t* data, size_t size, FieldImage& out);
