// SPDX-License-Identifier: MIT
#include "archive/lzss.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/support/lzss_encoder.h"

using lumo::test::Bytes;
using lumo::test::LzssCompress;
using lumo::test::LzssOptions;
using lumo::test::LzssStreamWriter;
using lumo::test::RingDecode;

namespace {

// Decodes into a buffer with guard bytes after `capacity`, checking they stay untouched.
Bytes Decode(const Bytes& stream, uint32_t capacity) {
    Bytes out(capacity + 64, 0xCD);
    uint32_t written =
        LzssDecode(stream.data(), static_cast<uint32_t>(stream.size()), out.data(), capacity);
    EXPECT_LE(written, capacity);
    for (size_t i = capacity; i < out.size(); ++i) {
        EXPECT_EQ(out[i], 0xCD) << "write past capacity at " << i;
    }
    out.resize(written);
    return out;
}

Bytes Decode(const Bytes& stream) {
    return Decode(stream, LzssDecodedSize(stream.data(), static_cast<uint32_t>(stream.size())));
}

uint32_t SizeOf(const Bytes& stream) {
    return LzssDecodedSize(stream.data(), static_cast<uint32_t>(stream.size()));
}

// Something like a field background: tiles of palette indices with runs and repeats.
Bytes FieldLike(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes out;
    while (out.size() < size) {
        switch (random() % 4) {
            case 0:
                out.insert(out.end(), 8 + random() % 40, static_cast<uint8_t>(random()));
                break;
            case 1:
                for (int i = 0; i < 16; ++i) {
                    out.push_back(static_cast<uint8_t>(i * 3 + random() % 2));
                }
                break;
            case 2:
                if (out.size() > 300) {
                    size_t from = out.size() - 1 - random() % 300;
                    for (int i = 0; i < 24; ++i) {
                        out.push_back(out[from + i]);
                    }
                }
                break;
            default:
                out.push_back(static_cast<uint8_t>(random()));
        }
    }
    out.resize(size);
    return out;
}

}  // namespace

TEST(Lzss, KnownStreams) {
    EXPECT_EQ(Decode({}), Bytes{});
    EXPECT_EQ(SizeOf({}), 0u);
    // One literal, then offset 0xFEE length 5 at distance 1: a run.
    EXPECT_EQ(Decode({0x01, 0x41, 0xEE, 0xF2}), Bytes(6, 0x41));
    // A reference before any output reads the zero window.
    EXPECT_EQ(Decode({0x00, 0x00, 0x00}), Bytes(3, 0x00));
    Bytes eight = {1, 2, 3, 4, 5, 6, 7, 8};
    Bytes literals(1, 0xFF);
    for (uint8_t b : eight) {
        literals.push_back(b);
    }
    EXPECT_EQ(Decode(literals), eight);
    // A stream ending after its last item, mid-group: the leftover flag bits are ignored.
    EXPECT_EQ(Decode({0x03, 'a', 'b'}), (Bytes{'a', 'b'}));
}

TEST(Lzss, RoundTripsThroughTheEncoder) {
    std::vector<Bytes> inputs = {
        Bytes(10000, 0),  // all zero window references
        FieldLike(70000, 1),
        FieldLike(5000, 2),
        Bytes{7},
    };
    std::mt19937 random(3);
    Bytes noise(9000);
    for (auto& b : noise) {
        b = static_cast<uint8_t>(random());
    }
    inputs.push_back(noise);
    for (const Bytes& raw : inputs) {
        for (bool overlap : {true, false}) {
            LzssOptions options;
            options.allowOverlap = overlap;
            Bytes stream = LzssCompress(raw, options);
            EXPECT_EQ(SizeOf(stream), raw.size());
            EXPECT_EQ(Decode(stream), raw);
            EXPECT_EQ(RingDecode(stream), raw);
        }
    }
}

TEST(Lzss, ReferencesIntoTheZeroWindowAndOverlappingRuns) {
    LzssStreamWriter writer;
    writer
        .Reference(4095, 18)  // wholly before the start: zeros
        .Literals({1, 2})     //
        .Reference(25, 10)    // starts in the zero window, runs into real output
        .Reference(2, 18)     // overlapping: repeats the last two bytes
        .Reference(1, 3);     // distance 1: repeats the last byte
    Bytes expected(18, 0);
    expected.push_back(1);
    expected.push_back(2);
    for (int i = 0; i < 10; ++i) {
        long source = static_cast<long>(expected.size()) - 25;
        expected.push_back(source < 0 ? 0 : expected[static_cast<size_t>(source)]);
    }
    for (int i = 0; i < 18; ++i) {
        expected.push_back(expected[expected.size() - 2]);
    }
    for (int i = 0; i < 3; ++i) {
        expected.push_back(expected.back());
    }
    Bytes stream = writer.Stream();
    EXPECT_EQ(Decode(stream), expected);
    EXPECT_EQ(RingDecode(stream), expected);
    EXPECT_EQ(writer.DecodedLength(), expected.size());
}

// A reference naming the slot about to be written yields what the ring held there: the
// byte from 4,096 positions earlier, or zero while the output is shorter than that.
TEST(Lzss, ZeroDistanceActsLikeTheRing) {
    LzssStreamWriter early;
    early.Literals({9, 9, 9}).ZeroDistanceReference(5);
    EXPECT_EQ(Decode(early.Stream()), (Bytes{9, 9, 9, 0, 0, 0, 0, 0}));

    LzssStreamWriter late;
    Bytes prefix = FieldLike(5000, 4);
    late.Literals(prefix).ZeroDistanceReference(18).ZeroDistanceReference(3);
    Bytes stream = late.Stream();
    Bytes decoded = Decode(stream);
    ASSERT_EQ(decoded.size(), 5021u);
    EXPECT_EQ(decoded, RingDecode(stream));
    for (size_t i = 5000; i < decoded.size(); ++i) {
        EXPECT_EQ(decoded[i], decoded[i - 4096]);
    }
}

