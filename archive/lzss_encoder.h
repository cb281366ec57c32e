// SPDX-License-Identifier: MIT
#pragma once
// LZSS encoder for field entries, the counterpart of lzss.h: its streams decode with
// LzssDecode to exactly the input.
//
// The parse is optimal for the stream's cost (a literal costs 9 bits, a reference 17):
// the longest match is found at every position, then the cheapest way through the input
// is worked out backwards. References may reach into the zero-filled window before the
// first byte and may overlap the bytes they write.
#include <cstddef>
#include <cstdint>
#include <vector>

struct LzssEncodeOptions {
    // How many earlier positions with the same three bytes are tried per position: more
    // finds longer matches in repetitive data, at the cost of speed.
    int chainLength = 96;
};

// The stream alone.
std::vector<uint8_t> LzssEncode(const uint8_t* data, size_t size,
                                const LzssEncodeOptions& options = {});

// A field entry as stored: the stream's length (32-bit little-endian), then the stream.
std::vector<uint8_t> LzssEncodeEntry(const uint8_t* data, size_t size,
                                     const LzssEncodeOptions& options = {});

// Whether `bytes` already are a field entry: a length that covers exactly the rest, and a
// stream that ends on a whole item.
bool IsLzssEntry(const uint8_t* bytes, size_t size);
