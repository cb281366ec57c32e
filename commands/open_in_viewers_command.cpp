// Open: show each selected entry in a window of its own.
#include "app/lumo_app.h"

void CLumoApp::OnItemOpen() {
    // Not built yet: opening entries in viewer windows comes with the open command.
}
