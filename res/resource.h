// SPDX-License-Identifier: MIT
#pragma once
// Command and resource identifiers. The numbers are those of the original resource
// script, so menus, tool bars, accelerators and the string table agree on them.

// Resources
constexpr int IDR_MAINFRAME = 128;   // main frame menu, accelerators, tool bar, icon, title
constexpr int IDR_ENTRYTYPE = 129;   // the entry windows' menu
constexpr int IDR_ARCHIVEBAR = 130;  // second tool bar: Insert file(s), Extract
constexpr int IDR_INDEXMENU = 135;   // the index context menu
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDC_HANDCURSOR = 104;
constexpr int IDC_LINK = 1005;

// Windows of the frame
constexpr int IDW_INDEXBAR = 101;
constexpr int IDC_INDEXLIST = 102;  // the index list; also sent as a command on activation

// Status bar indicators
constexpr int ID_SEPARATOR = 0;
constexpr int ID_INDICATOR_FILE = 10100;
constexpr int ID_INDICATOR_COUNT = 10101;
constexpr int ID_INDICATOR_SIZE = 10102;

// String table entries that are not commands
constexpr int AFX_IDS_APP_TITLE = 57344;
constexpr int AFX_IDS_IDLEMESSAGE = 57345;

// Commands
constexpr int ID_FILE_NEW = 57600;
constexpr int ID_FILE_OPEN = 57601;
constexpr int ID_FILE_CLOSE = 57602;
constexpr int ID_FILE_SAVE = 57603;
constexpr int ID_FILE_SAVE_AS = 57604;
constexpr int ID_EDIT_COPY = 57634;
constexpr int ID_EDIT_FIND = 57636;  // Ctrl+F: the index's find field
constexpr int ID_EDIT_CUT = 57635;
constexpr int ID_EDIT_PASTE = 57637;
constexpr int ID_EDIT_UNDO = 57643;
constexpr int ID_EDIT_REDO = 57644;
constexpr int ID_WINDOW_ARRANGE = 57649;
constexpr int ID_WINDOW_CASCADE = 57650;
constexpr int ID_WINDOW_TILE_HORZ = 57651;
constexpr int ID_APP_ABOUT = 57664;
constexpr int ID_APP_EXIT = 57665;
constexpr int ID_NEXT_PANE = 57680;
constexpr int ID_PREV_PANE = 57681;
constexpr int ID_VIEW_TOOLBAR = 59392;
constexpr int ID_VIEW_STATUS_BAR = 59393;
constexpr int ID_VIEW_INDEX = 32777;
constexpr int ID_SORT_NAME = 32778;
constexpr int ID_SORT_TYPE = 32779;
constexpr int ID_SORT_SIZE = 32780;
constexpr int ID_ARCHIVE_INSERT = 32781;
constexpr int ID_ARCHIVE_REMOVE = 32782;
constexpr int ID_ITEM_EXTRACT = 32783;
constexpr int ID_ARCHIVE_INSERTFILES = 32785;
constexpr int ID_ITEM_OPEN = 32787;
constexpr int ID_ITEM_DELETE = 32788;
constexpr int ID_ITEM_PROPERTIES = 32789;
constexpr int ID_ARCHIVE_PROPERTIES = 32791;
constexpr int ID_SORT_ORIGINAL = 32792;
constexpr int ID_ITEM_OPENAS = 32793;
constexpr int ID_SORT_REVERSE = 32794;
constexpr int ID_OPTIONS_FIXEDBUFFER = 32796;
constexpr int ID_OPTIONS_ALWAYSDECOMPRESS = 32798;
constexpr int ID_ITEM_RENAME = 32820;  // F2: rename the marked entry in place
constexpr int ID_WINDOW_NEXT = 32830;  // Ctrl+F6: activate the next entry window
constexpr int ID_WINDOW_PREV = 32831;  // Ctrl+Shift+F6: the previous one
constexpr int ID_ITEM_REPLACE = 32840;  // index menu: Replace with...
// The viewers' own commands.
constexpr int ID_VIEW_ZOOM_IN = 32800;
constexpr int ID_VIEW_ZOOM_OUT = 32801;
constexpr int ID_VIEW_ZOOM_ACTUAL = 32802;
constexpr int ID_VIEW_ZOOM_FIT = 32803;
constexpr int ID_FILE_EXPORT_IMAGE = 32804;
constexpr int ID_FILE_EXPORT_AUDIO = 32805;
constexpr int ID_FILE_EXPORT_MODEL = 32806;

// First of the window-list commands the Window menu appends, one per open child.
constexpr int AFX_IDM_FIRST_MDICHILD = 0xFF00;
