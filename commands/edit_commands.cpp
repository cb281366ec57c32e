// SPDX-License-Identifier: MIT
// Changing the open archive: Remove / Delete of the selected entries, Undo and Redo,
// Save and Save As, and the question before unsaved changes would go. The changes live
// in the change list beside the snapshot they apply to; the document offers the archive
// as they make it, so the index and every reader show what a save would write.
#include <QCoreApplication>
#include <QString>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/lgp_archive.h"
#include "archive/lgp_snapshot.h"
#include "commands/archive_doc.h"
#include "edit/edited_source.h"
#include "edit/lgp_changes.h"
#include "edit/lgp_save.h"
#include "platform/prompts.h"
#include "res/resource.h"
#include "res/resource_tables.h"

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("CLumoApp", text);
}

void Tell(const std::string& text) {
    platform::MessageRequest message;
    message.text = text;
    message.icon = platform::MessageIcon::Exclamation;
    platform::Prompts().ShowMessage(message);
}

}  // namespace

size_t CArchiveDoc::PendingChanges() const {
    return m_edits ? m_edits->PendingChanges() : 0;
}

ArchiveEdits& CArchiveDoc::Edits() {
    if (!m_edits) {
        m_saved = Source();
        if (!m_saved) {
            m_saved = theArchive.Snapshot();
        }
        m_edits = std::make_unique<ArchiveEdits>(*m_saved->Catalogue());
    }
    return *m_edits;
}

void CArchiveDoc::ForgetChanges() {
    m_edits.reset();
    m_saved.reset();
    if (m_app.m_pMainFrame) {
        m_app.m_pMainFrame->setWindowTitle(QString::fromUtf8(LoadResString(IDR_MAINFRAME)));
    }
}

void CArchiveDoc::PublishChanges() {
    const size_t pending = PendingChanges();
    m_document.ChangeEntries(std::make_shared<EditedSource>(m_saved, m_edits->Entries()), {});
    if (CMainFrame* frame = m_app.m_pMainFrame) {
        const QString title = QString::fromUtf8(LoadResString(IDR_MAINFRAME));
        frame->setWindowTitle(pending ? title + QStringLiteral(" *") : title);
        frame->m_wndStatusBar.SetPaneText(
            0, pending ? Tr("%1 change(s) not saved yet.").arg(static_cast<qulonglong>(pending))
                       : Tr("No change to save."));
        frame->m_wndStatusBar.SetPaneText(
            2, Tr("%1 files").arg(static_cast<qulonglong>(Source()->Count())));
    }
}

void CArchiveDoc::OnArchiveRemove() {
    CListCtrl* list =
        m_app.m_pMainFrame ? m_app.m_pMainFrame->m_wndIndexBar.GetListCtrl() : nullptr;
    if (!list || !Source()) {
        return;
    }
    std::vector<size_t> positions;
    for (uint16_t entry : list->SelectedEntries()) {
        positions.push_back(entry);
    }
    if (positions.empty()) {
        return;
    }
    const std::string why = Edits().RemoveAll(positions);
    if (!why.empty()) {
        Tell(why);
        return;
    }
    PublishChanges();
}

void CArchiveDoc::OnUpdateArchiveRemove(CCmdUI* pCmdUI) {
    CListCtrl* list =
        m_app.m_pMainFrame ? m_app.m_pMainFrame->m_wndIndexBar.GetListCtrl() : nullptr;
    pCmdUI->Enable(Source() && list && list->isEnabled() && list->GetSelectedCount() > 0);
}

void CArchiveDoc::OnEditUndo() {
    if (m_edits && m_edits->Undo()) {
        PublishChanges();
    }
}

void CArchiveDoc::OnUpdateEditUndo(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_edits && m_edits->CanUndo());
}

void CArchiveDoc::OnEditRedo() {
    if (m_edits && m_edits->Redo()) {
        PublishChanges();
    }
}

void CArchiveDoc::OnUpdateEditRedo(CCmdUI* pCmdUI) {
    pCmdUI->Enable(m_edits && m_edits->CanRedo());
}

// Written aside, checked and only then placed; then opened again from the new file. A
// failure or Cancel leaves the file and the changes as they were.
bool CArchiveDoc::SaveTo(const std::string& path) {
    ArchiveEdits& edits = Edits();
    platform::ProgressRequest request;
    request.title = Tr("Saving %1").arg(QString::fromStdString(path)).toStdString();
    request.total = 1000;
    std::unique_ptr<platform::IProgress> progress = platform::Prompts().BeginProgress(request);
    SaveOptions options;
    options.progress = [&progress](uint64_t done, uint64_t total) {
        return progress->Step(total ? static_cast<size_t>(done * 1000 / total) : 0, "");
    };
    const SaveResult saved = SaveArchive(*m_saved->Catalogue(), edits.ForWriter(), path, options);
    progress.reset();
    if (!saved.Ok()) {
        if (!saved.cancelled) {
            Tell(Tr("Failed to save %1: %2. The file was left as it was.")
                     .arg(QString::fromStdString(path), QString::fromStdString(saved.error))
                     .toStdString());
        }
        return false;
    }
    ForgetChanges();
    return OpenArchiveFile(path);
}

void CArchiveDoc::OnFileSave() {
    if (PendingChanges() != 0) {
        SaveTo(m_saved->ArchivePath());
    }
}

void CArchiveDoc::OnUpdateFileSave(CCmdUI* pCmdUI) {
    pCmdUI->Enable(PendingChanges() != 0);
}

void CArchiveDoc::OnFileSaveAs() {
    if (!Source()) {
        return;
    }
    platform::SaveFileRequest request;
    request.initialDir = m_app.m_szInitialDir;
    request.fileName = m_app.m_szFileName;
    request.defaultExtension = "lgp";
    request.filter = Tr("LGP Archives (*.lgp)|*.lgp|All files (*.*)|*.*|").toStdString();
    const std::optional<std::string> chosen = platform::Prompts().SaveFile(request);
    if (chosen && !chosen->empty()) {
        SaveTo(*chosen);
    }
}

void CArchiveDoc::OnUpdateFileSaveAs(CCmdUI* pCmdUI) {
    pCmdUI->Enable(Source() != nullptr);
}

bool CArchiveDoc::MayDropChanges() {
    if (PendingChanges() == 0) {
        return true;
    }
    platform::MessageRequest question;
    question.text = Tr("Save the changes to %1?")
                        .arg(QString::fromStdString(m_saved->ArchivePath()))
                        .toStdString();
    question.buttons = platform::MessageButtons::SaveDiscardCancel;
    question.icon = platform::MessageIcon::Question;
    switch (platform::Prompts().ShowMessage(question)) {
        case platform::MessageAnswer::Yes:
            return SaveTo(m_saved->ArchivePath());
        case platform::MessageAnswer::No:
            ForgetChanges();
            return true;
        default:
            return false;
    }
}
