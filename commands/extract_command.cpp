// Extract: write the selected entries to disk.
#include "app/lumo_app.h"

void CLumoApp::OnItemExtract() {
    // Not built yet: writing entries to disk comes with the extract command.
}
