// SPDX-License-Identifier: MIT
#include "commands/archive_commands.h"

#include "app/lumo_app.h"
#include "commands/archive_doc.h"
#include "commands/drag_out.h"
#include "res/resource.h"
#include "viewers/child_frame.h"

namespace {

CArchiveDoc*& Installed() {
    static CArchiveDoc* document = nullptr;
    return document;
}

}  // namespace

CArchiveDoc* TheArchiveDoc() {
    return Installed();
}

void InstallArchiveCommands(CLumoApp& app) {
    if (!Installed()) {
        // Lives as long as the program: the application object keeps a pointer to it.
        Installed() = new CArchiveDoc(app);
        app.m_pDocument = Installed();
        app.m_pArchiveDocument = &Installed()->Document();
        app.m_openArchiveFile = [](const std::string& path) {
            return Installed()->OpenArchiveFile(path);
        };
        app.m_mayClose = [] { return Installed()->MayDropChanges(); };
        app.m_dropOnIndex = [](const std::vector<std::string>& paths, bool drop) {
            return Installed()->DropOnIndex(paths, drop);
        };
        InstallDragOut(app);
        CChildFrame::SetEntryCommand(ID_ITEM_EXTRACT, &ExtractWindowEntry);
        CChildFrame::SetEntryCommand(ID_ITEM_PROPERTIES, &ShowWindowEntryProperties);
    }
}
