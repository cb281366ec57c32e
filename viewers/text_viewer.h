// SPDX-License-Identifier: MIT
#pragma once
// The text viewer: an entry's bytes as Latin-1 text, read-only, lines ended by either
// kind of line ending, with Find and Edit > Copy of the selection.
#include "viewers/child_frame.h"

class QPlainTextEdit;

class CTextViewer : public CChildFrame {
    Q_OBJECT
public:
    explicit CTextViewer(QWidget* parent = nullptr);
    ~CTextViewer() override;

    bool OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) override;
    void PaintFrame() override {}
    // Any bytes show as text; always true.
    bool LoadEntryData(const unsigned char* pData, uint32_t nSize) override;

    // Selects the next match of `text` (ignoring case) after the selection, wrapping
    // round; false when there is none.
    bool FindNext(const QString& text);
    QPlainTextEdit* GetEditor() const { return m_pEdit; }

    void OnEditFind();
    void OnEditCopy();
    void OnUpdateEditCopy(CCmdUI* pCmdUI);

private:
    QPlainTextEdit* m_pEdit;
    QString m_lastFind;
};
