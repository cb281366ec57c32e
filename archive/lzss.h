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
#include <cstdint>

// What a stream amounts to, worked out without decoding it.
struct LzssMeasure {
    uint64_t decodedSize = 0;  // exact, even past 4 GiB
    bool endsOnItem = true;    // false when the stream ends inside a reference
};
LzssMeasure LzssMeasureStream(const uint8_t* src, uint32_t len);

// Number of bytes the stream decodes to (at most UINT32_MAX); writes nothing.
uint32_t LzssDecodedSize(const uint8_t* src, uint32_t len);

// Decodes into dst, writing at most `capacity` bytes; returns the count written.
uint32_t LzssDecode(const uint8_t* src, uint32_t len, uint8_t* dst, uint32_t capacity);
