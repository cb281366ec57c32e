// SPDX-License-Identifier: MIT
// The sort commands of the index menus: set the index bar's sort state and re-sort.
// The mode commands leave the reverse flag alone; only Reverse order turns it round.
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "commands/archive_doc.h"
#include "indexbar/index_sort.h"

namespace {

// The bar exists as long as the main frame does; a command can only arrive through it.
CIndexBar* IndexBarOf(CMainFrame* frame) {
    return frame != nullptr ? &frame->m_wndIndexBar : nullptr;
}

void SortBy(CMainFrame* frame, int mode) {
    if (CIndexBar* bar = IndexBarOf(frame)) {
        bar->m_nSortMode = mode;
        bar->SortList();
    }
}

}  // namespace

void CArchiveDoc::OnSortOriginal() {
    SortBy(m_app.m_pMainFrame, SORTMODE_ORIGINAL);
}

void CArchiveDoc::OnSortName() {
    SortBy(m_app.m_pMainFrame, SORTMODE_NAME);
}

void CArchiveDoc::OnSortType() {
    SortBy(m_app.m_pMainFrame, SORTMODE_TYPE);
}

void CArchiveDoc::OnSortSize() {
    SortBy(m_app.m_pMainFrame, SORTMODE_SIZE);
}

void CArchiveDoc::OnSortReverse() {
    if (CIndexBar* bar = IndexBarOf(m_app.m_pMainFrame)) {
        bar->m_bSortReverse = !bar->m_bSortReverse;
        bar->SortList();
    }
}
