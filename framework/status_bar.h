// SPDX-License-Identifier: MIT
#pragma once
// The frame's status bar: pane 0 for messages and prompts, stretching over the width
// left, and fixed-width sunken panes after it whose texts are clipped to their width.
#include <QLabel>
#include <QStatusBar>
#include <QString>
#include <vector>

class CStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit CStatusBar(QWidget* parent = nullptr);

    // One pane per indicator ID; each starts with its string-table text (pane 0, the
    // separator, starts empty). False when an ID other than the separator has no string.
    bool SetIndicators(const int* ids, int count);
    void SetPaneInfo(int index, int id, int width);

    // Sets a pane's text; with `update` the pane repaints at once, since commands run
    // without returning to the event loop in between.
    void SetPaneText(int index, const QString& text, bool update = true);
    QString GetPaneText(int index) const;
    int GetPaneCount() const { return static_cast<int>(m_panes.size()); }
    QLabel* GetPane(int index) const;

private:
    std::vector<QLabel*> m_panes;
    std::vector<int> m_ids;
};
