// SPDX-License-Identifier: MIT
#pragma once
// LZSS decoder for the compressed entries of field archives.
//
// Stream: groups of one flag byte (bits taken from the least significant up) and up to
// eight items; bit 1 = a literal byte, bit 0 = a two-byte reference (12-bit ring
// position, 4-bit length + 3). The window is 4,096 bytes, starts zero-filled, and the
// first output byte sits at ring position 0xFEE.
//
// Safety contract, whatever the bytes:
//  - neither function reads src[len] or beyond;
//  - LzssDecode never writes dst[capacity] or beyond; the bytes between the count it
//    returns and `capacity` are left as they were or set to zero, nothing else;
//  - a stream that ends inside an item decodes up to its last whole item;
//  - a reference whose distance works out to 0 yields the byte written 4,096 positions
//    earlier, or 0 before that: what a zero-filled 4,096-byte ring decoder yields.
#include <cstddef>
#include <cstdint>
#include <vector>

// What a stream amounts to, worked out without decoding it.
struct LzssMeasure {
    uint64_t decodedSize = 0;  // exact, even past 4 GiB
    bool endsOnItem = true;    // false when the stream ends inside a reference
};
LzssMeasure LzssMeasureStream(const uint8_t* src, uint32_t len);

// Whether the stream ends on a whole item, walked without counting its output: the cheap
// half of LzssMeasureStream.
bool LzssEndsOnItem(const uint8_t* src, uint32_t len);

// Number of bytes the stream decodes to (at most UINT32_MAX); writes nothing.
uint32_t LzssDecodedSize(const uint8_t* src, uint32_t len);

// Decodes into dst, writing at most `capacity` bytes; returns the count written.
uint32_t LzssDecode(const uint8_t* src, uint32_t len, uint8_t* dst, uint32_t capacity);

// Decodes a stream a piece at a time, for writers that pass the output on as it comes
// instead of holding all of it: the pieces put together are what LzssDecode gives with
// room for the whole output. Holds the last 4,096 bytes as the window and about 1 MiB.
class LzssPieceDecoder {
public:
    LzssPieceDecoder(const uint8_t* src, uint32_t len);
    // The next piece of output, valid until the next call; null with *count 0 at the end.
    const uint8_t* Next(size_t* count);

private:
    const uint8_t* m_in;
    const uint8_t* m_end;
    std::vector<uint8_t> m_buffer;
    uint32_t m_pos = 0;  // where the next output byte goes in m_buffer
    bool m_done = false;
};
