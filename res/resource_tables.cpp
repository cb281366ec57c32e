// SPDX-License-Identifier: MIT
#include "res/resource_tables.h"

#include <Qt>
#include <cstring>
#include <iterator>

#include "res/resource.h"

const char* const kAppIconPath = ":/res/lumo_icon.png";
const char* const kHandCursorPath = ":/res/hand_cursor.png";

namespace {

constexpr MenuEntry Popup(const char* text) {
    return {MenuKind::Popup, 0, text, kMenuNone};
}
constexpr MenuEntry End() {
    return {MenuKind::End, 0, nullptr, kMenuNone};
}
constexpr MenuEntry Separator() {
    return {MenuKind::Separator, 0, nullptr, kMenuNone};
}
constexpr MenuEntry Item(int id, const char* text, unsigned flags = kMenuNone) {
    return {MenuKind::Item, id, text, flags};
}

const MenuEntry kMainFrameMenu[] = {
    Popup("&File"),
    Item(ID_FILE_NEW, "&New archive...\tCtrl+N"),
    Item(ID_FILE_OPEN, "&Open archive...\tCtrl+O"),
    Separator(),
    Item(ID_APP_EXIT, "E&xit"),
    End(),
    Popup("&View"),
    Item(ID_VIEW_TOOLBAR, "&Toolbar"),
    Item(ID_VIEW_STATUS_BAR, "&Status Bar"),
    End(),
    Popup("&Options"),
    Item(ID_OPTIONS_FIXEDBUFFER, "&Fixed buffer size", kMenuChecked),
    Item(ID_OPTIONS_ALWAYSDECOMPRESS, "Always &decompress files"),
    Separator(),
    End(),
    Popup("&Help"),
    Item(ID_APP_ABOUT, "&About Lumo..."),
    End(),
};

const MenuEntry kEntryTypeMenu[] = {
    Popup("&File"),
    Item(ID_FILE_NEW, "&New\tCtrl+N"),
    Item(ID_FILE_CLOSE, "&Close\tCtrl+F4"),
    Item(ID_FILE_SAVE, "&Save\tCtrl+S"),
    Item(ID_FILE_SAVE_AS, "Save &As...\tCtrl+Shift+S"),
    Item(ID_FILE_EXPORT_IMAGE, "&Export image..."),
    Item(ID_FILE_EXPORT_AUDIO, "Export &audio..."),
    Item(ID_FILE_EXPORT_MODEL, "Export &model..."),
    Separator(),
    Item(ID_APP_EXIT, "E&xit"),
    End(),
    Popup("&Edit"),
    Item(ID_EDIT_UNDO, "&Undo\tCtrl+Z"),
    Item(ID_EDIT_REDO, "&Redo\tCtrl+Y"),
    Separator(),
    Item(ID_EDIT_CUT, "Cu&t\tCtrl+X"),
    Item(ID_EDIT_COPY, "&Copy\tCtrl+C"),
    Item(ID_EDIT_PASTE, "&Paste\tCtrl+V"),
    Separator(),
    Item(ID_EDIT_FIND, "&Find...\tCtrl+F"),
    End(),
    Popup("&View"),
    Item(ID_VIEW_TOOLBAR, "&Toolbar"),
    Item(ID_VIEW_STATUS_BAR, "&Status Bar"),
    Separator(),
    Popup("&Archive"),
    Item(ID_VIEW_INDEX, "&Show index", kMenuChecked),
    Separator(),
    Item(ID_SORT_NAME, "Sort by &name"),
    Item(ID_SORT_TYPE, "Sort by &type"),
    Item(ID_SORT_SIZE, "Sort by &size"),
    End(),
    Separator(),
    Item(ID_VIEW_ZOOM_IN, "Zoom &in\tCtrl++"),
    Item(ID_VIEW_ZOOM_OUT, "Zoom &out\tCtrl+-"),
    Item(ID_VIEW_ZOOM_ACTUAL, "Actual si&ze\tCtrl+0"),
    Item(ID_VIEW_ZOOM_FIT, "&Fit to window"),
    End(),
    Popup("&Archive"),
    Item(ID_ARCHIVE_INSERT, "&Insert...\tIns"),
    Item(ID_ARCHIVE_REMOVE, "&Remove\tDel"),
    Item(ID_ITEM_RENAME, "Re&name\tF2"),
    Separator(),
    Item(ID_ITEM_EXTRACT, "&Extract...\tCtrl+E"),
    End(),
    Popup("&Window"),
    Item(ID_WINDOW_CASCADE, "&Cascade"),
    Item(ID_WINDOW_TILE_HORZ, "&Tile"),
    Item(ID_WINDOW_ARRANGE, "&Arrange Icons"),
    End(),
    Popup("&Help"),
    Item(ID_APP_ABOUT, "&About Lumo..."),
    End(),
};

const MenuEntry kIndexMenu[] = {
    Popup("Item"),
    Item(ID_ITEM_OPEN, "&Open"),
    Item(ID_ITEM_OPENAS, "Open &as..."),
    Separator(),
    Item(ID_ITEM_EXTRACT, "&Extract"),
    Item(ID_ITEM_DELETE, "&Delete"),
    Item(ID_ITEM_RENAME, "Re&name\tF2"),
    Item(ID_ITEM_REPLACE, "Re&place with..."),
    Separator(),
    Item(ID_ITEM_PROPERTIES, "&Properties"),
    End(),
    Popup("View"),
    Popup("&Sort"),
    Item(ID_SORT_ORIGINAL, "by &original order", kMenuChecked),
    Item(ID_SORT_NAME, "by &name"),
    Item(ID_SORT_TYPE, "by &type"),
    Item(ID_SORT_SIZE, "by &size"),
    Separator(),
    Item(ID_SORT_REVERSE, "&Reverse order"),
    End(),
    Separator(),
    Item(ID_ARCHIVE_INSERTFILES, "&Insert file(s)..."),
    Separator(),
    Item(ID_ARCHIVE_PROPERTIES, "Archive &properties"),
    End(),
};

const MenuResource kMenus[] = {
    {IDR_MAINFRAME, kMainFrameMenu, std::size(kMainFrameMenu)},
    {IDR_ENTRYTYPE, kEntryTypeMenu, std::size(kEntryTypeMenu)},
    {IDR_INDEXMENU, kIndexMenu, std::size(kIndexMenu)},
};

constexpr int kCtrl = Qt::ControlModifier;
constexpr int kShift = Qt::ShiftModifier;
constexpr int kAlt = Qt::AltModifier;

const AcceleratorEntry kMainFrameAccelerators[] = {
    {Qt::Key_C, kCtrl, ID_EDIT_COPY},
    {Qt::Key_N, kCtrl, ID_FILE_NEW},
    {Qt::Key_O, kCtrl, ID_FILE_OPEN},
    {Qt::Key_S, kCtrl, ID_FILE_SAVE},
    {Qt::Key_V, kCtrl, ID_EDIT_PASTE},
    {Qt::Key_Backspace, kAlt, ID_EDIT_UNDO},
    {Qt::Key_Delete, kShift, ID_EDIT_CUT},
    {Qt::Key_F6, 0, ID_NEXT_PANE},
    {Qt::Key_F6, kShift, ID_PREV_PANE},
    {Qt::Key_Insert, kCtrl, ID_EDIT_COPY},
    {Qt::Key_Insert, kShift, ID_EDIT_PASTE},
    {Qt::Key_X, kCtrl, ID_EDIT_CUT},
    {Qt::Key_Z, kCtrl, ID_EDIT_UNDO},
    {Qt::Key_Z, kCtrl | kShift, ID_EDIT_REDO},
    {Qt::Key_Y, kCtrl, ID_EDIT_REDO},
    {Qt::Key_S, kCtrl | kShift, ID_FILE_SAVE_AS},
    {Qt::Key_Delete, 0, ID_ARCHIVE_REMOVE},
    {Qt::Key_F2, 0, ID_ITEM_RENAME},
    {Qt::Key_Insert, 0, ID_ARCHIVE_INSERT},
    // Keys a desktop program is expected to have.
    {Qt::Key_E, kCtrl, ID_ITEM_EXTRACT},
    {Qt::Key_F4, kCtrl, ID_FILE_CLOSE},
    {Qt::Key_F6, kCtrl, ID_WINDOW_NEXT},
    {Qt::Key_F6, kCtrl | kShift, ID_WINDOW_PREV},
    // The viewers' keys. "+" is typed with Shift on most layouts, and "=" shares its key.
    {Qt::Key_Plus, kCtrl, ID_VIEW_ZOOM_IN},
    {Qt::Key_Plus, kCtrl | kShift, ID_VIEW_ZOOM_IN},
    {Qt::Key_Equal, kCtrl, ID_VIEW_ZOOM_IN},
    {Qt::Key_Minus, kCtrl, ID_VIEW_ZOOM_OUT},
    {Qt::Key_0, kCtrl, ID_VIEW_ZOOM_ACTUAL},
    // Ctrl+F: the active entry window finds in its entry when it can, otherwise the
    // index's find field takes the keys.
    {Qt::Key_F, kCtrl, ID_EDIT_FIND},
};

const AcceleratorTable kAccelerators[] = {
    {IDR_MAINFRAME, kMainFrameAccelerators, std::size(kMainFrameAccelerators)},
};

const int kMainToolBarButtons[] = {ID_FILE_OPEN};
const int kArchiveBarButtons[] = {ID_ARCHIVE_INSERTFILES, ID_ITEM_EXTRACT};

const ToolBarResource kToolBars[] = {
    {IDR_MAINFRAME, ":/res/toolbar_main.png", kMainToolBarButtons, std::size(kMainToolBarButtons)},
    {IDR_ARCHIVEBAR, ":/res/toolbar_archive.png", kArchiveBarButtons,
     std::size(kArchiveBarButtons)},
};

struct StringEntry {
    int id;
    const char* text;
};

const StringEntry kStrings[] = {
    {IDR_MAINFRAME, "Lumo"},
    {AFX_IDS_APP_TITLE, "Lumo"},
    {AFX_IDS_IDLEMESSAGE, "Ready"},
    {ID_INDICATOR_FILE, "None"},
    {ID_INDICATOR_COUNT, "0 files"},
    {ID_INDICATOR_SIZE, "0 bytes"},
    {ID_FILE_NEW, "Create a new archive\nNew"},
    {ID_FILE_OPEN, "Open an existing archive\nOpen"},
    {ID_FILE_CLOSE, "Close the active document\nClose"},
    {ID_FILE_SAVE, "Save the current archive\nSave"},
    {ID_EDIT_UNDO, "Undo the last action\nUndo"},
    {ID_EDIT_REDO, "Do again what was undone\nRedo"},
    {ID_FILE_SAVE_AS, "Save the current archive under another name\nSave As"},
    {ID_EDIT_CUT, "Cut the selection and put it on the Clipboard\nCut"},
    {ID_EDIT_COPY, "Copy the selection and put it on the Clipboard\nCopy"},
    {ID_WINDOW_NEXT, "Activate the next window\nNext Window"},
    {ID_WINDOW_PREV, "Activate the previous window\nPrevious Window"},
    {ID_EDIT_PASTE, "Insert Clipboard contents\nPaste"},
    {ID_EDIT_FIND, "Find text or bytes in the entry, or an entry of the archive by name\nFind"},
    {ID_VIEW_ZOOM_IN, "Show the image larger\nZoom in"},
    {ID_VIEW_ZOOM_OUT, "Show the image smaller\nZoom out"},
    {ID_VIEW_ZOOM_ACTUAL, "Show the image at its real size\nActual size"},
    {ID_VIEW_ZOOM_FIT, "Fit the whole image in the window\nFit to window"},
    {ID_FILE_EXPORT_IMAGE, "Save the image as a PNG file\nExport image"},
    {ID_FILE_EXPORT_AUDIO, "Save the music as a WAV or FLAC file\nExport audio"},
    {ID_FILE_EXPORT_MODEL,
     "Save the model with its animations as a glTF file (.glb)\nExport model"},
    {ID_WINDOW_ARRANGE, "Arrange icons at the bottom of the window\nArrange Icons"},
    {ID_WINDOW_CASCADE, "Arrange windows so they overlap\nCascade Windows"},
    {ID_WINDOW_TILE_HORZ, "Arrange windows as non-overlapping tiles\nTile Windows"},
    {ID_APP_ABOUT, "Hey, everyone! It's the About box!\nAbout"},
    {ID_APP_EXIT, "Quit Lumo\nQuit"},
    {ID_NEXT_PANE, "Switch to the next window pane\nNext Pane"},
    {ID_PREV_PANE, "Switch back to the previous window pane\nPrevious Pane"},
    {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    {ID_VIEW_INDEX, "Show or hide the archive index\nToggle Archive display"},
    {ID_SORT_NAME, "Sort the archive index by name\nSort by name"},
    {ID_SORT_TYPE, "Sort the archive index by type\nSort by type"},
    {ID_SORT_SIZE, "Sort the archive index by size\nSort by size"},
    {ID_SORT_ORIGINAL, "Sort the archive index by original order\nSort by original order"},
    {ID_SORT_REVERSE, "Sort the archive index in reverse order\nReverse order"},
    {ID_ARCHIVE_INSERT, "Inserts a new file\nInsert"},
    {ID_ARCHIVE_REMOVE, "Removes the selected file\nRemove"},
    {ID_ARCHIVE_INSERTFILES, "Insert file into the archive\nInsert"},
    {ID_ITEM_EXTRACT, "Extract the selected file(s) from the archive\nExtract"},
    {ID_ITEM_OPEN, "Open the selected file(s)\nOpen"},
    {ID_ITEM_DELETE, "Delete the selected file(s) from the archive\nDelete"},
    {ID_ITEM_RENAME, "Rename the selected file\nRename"},
    {ID_ITEM_REPLACE, "Replace the selected file with the bytes of another file\nReplace with"},
    {ID_ITEM_PROPERTIES, "Show properties of the selected file(s)\nProperties"},
    {ID_ARCHIVE_PROPERTIES, "Show properties of the current archive\nArchive properties"},
    {ID_ITEM_OPENAS, "Specify how to open the selected file(s)\nOpen as"},
    {ID_OPTIONS_FIXEDBUFFER,
     "Check to speed up file decompression by skipping the file size calculation "
     "routine\nFixed buffer size"},
    {ID_OPTIONS_ALWAYSDECOMPRESS,
     "When checked, the program won't ask whether or not to decompress extracted "
     "files\nAlways decompress files"},
};

template <class Table, size_t N>
const Table* FindById(const Table (&tables)[N], int id) {
    for (const Table& table : tables) {
        if (table.id == id) {
            return &table;
        }
    }
    return nullptr;
}

}  // namespace

const MenuResource* FindMenuResource(int id) {
    return FindById(kMenus, id);
}
const AcceleratorTable* FindAcceleratorTable(int id) {
    return FindById(kAccelerators, id);
}
const ToolBarResource* FindToolBarResource(int id) {
    return FindById(kToolBars, id);
}

const char* LoadResString(int id) {
    const StringEntry* entry = FindById(kStrings, id);
    return entry ? entry->text : nullptr;
}

CommandStrings SplitCommandString(const char* text) {
    if (!text) {
        return {"", 0, ""};
    }
    const char* newline = std::strchr(text, '\n');
    if (!newline) {
        return {text, std::strlen(text), ""};
    }
    return {text, static_cast<size_t>(newline - text), newline + 1};
}
