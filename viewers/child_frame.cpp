// SPDX-License-Identifier: MIT
#include "viewers/child_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "res/resource.h"
#include "viewers/viewer_table.h"

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

bool CChildFrame::LoadEntryBuffer(EntryBuffer& buffer, uint32_t nSize) {
    return LoadEntryData(buffer.Data(), nSize);
}

bool CChildFrame::ReadsDecoded() const {
    const char* name = metaObject()->className();
    for (const ViewerInfo& info : Viewers()) {
        if (std::strcmp(info.className, name) == 0) {
            return info.decoded;
        }
    }
    return false;
}

bool CChildFrame::LoadEntryFrom(const EntrySourcePtr& source, EntryId id) {
    std::vector<uint8_t> bytes;
    EntryCheck check;
    check.problem = EntryProblem::CannotRead;
    if (source) {
        check = source->Read(id, ReadsDecoded(), &bytes);
    }
    // Into a block of its own, which a viewer that keeps the bytes whole may take; none,
    // as from the catalogue's reads, when the archive could not be read at all.
    EntryBuffer buffer;
    const bool unread =
        check.problem == EntryProblem::CannotRead || check.problem == EntryProblem::ArchiveChanged;
    unsigned char* block =
        unread ? nullptr
               : static_cast<unsigned char*>(std::malloc(bytes.empty() ? 1 : bytes.size()));
    if (block && !bytes.empty()) {
        std::memcpy(block, bytes.data(), bytes.size());
    }
    *buffer.Address() = block;
    const auto size = block ? static_cast<uint32_t>(bytes.size()) : 0u;
    bytes = std::vector<uint8_t>();
    return LoadEntryBuffer(buffer, size);
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
