// SPDX-License-Identifier: MIT
#include "indexbar/name_filter.h"

namespace {

// Entry names are Latin-1: ASCII letters take the short way, the rest Qt's case table.
inline QChar Lower(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80) {
        return QChar(u >= 'A' && u <= 'Z' ? static_cast<char16_t>(u + 32) : u);
    }
    return c.toLower();
}

}  // namespace

NameFilter::NameFilter(const QString& text) {
    m_pattern.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('*') && m_pattern.endsWith(QLatin1Char('*'))) {
            continue;
        }
        m_pattern.append(Lower(c));
    }
    // "*" alone, or only stars, asks for nothing more than no filter does.
    if (m_pattern == QLatin1String("*")) {
        m_pattern.clear();
    }
    m_whole = m_pattern.contains(QLatin1Char('*')) || m_pattern.contains(QLatin1Char('?'));
}

// Wildcard matching with the usual backtracking to the last star: each name is short, so
// the worst case (length of name times length of pattern) stays small. A plain text is
// matched as if it began and ended with a star.
bool NameFilter::Matches(QStringView name) const {
    const qsizetype n = name.size();
    const qsizetype m = m_pattern.size();
    const QChar* pattern = m_pattern.constData();
    qsizetype i = 0;
    qsizetype j = 0;
    qsizetype resumeAt = m_whole ? -1 : 0;  // pattern position after the last star
    qsizetype mark = 0;                     // name position that star has swallowed up to
    while (i < n) {
        if (j < m && pattern[j] == QLatin1Char('*')) {
            resumeAt = ++j;
            mark = i;
            continue;
        }
        if (j < m && (pattern[j] == QLatin1Char('?') || pattern[j] == Lower(name[i]))) {
            ++i;
            ++j;
            continue;
        }
        if (j == m && !m_whole) {
            return true;  // the rest of the name falls to the implied last star
        }
        if (resumeAt < 0) {
            return false;
        }
        j = resumeAt;
        i = ++mark;
    }
    while (j < m && pattern[j] == QLatin1Char('*')) {
        ++j;
    }
    return j == m;
}
