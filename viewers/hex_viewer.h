// SPDX-License-Identifier: MIT
#pragma once
// The hex viewer: any entry as offset, 16 bytes in hex and the same bytes as characters,
// read-only, with Find, and Copy of the lines marked by Find or picked with the mouse. Only the
// lines on screen are ever formatted, so an entry of 64 MiB opens as fast as a small one and
// scrolls as smoothly.
#include <QAbstractScrollArea>
#include <cstdlib>
#include <memory>

#include "viewers/child_frame.h"

// The scrolling line view over bytes it does not own.
class CHexView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CHexView(QWidget* parent = nullptr);
    void SetData(const unsigned char* data, size_t size);
    // Brings the bytes [offset, offset + length) into view and marks them.
    void ShowRange(uint64_t offset, uint64_t length);
    uint64_t FirstVisibleLine() const;
    int LineHeight() const;
    uint64_t MarkStart() const { return m_markStart; }
    uint64_t MarkLength() const { return m_markLength; }
    // The marked lines as they are shown, one per text line; "" when none are marked.
    std::string MarkedLinesText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    // A click marks the line under it; a drag or a Shift+click marks the lines from there.
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void UpdateScrollBars();
    uint64_t LineAt(int y) const;
    void MarkLines(uint64_t from, uint64_t to);

    const unsigned char* m_pData = nullptr;
    size_t m_nSize = 0;
    uint64_t m_markStart = 0;
    uint64_t m_markLength = 0;
    uint64_t m_anchorLine = 0;
};

class CHexViewer : public CChildFrame {
    Q_OBJECT
public:
    explicit CHexViewer(QWidget* parent = nullptr);
    ~CHexViewer() override;

    bool OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) override;
    void PaintFrame() override {}
    // Any bytes show; always true.
    bool LoadEntryData(const unsigned char* pData, uint32_t nSize) override;
    // Keeps the caller's block rather than a copy of it.
    bool LoadEntryBuffer(EntryBuffer& buffer, uint32_t nSize) override;

    // Finds `query` (hex pairs such as "DE AD", or text ignoring case) after the last
    // match, wrapping round, and shows it; false when it is not there.
    bool FindNext(const std::string& query);
    CHexView* GetView() const { return m_pView; }

    void OnEditFind();
    void OnEditCopy();
    void OnUpdateEditCopy(CCmdUI* pCmdUI);

private:
    void Show(uint32_t nSize);
    bool CanCopy() const;  // lines are marked, and not too many to copy

    // Either our own copy or the block handed over, released with free.
    std::unique_ptr<unsigned char, void (*)(void*)> m_data{nullptr, std::free};
    uint32_t m_nSize = 0;
    CHexView* m_pView;
    std::string m_lastFind;
};
