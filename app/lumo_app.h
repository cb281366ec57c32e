// SPDX-License-Identifier: MIT
#pragma once
// The application object: starts the user interface, keeps what the archive commands
// share, and holds the application's own command map (About, Exit, the options).
#include <functional>
#include <string>
#include <vector>

#include "framework/command_target.h"
#include "indexbar/list_ctrl.h"

class ArchiveDocument;
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

    // Command handlers of the application's own map. The commands that act on the
    // open archive are the document's (m_pDocument), which sits above this object.
    void OnAppAbout();
    void OnAppExit();
    void OnNothing();
    void OnOptionsAlwaysDecompress();
    void OnUpdateOptionsAlwaysDecompress(CCmdUI* pCmdUI);

    // Opens an archive as File > Open archive... does once a file is chosen (the
    // command line's archive, a dropped file), through the document; false, after the
    // same message box, when it fails, and when there is no document.
    bool OpenArchiveFile(const std::string& path);

    // Options > Always decompress files: Extract then decompresses without asking. It
    // lasts for the run; nothing is stored.
    bool AlwaysDecompress() const { return m_bAlwaysDecompress; }

    // The open archive on the command route, asked after the main frame and before the
    // application, and the document it holds; both are installed by the program at
    // start-up (commands/archive_commands.h). Null: the shell alone.
    CCmdTarget* m_pDocument = nullptr;
    ArchiveDocument* m_pArchiveDocument = nullptr;
    // OpenArchiveFile, installed with the document. Empty: a dropped file is not taken.
    std::function<bool(const std::string& path)> m_openArchiveFile;
    // Index rows dragged out: writes the entries where a drop can copy them from and
    // gives their files. Installed with the archive commands; empty: rows do not drag.
    CListCtrl::DragFileProvider m_dragFiles;
    // Asked before the main frame closes; false keeps it open (unsaved changes the user
    // did not let go). Empty: it always closes.
    std::function<bool()> m_mayClose;
    // Called once such a drag has ended, dropped or not.
    std::function<void()> m_dragEnded;
    // Files dropped on the index: with `drop` false, whether the index takes them; with
    // true, what the drop does. Installed with the archive commands; empty: the index
    // takes no drop.
    std::function<bool(const std::vector<std::string>& paths, bool drop)> m_dropOnIndex;
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
