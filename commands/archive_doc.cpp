// SPDX-License-Identifier: MIT
// The document's command map, and what no single command file owns.
#include "commands/archive_doc.h"

#include "app/globals.h"
#include "app/lumo_app.h"
#include "archive/lgp_archive.h"
#include "edit/lgp_changes.h"
#include "res/resource.h"

namespace {

const CommandMapEntry<CArchiveDoc> kDocumentCommands[] = {
    {IDC_INDEXLIST, &CArchiveDoc::OnItemOpen, nullptr},
    {ID_FILE_OPEN, &CArchiveDoc::OnFileOpen, nullptr},
    {ID_ITEM_EXTRACT, &CArchiveDoc::OnItemExtract, &CArchiveDoc::OnUpdateItemExtract},
    {ID_ITEM_OPEN, &CArchiveDoc::OnItemOpen, nullptr},
    {ID_SORT_NAME, &CArchiveDoc::OnSortName, nullptr},
    {ID_SORT_ORIGINAL, &CArchiveDoc::OnSortOriginal, nullptr},
    {ID_SORT_SIZE, &CArchiveDoc::OnSortSize, nullptr},
    {ID_SORT_TYPE, &CArchiveDoc::OnSortType, nullptr},
    {ID_SORT_REVERSE, &CArchiveDoc::OnSortReverse, nullptr},
    {ID_ITEM_OPENAS, &CArchiveDoc::OnItemOpenAs, nullptr},
    {ID_ITEM_PROPERTIES, &CArchiveDoc::OnItemProperties, nullptr},
    {ID_ARCHIVE_PROPERTIES, &CArchiveDoc::OnArchiveProperties, nullptr},
    {ID_VIEW_INDEX, &CArchiveDoc::OnViewIndex, &CArchiveDoc::OnUpdateViewIndex},
    {ID_EDIT_COPY, &CArchiveDoc::OnEditCopy, &CArchiveDoc::OnUpdateEditCopy},
    {ID_ARCHIVE_REMOVE, &CArchiveDoc::OnArchiveRemove, &CArchiveDoc::OnUpdateArchiveRemove},
    {ID_ITEM_DELETE, &CArchiveDoc::OnArchiveRemove, &CArchiveDoc::OnUpdateArchiveRemove},
    {ID_EDIT_UNDO, &CArchiveDoc::OnEditUndo, &CArchiveDoc::OnUpdateEditUndo},
    {ID_EDIT_REDO, &CArchiveDoc::OnEditRedo, &CArchiveDoc::OnUpdateEditRedo},
    {ID_FILE_SAVE, &CArchiveDoc::OnFileSave, &CArchiveDoc::OnUpdateFileSave},
    {ID_FILE_SAVE_AS, &CArchiveDoc::OnFileSaveAs, &CArchiveDoc::OnUpdateFileSaveAs},
    {ID_ITEM_RENAME, &CArchiveDoc::OnItemRename, &CArchiveDoc::OnUpdateItemRename},
    {ID_FILE_NEW, &CArchiveDoc::OnFileNew, nullptr},
    {ID_ARCHIVE_INSERT, &CArchiveDoc::OnArchiveInsert, &CArchiveDoc::OnUpdateArchiveInsert},
    {ID_ARCHIVE_INSERTFILES, &CArchiveDoc::OnArchiveInsert, &CArchiveDoc::OnUpdateArchiveInsert},
    {ID_EDIT_PASTE, &CArchiveDoc::OnEditPaste, &CArchiveDoc::OnUpdateEditPaste},
    {ID_ITEM_REPLACE, &CArchiveDoc::OnItemReplace, &CArchiveDoc::OnUpdateItemReplace},
};

}  // namespace

CArchiveDoc::CArchiveDoc(CLumoApp& app) : m_app(app) {}

CArchiveDoc::~CArchiveDoc() = default;

bool CArchiveDoc::OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) {
    return DispatchCommand(*this, kDocumentCommands, id, query, ui);
}

// The archive as it will be saved decides: with no change that is the catalogue's.
void CArchiveDoc::OnUpdateItemExtract(CCmdUI* pCmdUI) {
    const bool edited = Source() && !Source()->Catalogue();
    pCmdUI->Enable(edited ? Source()->Count() != 0 : theArchive.GetEntryCount() != 0);
}
