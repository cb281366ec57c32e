#pragma once
// The application object: starts the user interface, keeps what the archive commands
// share, and holds the application's command map with every archive command.
#include <functional>
#include <string>

#include "framework/command_target.h"
#include "indexbar/list_ctrl.h"

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

    // Opens an archive as File > Open archive... does once a file is chosen (the
    // command line's archive, a dropped file); false, after the same message box, when
    // it fails.
    bool OpenArchiveFile(const std::string& path);  // commands/open_command.cpp

    // Options > Always decompress files: Extract then decompresses without asking. It
    // lasts for the run; nothing is stored.
    bool AlwaysDecompress() const { return m_bAlwaysDecompress; }

    // The archive commands' table, asked after the application's own; installed by the
    // program at start-up (commands/archive_commands.h). Null: the shell alone.
    CCmdTarget* m_pArchiveCommands = nullptr;
    // OpenArchiveFile, for the shell, which sits below the commands: installed with them.
    // Empty: the shell alone, and a dropped file is not taken.
    std::function<bool(const std::string& path)> m_openArchiveFile;
    // Index rows dragged out: writes the entries where a drop can copy them from and
    // gives their files. Installed with the archive commands; empty: rows do not drag.
    CListCtrl::DragFileProvider m_dragFiles;
    // Called once such a drag has ended, dropped or not.
    std::function<void()> m_dragEnded;
    // The main frame; null before InitInstance and once its window is gone.
    CMainFrame* m_pMainFrame = nullptr;
    int m_nLoopResult = 0;  // what the event loop returned; ExitInstance passes it on

    std::string m_szFileName;    // last chosen archive: file name without folder
    std::string m_szPathName;    // last chosen archive: full path
    std::string m_szInitialDir;  // where the open dialog starts
    // Where the last extraction went, so that Extract's next dialog starts there rather
    // than in the archive's folder (the game's own, in real use); empty before the first.
    std::string m_szExtractDir;

private:
    bool m_bAlwaysDecompress = false;
};
