// SPDX-License-Identifier: MIT
#include "platform/byte_cursor.h"

#include <gtest/gtest.h>

TEST(ByteCursor, ReadsLittleAndBigEndianAndFailsForGoodPastTheEnd) {
    const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x00, 0x00, 0x80, 0x3F};
    ByteCursor c(bytes, sizeof bytes);
    EXPECT_EQ(c.U8(), 0x01);
    EXPECT_EQ(c.U16(), 0x0302);
    EXPECT_EQ(c.U16Be(), 0x0405);
    EXPECT_EQ(c.F32(), 1.0f);
    EXPECT_TRUE(c.Ok());
    EXPECT_EQ(c.Remaining(), 0u);
    EXPECT_EQ(c.U32(), 0u);
    EXPECT_FALSE(c.Ok());
    EXPECT_FALSE(c.Seek(0));  // a failed cursor stays failed
}

TEST(ByteCursor, RefusesSpansThatDoNotFit) {
    const uint8_t bytes[] = {1, 2, 3};
    ByteCursor c(bytes, sizeof bytes);
    EXPECT_EQ(c.Take(4), nullptr);
    EXPECT_FALSE(c.Ok());
    ByteCursor d(bytes, sizeof bytes);
    EXPECT_TRUE(d.Skip(3));
    EXPECT_TRUE(d.Skip(0));
    EXPECT_FALSE(d.Seek(4));
    ByteCursor none(nullptr, 10);
    EXPECT_EQ(none.Size(), 0u);
    EXPECT_EQ(none.U8(), 0u);
}
