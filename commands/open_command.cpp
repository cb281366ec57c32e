// File > Open archive: choose an archive, load it and fill the index.
#include "app/lumo_app.h"

void CLumoApp::OnFileOpen() {
    // Not built yet: choosing and listing an archive comes with the open command.
}
