// The sort commands of the index menus: set the index bar's sort state and re-sort.
// The mode commands leave the reverse flag alone; only Reverse order turns it round.
#include "app/lumo_app.h"
#include "app/main_frame.h"
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

void CLumoApp::OnSortOriginal() {
    SortBy(m_pMainFrame, SORTMODE_ORIGINAL);
}

void CLumoApp::OnSortName() {
    SortBy(m_pMainFrame, SORTMODE_NAME);
}

void CLumoApp::OnSortType() {
    SortBy(m_pMainFrame, SORTMODE_TYPE);
}

void CLumoApp::OnSortSize() {
    SortBy(m_pMainFrame, SORTMODE_SIZE);
}

void CLumoApp::OnSortReverse() {
    if (CIndexBar* bar = IndexBarOf(m_pMainFrame)) {
        bar->m_bSortReverse = !bar->m_bSortReverse;
        bar->SortList();
    }
}
