// SPDX-License-Identifier: MIT
#pragma once
// The index's find field: which entry names hold the text typed, ignoring letter case.
// A text without '*' or '?' is looked for anywhere in the name; a text with them is
// matched against the whole name, '*' standing for any run of characters and '?' for
// any one character. lumo-cli's ENTRY patterns read the same way.
#include <QString>
#include <QStringView>

class NameFilter {
public:
    NameFilter() = default;
    explicit NameFilter(const QString& text);

    // An empty filter lets every name through.
    bool IsEmpty() const { return m_pattern.isEmpty(); }
    bool Matches(QStringView name) const;

private:
    QString m_pattern;     // lower case; a run of '*' kept as one
    bool m_whole = false;  // the pattern has wildcards: it must match the whole name
};
