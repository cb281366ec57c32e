// The list of entry window classes, kept in one place: a class registered from its own
// file would be dropped by the linker, since nothing refers to it by symbol.
#include "app/frame_classes.h"

#include "viewers/child_frame.h"
#include "viewers/editor_text.h"

void RegisterFrameClasses() {
    static bool registered = false;
    if (registered) {
        return;
    }
    registered = true;
    RegisterChildFrameClass("CChildFrame", [] { return new CChildFrame; });
    RegisterChildFrameClass("CEditorText", []() -> CChildFrame* { return new CEditorText; });
}
