// SPDX-License-Identifier: MIT
#include "platform/message_text.h"

#include <gtest/gtest.h>

TEST(EscapeForMessage, ShowsEveryControlAndStrayByteAsHexAndKeepsText) {
    struct Case {
        std::string text, shown;
    };
    for (const Case& c : {
             Case{"plain name.txt", "plain name.txt"},
             Case{"a\nb\tc\x1B[2J", "a\\x0Ab\\x09c\\x1B[2J"},
             Case{"back\\slash\x7F", "back\\\\slash\\x7F"},
             Case{"nel\xC2\x85 csi\xC2\x9B", "nel\\x85 csi\\x9B"},  // C1 controls
             Case{"nbsp\xC2\xA0 caf\xC3\xA9 \xE2\x82\xAC", "nbsp\xC2\xA0 caf\xC3\xA9 \xE2\x82\xAC"},
             Case{"latin\xE9 cut\xC3", "latin\\xE9 cut\\xC3"},  // not UTF-8
             Case{"overlong\xC0\xAF surrogate\xED\xA0\x80",
                  "overlong\\xC0\\xAF surrogate\\xED\\xA0\\x80"},
         }) {
        EXPECT_EQ(EscapeForMessage(c.text), c.shown) << c.text;
    }
}
