// SPDX-License-Identifier: MIT
// Which entries count as text, line endings, hex lines and Find.
#include <gtest/gtest.h>

#include <string>

#include "formats/hex.h"
#include "formats/text.h"

namespace {

const uint8_t* U(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

}  // namespace

TEST(Text, PrintableLatin1WithLineEndingsIsText) {
    const struct {
        std::string bytes;
        bool text;
    } cases[] = {
        {"plain line\r\nand\tmore\n", true},
        {"caf\xE9 \xA0", true},
        {"", false},
        {std::string("nul\0", 4), false},
        {"bell\a", false},
        {"c1 \x85", false},
        {"del \x7F", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LooksLikeText(U(c.bytes), c.bytes.size()), c.text) << c.bytes;
    }
}

TEST(Text, EitherKindOfLineEndingBecomesOneLineFeed) {
    const std::string in = "a\r\nb\rc\n\r\nd\r";
    EXPECT_EQ(NormaliseLineEndings(U(in), in.size()), "a\nb\nc\n\nd\n");
}

TEST(Hex, LinesShowOffsetBytesAndCharacters) {
    std::string data;
    for (int i = 0; i < 20; ++i) {
        data.push_back(static_cast<char>(0x3C + i));
    }
    EXPECT_EQ(HexLineCount(data.size()), 2u);
    EXPECT_EQ(HexLine(U(data), data.size(), 0),
              "00000000  3C 3D 3E 3F 40 41 42 43  44 45 46 47 48 49 4A 4B  <=>?@ABCDEFGHIJK");
    EXPECT_EQ(HexLine(U(data), data.size(), 1),
              "00000010  4C 4D 4E 4F" + std::string(12 * 3 + 2, ' ') + " LMNO");
    EXPECT_EQ(HexLine(U(data), data.size(), 2), "");
    const std::string odd = "\x01\xFF";
    EXPECT_EQ(HexLine(U(odd), 2, 0).substr(10 + 16 * 3 + 2), "..");
}

TEST(Hex, FindTakesHexPairsOrTextAndWrapsRound) {
    const std::string data = "Hello, dead beef \xDE\xAD\xBE\xEF hello";
    const FindPattern bytes = ParseFindPattern("DE AD be EF");
    EXPECT_FALSE(bytes.ignoreCase);
    EXPECT_EQ(FindBytes(U(data), data.size(), bytes, 0), 17u);
    const FindPattern word = ParseFindPattern("HELLO");
    EXPECT_EQ(FindBytes(U(data), data.size(), word, 1), 22u);
    EXPECT_EQ(FindBytes(U(data), data.size(), word, 23), 0u);  // wrapped
    EXPECT_EQ(FindBytes(U(data), data.size(), ParseFindPattern("dead"), 0), 7u);
    EXPECT_FALSE(FindBytes(U(data), data.size(), ParseFindPattern("absent"), 0));
    EXPECT_FALSE(FindBytes(U(data), data.size(), ParseFindPattern(""), 0));
}
