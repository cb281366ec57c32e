// View > Archive > Show index, Edit > Copy of the selected names, and Options > Always
// decompress files.
#include <QApplication>
#include <QClipboard>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/lgp_archive.h"

void CLumoApp::OnViewIndex() {
    if (m_pMainFrame) {
        CIndexBar& bar = m_pMainFrame->m_wndIndexBar;
        bar.setVisible(bar.isHidden());
    }
}

void CLumoApp::OnUpdateViewIndex(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_pMainFrame && !m_pMainFrame->m_wndIndexBar.isHidden());
}

void CLumoApp::OnEditCopy() {
    CListCtrl* list = m_pMainFrame ? m_pMainFrame->m_wndIndexBar.GetListCtrl() : nullptr;
    if (!list) {
        return;
    }
    QString names;
    for (uint16_t entry : list->SelectedEntries()) {
        names += QString::fromLatin1(theArchive.GetEntryName(entry));
        names += '\n';
    }
    if (!names.isEmpty()) {
        QApplication::clipboard()->setText(names);
    }
}

void CLumoApp::OnUpdateEditCopy(CCmdUI* pCmdUI) {
    CListCtrl* list = m_pMainFrame ? m_pMainFrame->m_wndIndexBar.GetListCtrl() : nullptr;
    pCmdUI->Enable(list && list->GetSelectedCount() > 0);
}

void CLumoApp::OnOptionsAlwaysDecompress() {
    m_bAlwaysDecompress = !m_bAlwaysDecompress;
}

void CLumoApp::OnUpdateOptionsAlwaysDecompress(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_bAlwaysDecompress);
}
