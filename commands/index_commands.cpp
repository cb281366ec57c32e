// SPDX-License-Identifier: MIT
// View > Archive > Show index and Edit > Copy of the selected names.
#include <QApplication>
#include <QClipboard>

#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "commands/archive_doc.h"

void CArchiveDoc::OnViewIndex() {
    if (m_app.m_pMainFrame) {
        CIndexBar& bar = m_app.m_pMainFrame->m_wndIndexBar;
        bar.setVisible(bar.isHidden());
    }
}

void CArchiveDoc::OnUpdateViewIndex(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_app.m_pMainFrame && !m_app.m_pMainFrame->m_wndIndexBar.isHidden());
}

// The names as the index lists them, one per line.
void CArchiveDoc::OnEditCopy() {
    CListCtrl* list =
        m_app.m_pMainFrame ? m_app.m_pMainFrame->m_wndIndexBar.GetListCtrl() : nullptr;
    if (!list) {
        return;
    }
    QString names;
    for (int row : list->GetSelectedRows()) {
        names += list->GetModel()->Row(row).name;
        names += '\n';
    }
    if (!names.isEmpty()) {
        QApplication::clipboard()->setText(names);
    }
}

void CArchiveDoc::OnUpdateEditCopy(CCmdUI* pCmdUI) {
    CListCtrl* list =
        m_app.m_pMainFrame ? m_app.m_pMainFrame->m_wndIndexBar.GetListCtrl() : nullptr;
    pCmdUI->Enable(list && list->GetSelectedCount() > 0);
}
