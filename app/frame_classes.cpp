// SPDX-License-Identifier: MIT
// Entry window classes are registered by the viewer table, so a new viewer touches only
// viewers/.
#include "app/frame_classes.h"

#include "viewers/viewer_table.h"

void RegisterFrameClasses() {
    static bool registered = false;
    if (registered) {
        return;
    }
    registered = true;
    RegisterViewerClasses();
}
