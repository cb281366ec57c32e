// Properties and Archive properties: dialogs over what the entry report works out.
#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/lgp_archive.h"
#include "commands/properties_dialogs.h"

void CLumoApp::OnItemProperties() {
    CListCtrl* list = m_pMainFrame ? m_pMainFrame->m_wndIndexBar.GetListCtrl() : nullptr;
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
    if (entries.empty()) {
        return;
    }
    CPropertiesDialog dialog(theArchive, entries, m_pMainFrame);
    dialog.exec();
}

void CLumoApp::OnArchiveProperties() {
    CArchivePropertiesDialog dialog(theArchive, m_pMainFrame);
    dialog.exec();
}
