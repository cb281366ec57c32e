// The sort commands of the index menus: set the index bar's sort state and re-sort.
#include "app/lumo_app.h"

// Not built yet: each sets the mode or flips the reverse flag, then re-sorts the index.
void CLumoApp::OnSortOriginal() {}
void CLumoApp::OnSortName() {}
void CLumoApp::OnSortType() {}
void CLumoApp::OnSortSize() {}
void CLumoApp::OnSortReverse() {}
