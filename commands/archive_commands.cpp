#include "commands/archive_commands.h"

#include "commands/drag_out.h"

#include "app/lumo_app.h"
#include "res/resource.h"

namespace {

const CommandMapEntry<CLumoApp> kArchiveCommands[] = {
    {IDC_INDEXLIST, &CLumoApp::OnItemOpen, nullptr},
    {ID_FILE_OPEN, &CLumoApp::OnFileOpen, nullptr},
    {ID_ITEM_EXTRACT, &CLumoApp::OnItemExtract, &CLumoApp::OnUpdateItemExtract},
    {ID_ITEM_OPEN, &CLumoApp::OnItemOpen, nullptr},
    {ID_SORT_NAME, &CLumoApp::OnSortName, nullptr},
    {ID_SORT_ORIGINAL, &CLumoApp::OnSortOriginal, nullptr},
    {ID_SORT_SIZE, &CLumoApp::OnSortSize, nullptr},
    {ID_SORT_TYPE, &CLumoApp::OnSortType, nullptr},
    {ID_SORT_REVERSE, &CLumoApp::OnSortReverse, nullptr},
    {ID_ITEM_OPENAS, &CLumoApp::OnItemOpenAs, nullptr},
    {ID_ITEM_PROPERTIES, &CLumoApp::OnItemProperties, nullptr},
    {ID_ARCHIVE_PROPERTIES, &CLumoApp::OnArchiveProperties, nullptr},
    {ID_VIEW_INDEX, &CLumoApp::OnViewIndex, &CLumoApp::OnUpdateViewIndex},
    {ID_EDIT_COPY, &CLumoApp::OnEditCopy, &CLumoApp::OnUpdateEditCopy},
    {ID_OPTIONS_ALWAYSDECOMPRESS, &CLumoApp::OnOptionsAlwaysDecompress,
     &CLumoApp::OnUpdateOptionsAlwaysDecompress},
};

// The table on the application's route, with the application as the handlers' object.
class CArchiveCommands : public CCmdTarget {
public:
    explicit CArchiveCommands(CLumoApp& app) : m_app(app) {}
    bool OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) override {
        return DispatchCommand(m_app, kArchiveCommands, id, query, ui);
    }

private:
    CLumoApp& m_app;
};

}  // namespace

void InstallArchiveCommands(CLumoApp& app) {
    if (!app.m_pArchiveCommands) {
        // Lives as long as the program: the application object keeps a pointer to it.
        app.m_pArchiveCommands = new CArchiveCommands(app);
        app.m_openArchiveFile = [&app](const std::string& path) {
            return app.OpenArchiveFile(path);
        };
        InstallDragOut(app);
    }
}
