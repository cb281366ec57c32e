#include "viewers/child_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <map>
#include <string>

#include "res/resource.h"

const char* const CChildFrame::kPlaceholderText =
    QT_TRANSLATE_NOOP("CChildFrame", "-- This should not be here --");

namespace {

const CommandMapEntry<CChildFrame> kChildCommands[] = {
    {ID_FILE_CLOSE, &CChildFrame::OnFileClose, nullptr},
};

// The client area: erased to light gray, painted by the frame's PaintFrame.
class CChildClient : public QWidget {
public:
    explicit CChildClient(CChildFrame* frame) : QWidget(frame), m_pFrame(frame) {
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(192, 192, 192));
        setPalette(pal);
    }

protected:
    void paintEvent(QPaintEvent*) override { m_pFrame->PaintFrame(); }

private:
    CChildFrame* m_pFrame;
};

std::map<std::string, ChildFrameFactory>& Factories() {
    static std::map<std::string, ChildFrameFactory> factories;
    return factories;
}

}  // namespace

CChildFrame::CChildFrame(QWidget* parent)
    : QMdiSubWindow(parent), m_pClient(new CChildClient(this)) {
    setWidget(m_pClient);
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::CloseFrame() {
    close();
}

void CChildFrame::PaintFrame() {
    QPainter dc(m_pClient);
    dc.setBackgroundMode(Qt::TransparentMode);
    dc.drawText(m_pClient->rect(), Qt::AlignCenter | Qt::TextSingleLine, tr(kPlaceholderText));
}

bool CChildFrame::LoadEntryData(const unsigned char*, uint32_t) {
    return false;
}

void CChildFrame::SetArchiveEntry(const CLgpArchive*, uint16_t) {}

bool CChildFrame::LoadEntryBuffer(EntryBuffer& buffer, uint32_t nSize) {
    return LoadEntryData(buffer.Data(), nSize);
}

bool CChildFrame::OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) {
    return DispatchCommand(*this, kChildCommands, id, query, ui);
}

void CChildFrame::OnFileClose() {
    CloseFrame();
}

void CChildFrame::SetClientSize(int width, int height) {
    QSize extra = size() - m_pClient->size();
    resize(width + extra.width(), height + extra.height());
}

bool CChildFrame::FocusElsewhere() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus && focus != this && !isAncestorOf(focus) && !focus->inherits("QMdiArea");
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    QMdiSubWindow::closeEvent(event);
    if (event->isAccepted()) {
        m_bClosed = true;
        emit frameClosed();
    }
}

void RegisterChildFrameClass(const char* className, ChildFrameFactory factory) {
    Factories()[className] = factory;
}

CChildFrame* CreateChildFrameByName(const char* className) {
    auto found = Factories().find(className ? className : "");
    return found == Factories().end() ? nullptr : found->second();
}
