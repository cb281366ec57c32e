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

void CArchiveDoc::OnEditCopy() {
    CListCtrl* list =
        m_app.m_pMainFrame ? m_app.m_pMainFrame->m_wndIndexBar.GetListCtrl() : nullptr;
    const EntrySourcePtr source = Source();
    if (!list || !source) {
        return;
    }
    QString names;
    for (uint16_t entry : list->SelectedEntries()) {
        names += QString::fromLatin1(source->Name(source->IdAt(entry)));
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
