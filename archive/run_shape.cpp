// SPDX-License-Identifier: MIT
#include "archive/run_shape.h"

RunReason ReasonOf(EntryProblem problem) {
    switch (problem) {
        case EntryProblem::None:
            return RunReason::None;
        case EntryProblem::HeaderMissing:
            return RunReason::HeaderMissing;
        case EntryProblem::CutShort:
            return RunReason::CutShort;
        case EntryProblem::StreamLengthMissing:
            return RunReason::StreamLengthMissing;
        case EntryProblem::StreamPastEntry:
            return RunReason::StreamPastEntry;
        case EntryProblem::StreamCutShort:
            return RunReason::StreamCutShort;
        case EntryProblem::DecodedTooLarge:
            return RunReason::DecodedTooLarge;
        case EntryProblem::ArchiveChanged:
            return RunReason::ArchiveChanged;
        case EntryProblem::CannotRead:
            return RunReason::CannotRead;
    }
    return RunReason::CannotRead;
}

bool RunState::Continue(size_t done, size_t total, EntryId entry) {
    if (!m_cancelled && m_hooks.progress && !m_hooks.progress(done, total, entry)) {
        m_cancelled = true;
    }
    return !m_cancelled;
}

void RunState::Failed(const RunFailure& failure) {
    if (!m_hooks.decide || m_skipAll || m_cancelled || m_stopped) {
        return;
    }
    switch (m_hooks.decide(failure)) {
        case RunDecision::Skip:
            break;
        case RunDecision::SkipAll:
            m_skipAll = true;
            break;
        case RunDecision::Cancel:
            m_cancelled = true;
            break;
    }
}
