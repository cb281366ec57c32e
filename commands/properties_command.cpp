// SPDX-License-Identifier: MIT
// Properties and Archive properties: dialogs over what the entry report works out.
#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/lgp_archive.h"
#include "archive/lgp_snapshot.h"
#include "commands/archive_commands.h"
#include "commands/archive_doc.h"
#include "commands/properties_dialogs.h"
#include "viewers/child_frame.h"

void CArchiveDoc::OnItemProperties() {
    CListCtrl* list =
        m_app.m_pMainFrame ? m_app.m_pMainFrame->m_wndIndexBar.GetListCtrl() : nullptr;
    // The source is held while the dialog is up: with changes waiting it is the archive as
    // the next save will write it, added entries and all.
    const EntrySourcePtr source = Source();
    if (!list || !source) {
        return;
    }
    std::vector<EntryId> entries;
    for (int row : list->GetSelectedRows()) {
        const int item = list->GetItemData(row);
        const EntryId id = item >= 0 ? source->IdAt(static_cast<size_t>(item)) : EntryId{};
        if (source->Contains(id)) {
            entries.push_back(id);
        }
    }
    if (entries.empty()) {
        return;
    }
    CPropertiesDialog dialog(source, entries, m_app.m_pMainFrame);
    dialog.exec();
}

void ShowWindowEntryProperties(CChildFrame& frame) {
    const EntrySourcePtr source = frame.GetEntrySource();
    if (!source || !source->Contains(frame.GetEntry())) {
        return;
    }
    CPropertiesDialog dialog(source, {frame.GetEntry()}, theApp.m_pMainFrame);
    dialog.exec();
}

void CArchiveDoc::OnArchiveProperties() {
    // What the file holds is what Archive properties and Verify are about. Changes
    // waiting: the snapshot they apply to, and the dialog says so. Before any archive is
    // open: the empty catalogue, as it always was.
    EntrySourcePtr source = Source() && Source()->Catalogue() ? Source() : m_saved;
    if (!source) {
        source = theArchive.Snapshot();
    }
    CArchivePropertiesDialog dialog(source, PendingChanges() != 0, m_app.m_pMainFrame);
    dialog.exec();
}
