// SPDX-License-Identifier: MIT
// What the main frame does for a desktop user beyond the menus: the keyboard (pane and
// window cycling, the find field), the find field in the tool bar row with its count in
// pane 0, and files dropped on the window.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMdiArea>
#include <QMimeData>
#include <QSizePolicy>
#include <QUrl>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "indexbar/find_field.h"
#include "res/resource.h"
#include "viewers/child_frame.h"

namespace {

// The local file a drag carries, or an empty string: one file at a time, as File > Open.
QString DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1) {
        return {};
    }
    const QUrl url = data->urls().front();
    if (!url.isLocalFile()) {
        return {};
    }
    const QFileInfo info(url.toLocalFile());
    return info.isFile() ? info.absoluteFilePath() : QString();
}

}  // namespace

// The find field goes at the far end of the tool bar row, so the index bar's caption and
// list keep their places.
void CMainFrame::PlaceFindField() {
    CFindField* field = m_wndIndexBar.GetFindField();
    if (field == nullptr) {
        return;
    }
    auto* spacer = new QWidget(&m_wndArchiveBar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_wndArchiveBar.addWidget(spacer);
    // The bar keeps the field hidden until someone places it; the tool bar shows what
    // it holds.
    field->setHidden(false);
    m_wndArchiveBar.addWidget(field);
    connect(&m_wndIndexBar, &CIndexBar::filterChanged, this,
            [this](const QString& text, int shown, int total) {
                if (text.isEmpty()) {
                    ShowIdleMessage();
                } else {
                    m_wndStatusBar.SetPaneText(0, tr("%1 of %2 entries").arg(shown).arg(total));
                }
            });
}

// Rows dragged out of the index are written by whoever the archive commands installed.
void CMainFrame::EnableDragOut() {
    CListCtrl* list = m_wndIndexBar.GetListCtrl();
    if (list == nullptr || !theApp.m_dragFiles) {
        return;
    }
    list->SetDragFileProvider(
        [](const std::vector<uint16_t>& entries) { return theApp.m_dragFiles(entries); });
    connect(list, &CListCtrl::dragEnded, this, [] {
        if (theApp.m_dragEnded) {
            theApp.m_dragEnded();
        }
    });
}

// Files dropped on the index go to whoever the archive commands installed; they decide
// whether a drop inserts or opens.
void CMainFrame::EnableFileDrops() {
    CListCtrl* list = m_wndIndexBar.GetListCtrl();
    if (list == nullptr || !theApp.m_dropOnIndex) {
        return;
    }
    list->SetFileDropHandler([](const QStringList& paths, bool drop) {
        std::vector<std::string> files;
        for (const QString& path : paths) {
            files.push_back(path.toStdString());
        }
        return theApp.m_dropOnIndex(files, drop);
    });
}

void CMainFrame::OnEditFind() {
    if (CFindField* field = m_wndIndexBar.GetFindField()) {
        field->setFocus(Qt::ShortcutFocusReason);
        field->selectAll();
    }
}

// Two panes: the index (its list and its find field) and the active entry window. F6 and
// Shift+F6 both go to the other one; without an entry window the index keeps the focus.
void CMainFrame::OnNextPane() {
    QWidget* focus = QApplication::focusWidget();
    const bool inIndex = focus != nullptr && (m_wndIndexBar.isAncestorOf(focus) ||
                                              focus == m_wndIndexBar.GetFindField());
    CChildFrame* child = GetActiveChild();
    if (inIndex && child != nullptr) {
        QWidget* client = child->widget() ? child->widget() : child;
        if (client->focusPolicy() == Qt::NoFocus) {
            client->setFocusPolicy(Qt::ClickFocus);  // a viewer must be able to hold the keys
        }
        client->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (CListCtrl* list = m_wndIndexBar.GetListCtrl()) {
        list->setFocus(Qt::OtherFocusReason);
    }
}

void CMainFrame::OnPrevPane() {
    OnNextPane();
}

void CMainFrame::OnWindowNext() {
    m_pMdiArea->activateNextSubWindow();
}

void CMainFrame::OnWindowPrev() {
    m_pMdiArea->activatePreviousSubWindow();
}

void CMainFrame::OnUpdateWindowCycle(CCmdUI* pCmdUI) {
    pCmdUI->Enable(GetChildFrames().size() > 1);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (CListCtrl::CarriesOwnRows(event->mimeData()) ||
        (theApp.m_openArchiveFile && !DroppedFile(event->mimeData()).isEmpty())) {
        event->acceptProposedAction();
    }
}

// A dropped file is opened as if chosen in File > Open archive...; one that is not an
// archive gets the same message.
// Rows of the index dragged onto the workspace are opened in viewers, as Enter would:
// the files the drag carries are copies of the entries, no archives.
void CMainFrame::dropEvent(QDropEvent* event) {
    if (CListCtrl::CarriesOwnRows(event->mimeData())) {
        event->acceptProposedAction();
        SendCommand(ID_ITEM_OPEN);
        return;
    }
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    if (theApp.m_openArchiveFile) {
        theApp.m_openArchiveFile(path.toStdString());
    }
}
