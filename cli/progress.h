// SPDX-License-Identifier: MIT
#pragma once
// "N/M files" on standard error while a long run goes on, for lumo-cli -v. Shown only
// when standard error is a terminal: in a log file the rewritten line would be noise.
#include <cstddef>

class Progress {
public:
    Progress(bool wanted, size_t total);
    ~Progress();  // ends the line
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // One more item done.
    void Step();

private:
    bool m_shown;
    size_t m_total;
    size_t m_done = 0;
    size_t m_lastPercent = 0;
};
