// SPDX-License-Identifier: MIT
#include "viewers/hex_viewer.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "formats/hex.h"
#include "res/resource.h"
#include "viewers/find_prompt.h"

namespace {

const CommandMapEntry<CHexViewer> kHexCommands[] = {
    {ID_EDIT_FIND, &CHexViewer::OnEditFind, nullptr},
    {ID_EDIT_COPY, &CHexViewer::OnEditCopy, &CHexViewer::OnUpdateEditCopy},
};

constexpr int kMargin = 4;
constexpr int kOpeningLines = 24;
// Copy takes at most this much of an entry: 4 MiB of bytes is some 20 MB of text.
constexpr uint64_t kMostCopied = uint64_t{4} << 20;

}  // namespace

CHexView::CHexView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
}

void CHexView::SetData(const unsigned char* data, size_t size) {
    m_pData = data;
    m_nSize = size;
    m_markStart = m_markLength = 0;
    UpdateScrollBars();
    verticalScrollBar()->setValue(0);
    viewport()->update();
}

int CHexView::LineHeight() const {
    return std::max(1, fontMetrics().height());
}

uint64_t CHexView::FirstVisibleLine() const {
    return static_cast<uint64_t>(verticalScrollBar()->value());
}

void CHexView::ShowRange(uint64_t offset, uint64_t length) {
    m_anchorLine = offset / kHexBytesPerLine;
    m_markStart = offset;
    m_markLength = length;
    const uint64_t line = offset / kHexBytesPerLine;
    const int visible = std::max(1, viewport()->height() / LineHeight());
    if (line < FirstVisibleLine() || line >= FirstVisibleLine() + visible) {
        verticalScrollBar()->setValue(static_cast<int>(line) - visible / 2);
    }
    viewport()->update();
}

uint64_t CHexView::LineAt(int y) const {
    const uint64_t lines = HexLineCount(m_nSize);
    const uint64_t line = FirstVisibleLine() + static_cast<uint64_t>(std::max(0, y) / LineHeight());
    return lines == 0 ? 0 : std::min(line, lines - 1);
}

void CHexView::MarkLines(uint64_t from, uint64_t to) {
    const uint64_t first = std::min(from, to);
    const uint64_t last = std::max(from, to);
    m_markStart = first * kHexBytesPerLine;
    m_markLength = std::min<uint64_t>(m_nSize, (last + 1) * kHexBytesPerLine) - m_markStart;
    viewport()->update();
}

void CHexView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || m_nSize == 0) {
        return QAbstractScrollArea::mousePressEvent(event);
    }
    const uint64_t line = LineAt(event->position().toPoint().y());
    if (!(event->modifiers() & Qt::ShiftModifier) || m_markLength == 0) {
        m_anchorLine = line;
    }
    MarkLines(m_anchorLine, line);
}

void CHexView::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) && m_nSize != 0) {
        MarkLines(m_anchorLine, LineAt(event->position().toPoint().y()));
    }
}

std::string CHexView::MarkedLinesText() const {
    std::string text;
    if (m_markLength == 0) {
        return text;
    }
    const uint64_t last = (m_markStart + m_markLength - 1) / kHexBytesPerLine;
    for (uint64_t line = m_markStart / kHexBytesPerLine; line <= last; ++line) {
        text += HexLine(m_pData, m_nSize, line) + '\n';
    }
    return text;
}

