// SPDX-License-Identifier: MIT
#include "archive/run_shape.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

// A run asks after each failure until Skip All, stops asking and going on at Cancel (or
// when the progress hook says so), and never asks once it stopped for its own reason.
TEST(RunState, AsksUntilSkipAllAndStopsAtCancel) {
    struct Case {
        std::vector<RunDecision> answers;
        int failures, asked;
        bool cancelled;
    };
    for (const Case& c : {Case{{RunDecision::Skip, RunDecision::Skip}, 3, 3, false},
                          Case{{RunDecision::Skip, RunDecision::SkipAll}, 4, 2, false},
                          Case{{RunDecision::Cancel}, 3, 1, true}}) {
        int asked = 0;
        RunHooks hooks;
        hooks.decide = [&](const RunFailure&) {
            return c.answers[std::min<size_t>(asked++, c.answers.size() - 1)];
        };
        RunState state(hooks);
        for (int i = 0; i < c.failures; ++i) {
            state.Failed({EntryId{static_cast<uint32_t>(i)}, RunReason::CutShort, "cut short"});
        }
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(state.Cancelled(), c.cancelled);
        EXPECT_EQ(state.Continue(1, 2, EntryId{1}), !c.cancelled);
    }
    RunHooks stopAtOne;
    int asked = 0;
    stopAtOne.progress = [](size_t done, size_t, EntryId) { return done < 1; };
    stopAtOne.decide = [&asked](const RunFailure&) {
        ++asked;
        return RunDecision::Skip;
    };
    RunState state(stopAtOne);
    EXPECT_TRUE(state.Continue(0, 2, EntryId{0}));
    EXPECT_FALSE(state.Continue(1, 2, EntryId{1}));
    EXPECT_FALSE(state.Continue(0, 2, EntryId{0}));  // cancelled for good
    state.Failed({});
    RunState stopped(stopAtOne);
    stopped.Stop();
    stopped.Failed({});
    EXPECT_EQ(asked, 0);
}
