// SPDX-License-Identifier: MIT
#pragma once
// Builds LZSS streams for tests: a greedy compressor for real-looking entries, and an
// item-by-item writer for streams with exactly the references a test wants, including
// malformed ones.
//
// Stream format: a flag byte (bits from the least significant up, 1 = literal) and up to
// eight items; a reference is two bytes, b0 = ring position low 8 bits, b1 = ring
// position high 4 bits << 4 | (length - 3). The first output byte sits at ring 0xFEE.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumo::test {

using Bytes = std::vector<uint8_t>;

struct LzssOptions {
    // Let references reach before the first output byte, into the zero-filled window.
    bool useZeroWindow = true;
    // Let references overlap the bytes they are writing (runs).
    bool allowOverlap = true;
    // How many earlier positions the match finder tries per byte.
    int maxChainLength = 64;
};

// Greedy compressor: the longest match of 3 to 18 bytes, or a literal.
Bytes LzssCompress(const Bytes& raw, const LzssOptions& options = {});

// A compressed entry as stored in a field archive: 4-byte little-endian stream length,
// then the stream.
Bytes LzssEntry(const Bytes& stream);
inline Bytes LzssCompressEntry(const Bytes& raw) {
    return LzssEntry(LzssCompress(raw));
}

// Writes a stream item by item, keeping track of the output position so references can
// be given as distances.
class LzssStreamWriter {
public:
    LzssStreamWriter& Literal(uint8_t byte);
    LzssStreamWriter& Literals(const Bytes& bytes);
    // A reference by raw ring position (0 to 4095) and length (3 to 18).
    LzssStreamWriter& RingReference(uint16_t ringPosition, int length);
    // A reference to the bytes `distance` (1 to 4095) back from the current position;
    // a distance past the start of the output reads the zero-filled window.
    LzssStreamWriter& Reference(int distance, int length);
    // A reference naming the ring slot about to be written (distance works out to 0).
    LzssStreamWriter& ZeroDistanceReference(int length);

    // Output length a correct decoder produces for the items written so far.
    uint32_t DecodedLength() const { return m_position; }

    // The well-formed stream.
    Bytes Stream() const { return m_stream; }
    // The stream with its last reference cut after its first byte (last item must be a
    // reference).
    Bytes StreamCutInsideLastReference() const;
    // The stream followed by a flag byte with no items (pads the last group to eight
    // items first, with literals 0, which then count towards DecodedLength()).
    Bytes StreamWithDanglingFlag(uint8_t flags = 0x00);

private:
    void BeginItem(bool literal);

    Bytes m_stream;
    size_t m_flagIndex = 0;
    int m_itemsInGroup = 8;  // forces a flag byte before the first item
    uint32_t m_position = 0;
    size_t m_lastReferenceEnd = 0;  // stream length just after the last reference
};

// The plain 4,096-byte ring buffer decoder, written independently of the library's
// decoder so tests and benchmarks can compare against it. Stops at the last whole item.
Bytes RingDecode(const uint8_t* src, size_t len);
inline Bytes RingDecode(const Bytes& stream) {
    return RingDecode(stream.data(), stream.size());
}

}  // namespace lumo::test
