// SPDX-License-Identifier: MIT
#include "cli/progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define LUMO_ISATTY(f) _isatty(_fileno(f))
#else
#include <unistd.h>
#define LUMO_ISATTY(f) isatty(fileno(f))
#endif

Progress::Progress(bool wanted, size_t total)
    : m_shown(wanted && total > 0 && LUMO_ISATTY(stderr)), m_total(total) {}

Progress::~Progress() {
    if (m_shown && m_done > 0) {
        std::fputc('\n', stderr);
    }
}

void Progress::Step() {
    ++m_done;
    if (!m_shown) {
        return;
    }
    // Redrawn at each whole percent: tens of thousands of small entries would otherwise
    // spend their time writing to the terminal.
    const size_t percent = m_done * 100 / m_total;
    if (m_done == 1 || m_done == m_total || percent != m_lastPercent) {
        m_lastPercent = percent;
        std::fprintf(stderr, "\r%zu/%zu files", m_done, m_total);
        std::fflush(stderr);
    }
}
