// SPDX-License-Identifier: MIT
// The find field's matching: contains, or the whole name with '*' and '?'; any case.
#include <gtest/gtest.h>

#include "indexbar/name_filter.h"

namespace {

TEST(NameFilter, ContainsUnlessWildcardsAskForTheWholeName) {
    struct Case {
        const char* text;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"", "anything", true},
        {"*", "anything", true},
        {"tex", "ABC.TEX", true},  // no wildcard: anywhere in the name, any case
        {"TEX", "abc.tex", true},
        {"tex", "abc.te", false},
        {"a*c", "abbbc", true},  // a wildcard: the whole name
        {"a*c", "xxabbbcxx", false},
        {"*a*c*", "xxabbbcxx", true},
        {"a*c", "xxcba", false},
        {"a?c", "abc", true},  // exactly one character
        {"a?c", "zabc", false},
        {"a?c", "ac", false},
        {"a??", "ba", false},  // '?' needs a character to stand for
        {"*.p", "md1_1.p", true},
        {"*.p", "md1_1.png", false},
        {"**x", "x", true},                // a run of stars is one star
        {"ab*ab*c", "abxabyabc", true},    // the second star backtracks past a false start
        {"\xe9t\xe9", "\xc9T\xc9", true},  // Latin-1 letters fold too
        {"long", "", false},
    };
    for (const Case& c : cases) {
        const NameFilter filter(QString::fromLatin1(c.text));
        EXPECT_EQ(filter.Matches(QString::fromLatin1(c.name)), c.matches)
            << c.text << " in " << c.name;
    }
    EXPECT_TRUE(NameFilter(QStringLiteral("**")).IsEmpty());
}

}  // namespace
