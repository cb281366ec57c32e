// SPDX-License-Identifier: MIT
#pragma once
// The open archive on the command route, between the main frame and the application:
// active child -> main frame -> document -> application. It holds the archive document
// (archive/archive_document.h: the entry source and who follows it) and carries out the
// commands that act on the archive: open, extract, open in viewers, properties and
// verify, the index's own commands and the sort commands. The application keeps what
// is not about one archive (About, New, Exit, the options, the shared buffers).
#include <string>

#include "archive/archive_document.h"
#include "framework/command_target.h"

class CLumoApp;

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
    void OnSortOriginal();                     // sort_commands.cpp
    void OnSortName();
    void OnSortType();
    void OnSortSize();
    void OnSortReverse();

    CLumoApp& App() { return m_app; }

private:
    CLumoApp& m_app;
    ArchiveDocument m_document;
};

// The program's document: made by InstallArchiveCommands (archive_commands.h); null
// before.
CArchiveDoc* TheArchiveDoc();
