// SPDX-License-Identifier: MIT
#pragma once
// The open archive on the command route, between the main frame and the application:
// active child -> main frame -> document -> application. It holds the archive document
// (archive/archive_document.h: the entry source and who follows it) and carries out the
// commands that act on the archive: new, open, extract, open in viewers, properties and
// verify, the index's own commands, the sort commands and the changes (remove, rename,
// undo, redo, save). The application keeps what
// is not about one archive (About, Exit, the options, the shared buffers).
#include <memory>
#include <string>
#include <vector>

#include "archive/archive_document.h"
#include "framework/command_target.h"

class ArchiveEdits;
class CListCtrl;
class CLumoApp;
class QString;

class CArchiveDoc : public CCmdTarget {
public:
    explicit CArchiveDoc(CLumoApp& app);
    ~CArchiveDoc() override;
    CArchiveDoc(const CArchiveDoc&) = delete;
    CArchiveDoc& operator=(const CArchiveDoc&) = delete;

    bool OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) override;

    ArchiveDocument& Document() { return m_document; }
    const ArchiveDocument& Document() const { return m_document; }
    // What the document offers now; null while no archive is open.
    const EntrySourcePtr& Source() const { return m_document.Source(); }

    // Opens an archive as File > Open archive... does once a file is chosen (the
    // command line's archive, a dropped file); false, after the same message box, when
    // it fails. A failure leaves the open archive as it was.
    bool OpenArchiveFile(const std::string& path);  // open_command.cpp

    // Command handlers, each in the file of the command it carries out.
    void OnFileOpen();                         // open_command.cpp
    void OnItemExtract();                      // extract_command.cpp
    void OnUpdateItemExtract(CCmdUI* pCmdUI);  // archive_doc.cpp
    void OnItemOpen();                         // open_in_viewers_command.cpp
    void OnItemOpenAs();                       // open_in_viewers_command.cpp
    void OnItemProperties();                   // properties_command.cpp
    void OnArchiveProperties();                // properties_command.cpp
    void OnViewIndex();                        // index_commands.cpp
    void OnUpdateViewIndex(CCmdUI* pCmdUI);    // index_commands.cpp
    void OnEditCopy();                         // index_commands.cpp
    void OnUpdateEditCopy(CCmdUI* pCmdUI);     // index_commands.cpp
    void OnArchiveRemove();                    // edit_commands.cpp
    void OnUpdateArchiveRemove(CCmdUI* pCmdUI);
    void OnEditUndo();
    void OnUpdateEditUndo(CCmdUI* pCmdUI);
    void OnEditRedo();
    void OnUpdateEditRedo(CCmdUI* pCmdUI);
    void OnFileSave();
    void OnUpdateFileSave(CCmdUI* pCmdUI);
    void OnFileSaveAs();
    void OnUpdateFileSaveAs(CCmdUI* pCmdUI);
    void OnArchiveInsert();  // insert_command.cpp
    void OnUpdateArchiveInsert(CCmdUI* pCmdUI);
    void OnEditPaste();
    void OnUpdateEditPaste(CCmdUI* pCmdUI);
    void OnItemReplace();
    void OnUpdateItemReplace(CCmdUI* pCmdUI);
    // Inserts the files under their own names, as Insert file(s)... does once they are
    // chosen, asking about names already there: a file at the archive's top level, a
    // folder's files with the folders below it as their folder. The rows put in are
    // selected. False when nothing changed.
    bool InsertFiles(const std::vector<std::string>& paths);
    // Files dropped on the index: with `drop` false whether the index takes them, with
    // true the drop itself (a lone archive file opens, other files and folders are
    // inserted).
    bool DropOnIndex(const std::vector<std::string>& paths, bool drop);
    struct Insertion;
    // How many changes wait for a save.
    size_t PendingChanges() const;
    // With changes waiting, asks Save / Discard / Cancel; false when the user cancelled
    // or the save failed, so the caller keeps everything as it is.
    bool MayDropChanges();
    void OnItemRename();  // rename_command.cpp
    void OnUpdateItemRename(CCmdUI* pCmdUI);
    void OnFileNew();       // new_archive_command.cpp
    void OnSortOriginal();  // sort_commands.cpp
    void OnSortName();
    void OnSortType();
    void OnSortSize();
    void OnSortReverse();

    CLumoApp& App() { return m_app; }

private:
    ArchiveEdits& Edits();
    // Offers the archive as the changes make it, and says so in the title and pane 0.
    void PublishChanges();
    void ForgetChanges();
    bool SaveTo(const std::string& path);
    // The index's list while it lists an archive; null otherwise.
    CListCtrl* IndexList() const;
    // Why the entry cannot take this name, "" when it can (its own name included).
    QString RenameRefusal(EntryId id, const QString& name);
    void RenameEntry(EntryId id, const QString& name);
    // Adds or replaces what InsertFiles has decided, as one change, after asking how
    // fields go in. Tells what failed.
    bool ApplyInsertions(const std::vector<Insertion>& batch, std::vector<std::string>& problems);
    // Selects the entries at these positions, the topmost current and scrolled into view.
    void SelectChanged(const std::vector<size_t>& positions);

    CLumoApp& m_app;
    ArchiveDocument m_document;
    EntrySourcePtr m_saved;  // the snapshot the changes apply to
    std::unique_ptr<ArchiveEdits> m_edits;
    std::string m_insertDir;  // where the last inserted file came from
};

// The program's document: made by InstallArchiveCommands (archive_commands.h); null
// before.
CArchiveDoc* TheArchiveDoc();
