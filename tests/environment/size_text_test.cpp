#include <gtest/gtest.h>

#include <cstring>
#include <string>

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
