// SPDX-License-Identifier: MIT
#include "viewers/child_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QPainter>
#include <QVBoxLayout>
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

std::map<int, CChildFrame::EntryCommand>& EntryCommands() {
    static std::map<int, CChildFrame::EntryCommand> commands;
    return commands;
}

// What a reader of the window needs to know about an entry that is not whole.
QString NoticeFor(const IEntrySource& source, EntryId id, const EntryCheck& check) {
    QString text = CChildFrame::tr("This entry is not whole: %1.")
                       .arg(QString::fromUtf8(DescribeEntryProblem(check.problem)));
    if (check.problem == EntryProblem::CutShort) {
        text += CChildFrame::tr(" The archive holds %1 of its %2 bytes.")
                    .arg(check.storedBytes)
                    .arg(source.Size(id));
    }
    return text;
}

std::map<std::string, ChildFrameFactory>& Factories() {
    static std::map<std::string, ChildFrameFactory> factories;
    return factories;
}

}  // namespace

CChildFrame::CChildFrame(QWidget* parent)
    : QMdiSubWindow(parent), m_pClient(new CChildClient(this)) {
    // A notice, made only when there is one to give, goes above the client widget.
    auto* holder = new QWidget;
    m_pLayout = new QVBoxLayout(holder);
    m_pLayout->setContentsMargins(0, 0, 0, 0);
    m_pLayout->setSpacing(0);
    m_pLayout->addWidget(m_pClient, 1);
    setWidget(holder);
}

CChildFrame::~CChildFrame() {
    if (m_pDocument) {
        m_pDocument->RemoveObserver(this);
    }
}

void CChildFrame::SetEntry(const EntrySourcePtr& source, EntryId id, ArchiveDocument* document) {
    m_entrySource = source;
    m_entry = id;
    if (source) {
        SetSourceFile(source->ArchiveIdentity());
    }
    if (m_pDocument) {
        m_pDocument->RemoveObserver(this);
    }
    m_pDocument = document;
    if (m_pDocument) {
        m_pDocument->AddObserver(this);
    }
    m_bArchiveOpen = true;
    UpdateTitle();
}

QString CChildFrame::GetEntryName() const {
    if (!m_entrySource) {
        return windowTitle();
    }
    return QString::fromLatin1(m_entrySource->Name(m_entry).c_str());
}

// A rewritten archive (saved under the same name) is still the window's own.
void CChildFrame::OnSourceReplaced(const EntrySourcePtr& source) {
    if (!m_entrySource) {
        return;
    }
    m_bArchiveOpen =
        source && (source->ArchiveIdentity().SameFile(m_entrySource->ArchiveIdentity()) ||
                   source->ArchivePath() == m_entrySource->ArchivePath());
    UpdateTitle();
}

void CChildFrame::UpdateTitle() {
    if (!m_entrySource) {
        return;
    }
    const QString archive =
        QFileInfo(QString::fromStdString(m_entrySource->ArchivePath())).fileName();
    QString title = tr("%1 — %2").arg(GetEntryName(), archive);
    if (!m_bArchiveOpen) {
        title = tr("%1 (archive no longer open)").arg(title);
    }
    setWindowTitle(title);
}

void CChildFrame::ShowNotice(const QString& text) {
    if (!m_pNotice) {
        m_pNotice = new QLabel;
        m_pNotice->setWordWrap(true);
        m_pNotice->setMargin(4);
        m_pNotice->setStyleSheet(QStringLiteral("background: #ffffe1; color: black;"));
        m_pLayout->insertWidget(0, m_pNotice);
    }
    m_pNotice->setText(text);
    m_pNotice->setVisible(!text.isEmpty());
}

QString CChildFrame::GetNotice() const {
    return m_pNotice && !m_pNotice->isHidden() ? m_pNotice->text() : QString();
}

void CChildFrame::SetEntryCommand(int id, EntryCommand command) {
    EntryCommands()[id] = command;
}

// Extract and Properties in a window act on the entry it shows, from its own archive;
// with the keyboard in the index they are the index's.
bool CChildFrame::OnEntryCommand(int id, CommandQuery query, CCmdUI* ui) {
    const auto found = EntryCommands().find(id);
    if (found == EntryCommands().end() || !m_entrySource || FocusElsewhere()) {
        return false;
    }
    if (query == CommandQuery::UpdateHandler && ui) {
        ui->Enable(true);
    } else if (query == CommandQuery::Execute) {
        found->second(*this);
    }
    return true;
}

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
    if (!check.Whole() && source) {
        ShowNotice(NoticeFor(*source, id, check));
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
    return OnEntryCommand(id, query, ui) || DispatchCommand(*this, kChildCommands, id, query, ui);
}

void CChildFrame::OnFileClose() {
    CloseFrame();
}

void CChildFrame::SetClientSize(int width, int height) {
    const QSize extra = size() - m_pClient->size();
    QSize frame(width + extra.width(), height + extra.height());
    if (!AreaSize().isEmpty()) {
        frame = frame.boundedTo(AreaSize());
    }
    resize(frame);
}

QSize CChildFrame::AreaSize() const {
    const QMdiArea* area = mdiArea();
    return area ? area->viewport()->size() : QSize();
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
