// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "environment/game_environment.h"

namespace {

std::string Short(uint32_t n) {
    char buffer[16];
    char* result = CGameEnvironment::FormatSizeShort(buffer, n);
    EXPECT_EQ(result, buffer);
    return result;
}

std::string Long(uint32_t n) {
    char buffer[16];
    char* result = CGameEnvironment::FormatSizeLong(buffer, n);
    EXPECT_EQ(result, buffer);
    return result;
}

}  // namespace

TEST(SizeText, ShortFormSwitchesToKilobytesAt1024AndRoundsDown) {
    EXPECT_EQ(Short(0), "0");
    EXPECT_EQ(Short(1023), "1023");
    EXPECT_EQ(Short(1024), "1 kB");
    EXPECT_EQ(Short(2047), "1 kB");
    EXPECT_EQ(Short(1048576), "1024 kB");
    EXPECT_EQ(Short(0xFFFFFFFFu), "4194303 kB");  // the longest text: 10 characters
}

TEST(SizeText, LongFormHasBytesKilobytesAndMegabytes) {
    EXPECT_EQ(Long(0), "0 bytes");
    EXPECT_EQ(Long(1), "1 bytes");
    EXPECT_EQ(Long(1023), "1023 bytes");
    EXPECT_EQ(Long(1024), "1 kB");
    EXPECT_EQ(Long(1048575), "1023 kB");
    EXPECT_EQ(Long(1048576), "1.0 MB");
    EXPECT_EQ(Long(1048576 + 104858), "1.1 MB");  // rounds to the nearest tenth
    EXPECT_EQ(Long(1048576 * 3 - 1), "3.0 MB");
    EXPECT_EQ(Long(0xFFFFFFFFu), "4096.0 MB");
}

// The megabyte figure is the C library's "%.1f" of the exact quotient, also at the ties
// between two tenths, but always with a '.' whatever the locale.
TEST(SizeText, MegabytesRoundLikeTheCLibraryInEveryLocale) {
    std::vector<uint32_t> sizes = {0xFFFFFFFFu, 0xFFF00000u, 0xFFF7FFFFu, 0xFFF80000u};
    for (uint32_t tie = 1048576 + 52428; tie < 40u << 20; tie += 104857) {
        sizes.push_back(tie);
    }
    for (uint32_t k = 1; k < 200; k += 2) {
        sizes.push_back((4u << 20) + k * 52428u);  // about a half tenth, either side
        sizes.push_back((4u << 20) + k * 52429u);
    }
    for (uint32_t k = 5; k < 40; ++k) {
        sizes.push_back(k * 262144u);  // odd multiples fall exactly between two tenths
        sizes.push_back(k * 262144u - 1);
        sizes.push_back(k * 262144u + 1);
    }
    for (uint32_t n : sizes) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "%.1f MB", n / 1048576.0);
        EXPECT_EQ(Long(n), expected) << n;
    }
}

TEST(SizeText, NeverWritesMoreThanElevenCharacters) {
    for (uint32_t n : {0u, 1023u, 1024u, 1048575u, 1048576u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        char buffer[32];
        std::memset(buffer, 'x', sizeof buffer);
        CGameEnvironment::FormatSizeShort(buffer, n);
        EXPECT_LE(std::strlen(buffer), 10u);
        std::memset(buffer, 'x', sizeof buffer);
        CGameEnvironment::FormatSizeLong(buffer, n);
        EXPECT_LE(std::strlen(buffer), 10u);
    }
}
