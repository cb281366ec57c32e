#pragma once
// The application object: starts the user interface, keeps what the archive commands
// share, and holds the application's command map with every archive command.
#include <string>

#include "framework/command_target.h"

class CMainFrame;
class CChildFrame;

class CLumoApp : public CCmdTarget {
public:
    CLumoApp();
    ~CLumoApp() override;
    CLumoApp(const CLumoApp&) = delete;
    CLumoApp& operator=(const CLumoApp&) = delete;

    // Needs the QApplication. Creates and shows the main frame; false when that fails.
    bool InitInstance();
    // Runs after the event loop; returns the exit code.
    int ExitInstance();

    bool OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) override;

    // Command handlers. Each lives in the file of the command it carries out. The
    // archive commands (commands/) sit above this object: their table joins the
    // application's command map through m_pArchiveCommands, never through this file.
    void OnFileNew();                          // app/lumo_app.cpp
    void OnAppAbout();                         // app/lumo_app.cpp
    void OnAppExit();                          // app/lumo_app.cpp
    void OnNothing();                          // app/lumo_app.cpp
    void OnFileOpen();                         // commands/open_command.cpp
    void OnItemExtract();                      // commands/extract_command.cpp
    void OnUpdateItemExtract(CCmdUI* pCmdUI);  // app/lumo_app.cpp
    void OnItemOpen();                         // commands/open_in_viewers_command.cpp
    void OnItemOpenAs();                       // commands/open_in_viewers_command.cpp
    void OnItemProperties();                   // commands/properties_command.cpp
    void OnArchiveProperties();
    void OnViewIndex();  // commands/index_commands.cpp
    void OnUpdateViewIndex(CCmdUI* pCmdUI);
    void OnEditCopy();
    void OnUpdateEditCopy(CCmdUI* pCmdUI);
    void OnOptionsAlwaysDecompress();
    void OnUpdateOptionsAlwaysDecompress(CCmdUI* pCmdUI);
    void OnSortOriginal();  // commands/sort_commands.cpp
    void OnSortName();
    void OnSortType();
    void OnSortSize();
    void OnSortReverse();

    // Options > Always decompress files: Extract then decompresses without asking. It
    // lasts for the run; nothing is stored.
    bool AlwaysDecompress() const { return m_bAlwaysDecompress; }

    // The archive commands' table, asked after the application's own; installed by the
    // program at start-up (commands/archive_commands.h). Null: the shell alone.
    CCmdTarget* m_pArchiveCommands = nullptr;
    // The main frame; null before InitInstance and once its window is gone.
    CMainFrame* m_pMainFrame = nullptr;
    int m_nLoopResult = 0;  // what the event loop returned; ExitInstance passes it on

    std::string m_szFileName;    // last chosen archive: file name without folder
    std::string m_szPathName;    // last chosen archive: full path
    std::string m_szInitialDir;  // where the open dialog starts

private:
    bool m_bAlwaysDecompress = false;
};
