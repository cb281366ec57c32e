// SPDX-License-Identifier: MIT
#pragma once
// The program's resources as data: menus, the accelerator table, the string table and
// the tool bars. The main frame builds its widgets from these tables at start-up, so a
// change of wording or of an item's place is a change of data here, nowhere else.
#include <QtGlobal>
#include <cstddef>

enum class MenuKind { Popup, End, Item, Separator };

// Initial state an item carries in the resource; the update pass may still disable it.
enum MenuItemFlags : unsigned { kMenuNone = 0, kMenuChecked = 1, kMenuGrayed = 2 };

// A menu is a flat run of entries: Popup opens a submenu, End closes it.
struct MenuEntry {
    MenuKind kind;
    int id;  // command ID of an Item, 0 otherwise
    const char* text;
    unsigned flags;
};

struct MenuResource {
    int id;
    const MenuEntry* entries;
    size_t count;
};

struct AcceleratorEntry {
    int key;        // Qt::Key
    int modifiers;  // Qt::KeyboardModifiers
    int id;         // command ID
};

struct AcceleratorTable {
    int id;
    const AcceleratorEntry* entries;
    size_t count;
};

struct ToolBarResource {
    int id;
    const char* image;  // strip of 16 x 15 images, one per button, in button order
    const int* buttons;
    size_t count;
};

constexpr int kToolBarImageWidth = 16;
constexpr int kToolBarImageHeight = 15;

// Each returns null when the table holds no resource with that ID.
const MenuResource* FindMenuResource(int id);
const AcceleratorTable* FindAcceleratorTable(int id);
const ToolBarResource* FindToolBarResource(int id);
const char* LoadResString(int id);

// The two halves of a command's string: status-bar prompt and tool tip.
struct CommandStrings {
    const char* prompt;
    size_t promptLength;
    const char* tooltip;  // empty when the string has no second half
};
CommandStrings SplitCommandString(const char* text);

// Images compiled into the program (Qt resource paths).
extern const char* const kAppIconPath;
extern const char* const kHandCursorPath;
constexpr int kHandCursorHotX = 5;
constexpr int kHandCursorHotY = 0;
