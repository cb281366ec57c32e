// SPDX-License-Identifier: MIT
// Rename (F2): the marked entry's name is edited in place in the index. Every keystroke
// is checked against what the game can look up and against the other entries; a name
// that cannot be given says why and cannot be committed. A rename is one change, undone
// and redone like any other.
#include <QCoreApplication>
#include <QString>

#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/lgp_rules.h"
#include "commands/archive_doc.h"
#include "edit/lgp_changes.h"
#include "platform/prompts.h"
#include "res/resource.h"
#include "res/resource_tables.h"

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("CLumoApp", text);
}

// The row to rename: the marked one when it is selected, else the first selected.
int RowToRename(const CListCtrl& list) {
    const std::vector<int> rows = list.GetSelectedRows();
    const int mark = list.GetSelectionMark();
    for (int row : rows) {
        if (row == mark) {
            return row;
        }
    }
    return rows.empty() ? -1 : rows.front();
}

}  // namespace

CListCtrl* CArchiveDoc::IndexList() const {
    CListCtrl* list =
        m_app.m_pMainFrame ? m_app.m_pMainFrame->m_wndIndexBar.GetListCtrl() : nullptr;
    return list && list->isEnabled() ? list : nullptr;
}

QString CArchiveDoc::RenameRefusal(EntryId id, const QString& name) {
    for (QChar c : name) {
        if (c.unicode() > 0xFF) {
            return Tr("the name holds a character an archive cannot keep");
        }
    }
    const std::string wanted = name.toLatin1().toStdString();
    const EntrySourcePtr source = Source();
    if (!source || !source->Contains(id) || wanted == source->Name(id)) {
        return {};
    }
    const std::string why = lgp::NameRefusal(wanted, true);
    if (!why.empty()) {
        return QString::fromStdString(why);
    }
    const std::string folder = source->Folder(id);
    if (Edits().Has(wanted, folder)) {
        return folder.empty() ? Tr("another entry has that name")
                              : Tr("another entry in %1 has that name")
                                    .arg(QString::fromLatin1(folder.c_str()));
    }
    return {};
}

void CArchiveDoc::RenameEntry(EntryId id, const QString& name) {
    const EntrySourcePtr source = Source();
    if (!source || !source->Contains(id) || !RenameRefusal(id, name).isEmpty()) {
        return;
    }
    const std::string why =
        Edits().Rename(source->PositionOf(id), name.toLatin1().toStdString(), source->Folder(id));
    if (!why.empty()) {
        platform::MessageRequest message;
        message.text = why;
        message.icon = platform::MessageIcon::Exclamation;
        platform::Prompts().ShowMessage(message);
        return;
    }
    PublishChanges();
}

// An editor in a hidden index could be typed into unseen: the index must show.
void CArchiveDoc::OnItemRename() {
    CListCtrl* list = IndexList();
    if (list && !list->isVisible()) {
        return;
    }
    const int row = list ? RowToRename(*list) : -1;
    if (row < 0 || !Source()) {
        return;
    }
    const EntrySourcePtr source = Source();
    const EntryId id = source->IdAt(static_cast<size_t>(list->GetItemData(row)));
    NameEdit edit;
    // The editor closes whenever the list is refilled, so a commit always meets the source
    // it was opened on; the check makes sure.
    edit.check = [this, id](const QString& name) { return RenameRefusal(id, name); };
    edit.commit = [this, id, source](const QString& name) {
        if (Source() == source) {
            RenameEntry(id, name);
        }
    };
    CMainFrame* frame = m_app.m_pMainFrame;
    edit.told = [frame](const QString& why) {
        if (why.isEmpty()) {
            frame->m_wndStatusBar.SetPaneText(
                0, QString::fromUtf8(LoadResString(AFX_IDS_IDLEMESSAGE)));
        } else {
            frame->m_wndStatusBar.SetPaneText(0, Tr("This name cannot be given: %1.").arg(why));
        }
    };
    list->EditName(row, std::move(edit));
}

void CArchiveDoc::OnUpdateItemRename(CCmdUI* pCmdUI) {
    CListCtrl* list = IndexList();
    pCmdUI->Enable(Source() && list && list->isVisible() && list->GetSelectedCount() > 0);
}
