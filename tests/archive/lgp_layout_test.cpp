// SPDX-License-Identifier: MIT
#include "archive/lgp_layout.h"

#include <gtest/gtest.h>

#include <string>

// The game finds an entry by the slot of its first two characters; a wrong slot means
// the game cannot find the file. '_' and '-' share the slots of 'k' and 'l'.
TEST(LgpLayout, LookupSlotsFollowTheFirstTwoCharacters) {
    struct Case {
        std::string name;
        int slot;
    };
    for (const Case& c :
         {Case{"aaaa.hrc", 1}, Case{"a_x.tex", 11}, Case{"ak.p", 11}, Case{"ball.p", 31},
          Case{"BALL.P", 31}, Case{"_a", 301}, Case{"-a", 331}, Case{"k-", 312}, Case{"0z", 26},
          Case{"zz", 776}, Case{"a.", 0}, Case{"z.tex", 750}, Case{".ab", -1}, Case{"a", -1},
          Case{"", -1}, Case{"a b", -1}, Case{"\xE9t", -1}}) {
        EXPECT_EQ(lgp::LookupSlot(c.name.c_str()), c.slot) << c.name;
    }
}