TEST(Lzss, StreamsCutShortDecodeTheirWholeItems) {
    LzssStreamWriter writer;
    writer.Literals({1, 2, 3}).Reference(3, 6);
    // Cut inside the reference: only the literals survive.
    Bytes cut = writer.StreamCutInsideLastReference();
    EXPECT_EQ(Decode(cut), (Bytes{1, 2, 3}));
    EXPECT_EQ(SizeOf(cut), 3u);
    // A flag byte with no items after it adds nothing.
    Bytes dangling = writer.StreamWithDanglingFlag(0x00);
    EXPECT_EQ(SizeOf(dangling), writer.DecodedLength());
    EXPECT_EQ(Decode(dangling).size(), writer.DecodedLength());
    // A lone flag byte.
    EXPECT_EQ(Decode({0x00}), Bytes{});
}

TEST(Lzss, LeavesNothingButZerosPastTheOutput) {
    Bytes raw = FieldLike(20000, 8);
    Bytes stream = LzssCompress(raw);
    Bytes out(raw.size() + 500, 0xCD);
    ASSERT_EQ(LzssDecode(stream.data(), static_cast<uint32_t>(stream.size()), out.data(),
                         static_cast<uint32_t>(out.size())),
              raw.size());
    EXPECT_TRUE(std::equal(raw.begin(), raw.end(), out.begin()));
    for (size_t i = raw.size(); i < out.size(); ++i) {
        EXPECT_TRUE(out[i] == 0xCD || out[i] == 0) << i;
    }
}

TEST(Lzss, NeverWritesPastCapacity) {
    Bytes raw = FieldLike(3000, 5);
    Bytes stream = LzssCompress(raw);
    for (uint32_t capacity : {0u, 1u, 2u, 17u, 100u, 1499u, 2999u, 3000u, 4000u}) {
        Bytes out = Decode(stream, capacity);
        size_t expected = std::min<size_t>(capacity, raw.size());
        ASSERT_EQ(out.size(), expected) << capacity;
        EXPECT_TRUE(std::equal(out.begin(), out.end(), raw.begin())) << capacity;
    }
}

// Differential check against the independent ring decoder on arbitrary bytes, which
// covers every malformed shape at once: sizes, contents and guard bytes must agree.
TEST(Lzss, ArbitraryBytesMatchTheRingDecoder) {
    std::mt19937 random(6);
    for (int round = 0; round < 300; ++round) {
        // Long enough for some outputs to pass 4,096 bytes and wrap the ring.
        Bytes stream(random() % 2000);
        for (auto& b : stream) {
            b = static_cast<uint8_t>(random());
        }
        Bytes expected = RingDecode(stream);
        EXPECT_EQ(SizeOf(stream), expected.size());
        EXPECT_EQ(
            LzssEndsOnItem(stream.data(), static_cast<uint32_t>(stream.size())),
            LzssMeasureStream(stream.data(), static_cast<uint32_t>(stream.size())).endsOnItem);
        EXPECT_EQ(Decode(stream), expected);
    }
}

// The fast path copies references in fixed-size steps; every period up to a few steps and
// every length must still come out as the ring decoder gives it, also cut at any size.
TEST(Lzss, EveryShortPeriodAndLengthMatchesTheRingDecoder) {
    std::mt19937 random(8);
    LzssStreamWriter writer;
    for (int i = 0; i < 64; ++i) {
        writer.Literal(static_cast<uint8_t>(random()));
    }
    for (int distance = 1; distance <= 26; ++distance) {
        for (int length = 3; length <= 18; ++length) {
            writer.Reference(distance, length).Literal(static_cast<uint8_t>(random()));
        }
    }
    Bytes stream = writer.Stream();
    Bytes expected = RingDecode(stream);
    EXPECT_EQ(Decode(stream), expected);
    for (uint32_t capacity : {100u, 2047u, 5000u}) {
        Bytes cut = Decode(stream, capacity);
        EXPECT_TRUE(std::equal(cut.begin(), cut.end(), expected.begin())) << capacity;
    }
}

// Pieces put together are the whole output, also for outputs of several pieces, streams
// cut inside an item and arbitrary bytes.
TEST(Lzss, PiecesMakeTheWholeOutput) {
    std::mt19937 random(9);
    Bytes noise(5000);
    for (auto& b : noise) {
        b = static_cast<uint8_t>(random());
    }
    LzssStreamWriter cut;
    cut.Literals(Bytes(40, 7)).Reference(3, 18).Reference(40, 5);
    for (const Bytes& stream : {LzssCompress(FieldLike(3u << 20, 10)), noise,
                                cut.StreamCutInsideLastReference(), Bytes{}}) {
        Bytes pieces;
        LzssPieceDecoder decoder(stream.data(), static_cast<uint32_t>(stream.size()));
        size_t count = 0;
        while (const uint8_t* piece = decoder.Next(&count)) {
            pieces.insert(pieces.end(), piece, piece + count);
        }
        EXPECT_EQ(pieces, Decode(stream));
    }
}

TEST(Lzss, NullBuffersDecodeNothing) {
    uint8_t out[4] = {};
    EXPECT_EQ(LzssDecodedSize(nullptr, 10), 0u);
    EXPECT_EQ(LzssDecode(nullptr, 10, out, 4), 0u);
    const uint8_t stream[] = {0xFF, 1};
    EXPECT_EQ(LzssDecode(stream, 2, nullptr, 4), 0u);
}