void CHexView::UpdateScrollBars() {
    const uint64_t lines = HexLineCount(m_nSize);
    const int visible = std::max(1, viewport()->height() / LineHeight());
    // 64 MiB is four million lines: the bar's int range holds far more.
    verticalScrollBar()->setRange(0,
                                  static_cast<int>(std::max<uint64_t>(lines, visible) - visible));
    verticalScrollBar()->setPageStep(visible);
    const int width = fontMetrics().horizontalAdvance(QString(78, QLatin1Char('0'))) + 2 * kMargin;
    horizontalScrollBar()->setRange(0, std::max(0, width - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
}

void CHexView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void CHexView::paintEvent(QPaintEvent*) {
    if (!m_pData) {
        return;
    }
    QPainter dc(viewport());
    const int height = LineHeight();
    const int ascent = fontMetrics().ascent();
    const int x = kMargin - horizontalScrollBar()->value();
    const uint64_t first = FirstVisibleLine();
    const uint64_t markFirst = m_markStart / kHexBytesPerLine;
    const uint64_t markLast =
        m_markLength ? (m_markStart + m_markLength - 1) / kHexBytesPerLine : markFirst - 1;
    for (int row = 0; row * height < viewport()->height() + height; ++row) {
        const uint64_t line = first + row;
        const std::string text = HexLine(m_pData, m_nSize, line);
        if (text.empty()) {
            break;
        }
        if (m_markLength && line >= markFirst && line <= markLast) {
            dc.fillRect(0, row * height, viewport()->width(), height,
                        palette().color(QPalette::Highlight));
            dc.setPen(palette().color(QPalette::HighlightedText));
        } else {
            dc.setPen(palette().color(QPalette::Text));
        }
        dc.drawText(x, row * height + ascent, QString::fromLatin1(text.c_str()));
    }
}

CHexViewer::CHexViewer(QWidget* parent) : CChildFrame(parent), m_pView(new CHexView) {
    auto* layout = new QVBoxLayout(GetClientWidget());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pView);
}

CHexViewer::~CHexViewer() = default;

bool CHexViewer::OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) {
    // With the keyboard in the index list, Copy copies its names instead.
    if (id == ID_EDIT_COPY && FocusElsewhere()) {
        return false;
    }
    return DispatchCommand(*this, kHexCommands, id, query, ui) ||
           CChildFrame::OnCmdMsg(id, query, ui);
}

bool CHexViewer::LoadEntryData(const unsigned char* pData, uint32_t nSize) {
    if (pData && nSize > 0) {
        m_data.reset(static_cast<unsigned char*>(std::malloc(nSize)));
        if (m_data) {
            std::memcpy(m_data.get(), pData, nSize);
        }
    }
    Show(m_data ? nSize : 0);
    return true;
}

bool CHexViewer::LoadEntryBuffer(EntryBuffer& buffer, uint32_t nSize) {
    m_data.reset(buffer.Release());
    Show(m_data ? nSize : 0);
    return true;
}

void CHexViewer::Show(uint32_t nSize) {
    m_nSize = nSize;
    m_pView->SetData(m_data.get(), m_nSize);
    // Wide enough for a whole line and its scroll bar, a couple of dozen lines high.
    const QFontMetrics metrics = m_pView->fontMetrics();
    SetClientSize(metrics.horizontalAdvance(QString(78, QLatin1Char('0'))) + 2 * kMargin +
                      m_pView->verticalScrollBar()->sizeHint().width() + 2 * m_pView->frameWidth(),
                  kOpeningLines * m_pView->LineHeight() + 2 * m_pView->frameWidth());
}

bool CHexViewer::FindNext(const std::string& query) {
    const FindPattern pattern = ParseFindPattern(query);
    const uint64_t from = m_pView->MarkLength() ? m_pView->MarkStart() + 1 : 0;
    const std::optional<uint64_t> found = FindBytes(m_data.get(), m_nSize, pattern, from);
    if (!found) {
        return false;
    }
    m_pView->ShowRange(*found, pattern.bytes.size());
    return true;
}

bool CHexViewer::CanCopy() const {
    return m_pView->MarkLength() != 0 && m_pView->MarkLength() <= kMostCopied;
}

void CHexViewer::OnEditCopy() {
    if (CanCopy()) {
        QApplication::clipboard()->setText(QString::fromLatin1(m_pView->MarkedLinesText()));
    }
}

void CHexViewer::OnUpdateEditCopy(CCmdUI* pCmdUI) {
    pCmdUI->Enable(CanCopy());
}

void CHexViewer::OnEditFind() {
    const QString last = QString::fromLatin1(m_lastFind.data(), int(m_lastFind.size()));
    m_lastFind =
        AskAndFind(this, tr("Find text, or bytes as hex pairs (DE AD BE EF):"), last,
                   [this](const QString& text) { return FindNext(text.toLatin1().toStdString()); })
            .toLatin1()
            .toStdString();
}
