// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the LZSS decoder. Buffers are sized exactly, so the sanitizer
// catches any read past the stream or write past the capacity; the output is checked
// against a plain ring-buffer decoder, against a decode into a smaller buffer and
// against the piece-by-piece decoder.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "archive/lzss.h"

namespace {

std::vector<uint8_t> RingDecode(const uint8_t* src, size_t len) {
    uint8_t ring[4096] = {};
    unsigned r = 0xFEE;
    std::vector<uint8_t> out;
    size_t i = 0;
    for (;;) {
        if (i >= len) {
            break;
        }
        unsigned flags = src[i++];
        for (int bit = 0; bit < 8 && i < len; ++bit, flags >>= 1) {
            if (flags & 1) {
                out.push_back(ring[r] = src[i++]);
                r = (r + 1) & 0xFFF;
                continue;
            }
            if (len - i < 2) {
                return out;
            }
            unsigned offset = src[i] | ((src[i + 1] & 0xF0u) << 4);
            unsigned length = (src[i + 1] & 0x0Fu) + 3;
            i += 2;
            for (unsigned k = 0; k < length; ++k) {
                out.push_back(ring[r] = ring[(offset + k) & 0xFFF]);
                r = (r + 1) & 0xFFF;
            }
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so a read one past the end is caught.
    std::vector<uint8_t> stream(data, data + size);
    uint32_t len = static_cast<uint32_t>(size);
    uint32_t decoded = LzssDecodedSize(stream.data(), len);

    std::vector<uint8_t> expected = RingDecode(stream.data(), len);
    if (decoded != expected.size()) {
        std::abort();
    }
    // Exactly `decoded` bytes: a write at dst[capacity] lands in the sanitizer's red zone.
    std::vector<uint8_t> out(decoded);
    if (LzssDecode(stream.data(), len, out.data(), decoded) != decoded ||
        !std::equal(out.begin(), out.end(), expected.begin())) {
        std::abort();
    }
    // A short buffer holds the start of the same output; one of a byte or two stresses
    // the checked path of the last items.
    for (uint32_t capacity : {decoded / 2, decoded > 0 ? decoded - 1 : 0u, decoded % 3}) {
        std::vector<uint8_t> part(capacity);
        if (LzssDecode(stream.data(), len, part.data(), capacity) != capacity ||
            !std::equal(part.begin(), part.end(), expected.begin())) {
            std::abort();
        }
    }
    // Piece by piece, the same output.
    std::vector<uint8_t> pieces;
    LzssPieceDecoder pieceDecoder(stream.data(), len);
    size_t count = 0;
    while (const uint8_t* piece = pieceDecoder.Next(&count)) {
        pieces.insert(pieces.end(), piece, piece + count);
    }
    if (pieces != expected) {
        std::abort();
    }
    return 0;
}
