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
}

// Wildcard matching of "*pattern*" with the usual backtracking to the last star: each
// name is short, so the worst case (length of name times length of pattern) stays small.
bool NameFilter::Matches(QStringView name) const {
    const qsizetype n = name.size();
    const qsizetype m = m_pattern.size();
    const QChar* pattern = m_pattern.constData();
    qsizetype i = 0;
    qsizetype j = 0;
    qsizetype resumeAt = 0;  // pattern position after the last star (the implied first)
    qsizetype mark = 0;      // name position that star has swallowed up to
    while (true) {
        if (j == m) {
            return true;  // the rest of the name falls to the implied last star
        }
        if (pattern[j] == QLatin1Char('*')) {
            resumeAt = ++j;
            mark = i;
            continue;
        }
        if (i == n) {
            return false;
        }
        if (pattern[j] == QLatin1Char('?') || pattern[j] == Lower(name[i])) {
            ++i;
            ++j;
            continue;
        }
        j = resumeAt;
        i = ++mark;
    }
}
