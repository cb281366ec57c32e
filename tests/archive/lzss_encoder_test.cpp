// SPDX-License-Identifier: MIT
// The LZSS encoder: every stream decodes, with our decoder and with a plain ring decoder,
// to exactly the input, and is no larger than the test builders' greedy stream.
#include "archive/lzss_encoder.h"

#include <gtest/gtest.h>

#include <random>

#include "archive/lzss.h"
#include "tests/support/lzss_encoder.h"

using lumo::test::Bytes;

namespace {

Bytes Decoded(const Bytes& stream) {
    const uint32_t size = LzssDecodedSize(stream.data(), static_cast<uint32_t>(stream.size()));
    Bytes out(size);
    out.resize(LzssDecode(stream.data(), static_cast<uint32_t>(stream.size()), out.data(), size));
    return out;
}

Bytes Random(size_t size, uint32_t seed, int alphabet) {
    std::mt19937 random(seed);
    Bytes out(size);
    for (uint8_t& b : out) {
        b = static_cast<uint8_t>(random() % alphabet);
    }
    return out;
}

}  // namespace

TEST(LzssEncoderTest, StreamsDecodeToExactlyTheInput) {
    Bytes pattern;
    for (int i = 0; i < 10000; ++i) {
        pattern.push_back(static_cast<uint8_t>("field tiles "[i % 12] + (i / 5000)));
    }
    const struct {
        const char* what;
        Bytes input;
    } cases[] = {
        {"empty", {}},
        {"one byte", {42}},
        {"two zeros, too short for a match of their own", {0, 0}},
        {"three zeros", {0, 0, 0}},
        {"zeros then other bytes, matching across the window's edge",
         {0, 0, 5, 0, 0, 5, 0, 0, 5, 0}},
        {"zeros reaching into the window before the start", Bytes(5000, 0)},
        {"a run of one byte", Bytes(300, 'a')},
        {"noise", Random(20000, 1, 256)},
        {"few symbols", Random(20000, 2, 3)},
        {"repeats farther back than the window", pattern},
        {"exactly the longest match, then one more",
         Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 1,
               2, 3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes stream = LzssEncode(c.input.data(), c.input.size());
        EXPECT_EQ(Decoded(stream), c.input);
        EXPECT_EQ(lumo::test::RingDecode(stream), c.input);
        EXPECT_LE(stream.size(), lumo::test::LzssCompress(c.input).size());
        const Bytes entry = LzssEncodeEntry(c.input.data(), c.input.size());
        EXPECT_TRUE(IsLzssEntry(entry.data(), entry.size()));
    }
}

TEST(LzssEncoderTest, TellsAWholeEntryFromOtherBytes) {
    const Bytes entry = LzssEncodeEntry(reinterpret_cast<const uint8_t*>("abcabcabc"), 9);
    Bytes cut(entry.begin(), entry.end() - 1);
    Bytes longer = entry;
    longer.push_back(0);
    Bytes insideReference = lumo::test::LzssEntry(lumo::test::LzssStreamWriter()
                                                      .Literals({1, 2})
                                                      .Reference(2, 3)
                                                      .StreamCutInsideLastReference());
    for (const Bytes& bytes : {cut, longer, insideReference, Bytes{1, 2, 3}}) {
        EXPECT_FALSE(IsLzssEntry(bytes.data(), bytes.size()));
    }
}
