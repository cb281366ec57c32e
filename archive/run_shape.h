// SPDX-License-Identifier: MIT
#pragma once
// The shape of every long run over the entries of an archive (extraction, Verify, and
// writing an archive): how far it is, whether the user cancelled, and what to do after
// an entry failed (Skip, Skip All, Cancel). A failure carries a reason code beside its
// English text: lumo-cli prints the text, the desktop program shows the code's
// translated text (commands/ maps them) and the English text only where the code leaves
// details to it (which system error, what decoding found).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "archive/entry_check.h"
#include "archive/entry_source.h"

enum class RunReason : uint8_t {
    None,
    // What the entry check finds, one for one with EntryProblem.
    HeaderMissing,
    CutShort,
    StreamLengthMissing,
    StreamPastEntry,
    StreamCutShort,
    DecodedTooLarge,
    ArchiveChanged,
    CannotRead,
    // Where an entry was to go.
    NotPlainName,          // its name would reach out of the folder, or is a device
    SameTargetInRun,       // another entry of the run went to that file
    TargetIsArchive,       // the target is the archive being read
    TargetWriteProtected,  // a write-protected file is in the way, and is kept
    TargetTaken,           // a file appeared in the way during the run, and is kept
    TargetNotAFile,        // what is in the way is no regular file, and is kept
    NotOverExisting,       // not whole, and a file is in the way: kept
    CannotWrite,           // the host refused; the text says why
    // What decoding finds in a whole entry (the text says what).
    CannotDecode,
    // A rule of the archive's tables that the game relies on to find entries is broken
    // (the text says which).
    GameCannotFind,
};

// The reason code of an entry check's problem (None for a whole entry).
RunReason ReasonOf(EntryProblem problem);

enum class RunDecision { Skip, SkipAll, Cancel };

struct RunFailure {
    EntryId entry;
    RunReason reason = RunReason::None;
    std::string text;  // English, for lumo-cli and the log
};

// What a front end hands a run. Either may be empty: no progress shown, never asked
// (every failure skipped).
struct RunHooks {
    // Before each entry, with the count done; false cancels the run.
    std::function<bool(size_t done, size_t total, EntryId entry)> progress;
    // After an entry failed, as soon as that is known: what to do next.
    std::function<RunDecision(const RunFailure&)> decide;
};

// A run's side of its hooks: it asks until Skip All, and stops asking once cancelled.
class RunState {
public:
    explicit RunState(const RunHooks& hooks) : m_hooks(hooks) {}

    // Reports progress; false once the user or a decision cancelled the run.
    bool Continue(size_t done, size_t total, EntryId entry);
    // Tells the front end about a failure (unless it said Skip All or the run stopped).
    void Failed(const RunFailure& failure);
    bool Cancelled() const { return m_cancelled; }
    // Stops asking: the run ends for a reason of its own.
    void Stop() { m_stopped = true; }

private:
    const RunHooks& m_hooks;
    bool m_skipAll = false;
    bool m_cancelled = false;
    bool m_stopped = false;
};
