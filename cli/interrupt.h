// SPDX-License-Identifier: MIT
#pragma once
// ^C (and SIGTERM) during a run that writes: the handler only notes the signal, the run
// asks between entries and stops after the file in flight is placed or dropped, so what
// was printed is every file moved into place and nothing is left half done. Outside a
// watch the signals keep their default effect; a second one during a watch ends the
// program at once.
class InterruptWatch {
public:
    InterruptWatch();
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    // Whether a signal came since the watch began.
    static bool Interrupted();
    // The exit status for it: 128 + the signal's number (130 for ^C).
    static int ExitStatus();
};
