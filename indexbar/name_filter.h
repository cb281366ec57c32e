#pragma once
// The index's find field: which entry names contain the text typed, ignoring letter
// case, where '*' stands for any run of characters and '?' for any one character.
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
    QString m_pattern;  // lower case; a run of '*' kept as one
};
