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
    if (!list) {
        return;
    }
    std::vector<uint16_t> entries;
    for (int row : list->GetSelectedRows()) {
        const int item = list->GetItemData(row);
        if (item >= 0) {
            entries.push_back(static_cast<uint16_t>(item));
        }
    }
    // The source is held while the dialog is up; its catalogue has the archive's layout.
    const EntrySourcePtr source = Source();
    if (entries.empty() || !source || !source->Catalogue()) {
        return;
    }
    CPropertiesDialog dialog(*source->Catalogue(), entries, m_app.m_pMainFrame);
    dialog.exec();
}

void ShowWindowEntryProperties(CChildFrame& frame) {
    const EntrySourcePtr source = frame.GetEntrySource();
    // An entry added by a change list has no place in the catalogue to describe.
    if (!source || !source->Catalogue() || frame.GetEntry().value >= kFirstAddedEntryId ||
        !source->Contains(frame.GetEntry())) {
        return;
    }
    const std::vector<uint16_t> entries{
        static_cast<uint16_t>(source->PositionOf(frame.GetEntry()))};
    CPropertiesDialog dialog(*source->Catalogue(), entries, theApp.m_pMainFrame);
    dialog.exec();
}

void CArchiveDoc::OnArchiveProperties() {
    // Before any archive is open: the empty catalogue, as it always was.
    // Changes waiting: the file as it is on disk.
    const EntrySourcePtr source =
        Source() && Source()->Catalogue() ? Source() : theArchive.Snapshot();
    CArchivePropertiesDialog dialog(*source->Catalogue(), m_app.m_pMainFrame);
    dialog.exec();
}
