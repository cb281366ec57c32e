// SPDX-License-Identifier: MIT
// The resource tables: every command a menu, tool bar or accelerator names has its
// prompt, and menus are well formed.
#include <gtest/gtest.h>

#include <QIcon>
#include <set>
#include <string>

#include "res/resource.h"
#include "res/resource_tables.h"
#include "res/scaled_icons.h"

namespace {

std::set<int> CommandsOf(const MenuResource& menu) {
    std::set<int> ids;
    int depth = 0;
    for (size_t i = 0; i < menu.count; ++i) {
        const MenuEntry& entry = menu.entries[i];
        if (entry.kind == MenuKind::Popup) {
            ++depth;
        } else if (entry.kind == MenuKind::End) {
            --depth;
            EXPECT_GE(depth, 0) << "menu " << menu.id << " closes a popup it never opened";
        } else if (entry.kind == MenuKind::Item) {
            ids.insert(entry.id);
        }
    }
    EXPECT_EQ(depth, 0) << "menu " << menu.id << " leaves a popup open";
    return ids;
}

TEST(ResourceTables, EveryCommandHasPromptAndTooltip) {
    std::set<int> ids;
    for (int menuId : {IDR_MAINFRAME, IDR_ENTRYTYPE, IDR_INDEXMENU}) {
        const MenuResource* menu = FindMenuResource(menuId);
        ASSERT_NE(menu, nullptr) << menuId;
        std::set<int> some = CommandsOf(*menu);
        ids.insert(some.begin(), some.end());
    }
    for (int barId : {IDR_MAINFRAME, IDR_ARCHIVEBAR}) {
        const ToolBarResource* bar = FindToolBarResource(barId);
        ASSERT_NE(bar, nullptr);
        ids.insert(bar->buttons, bar->buttons + bar->count);
    }
    const AcceleratorTable* keys = FindAcceleratorTable(IDR_MAINFRAME);
    ASSERT_NE(keys, nullptr);
    // The original 13, the viewers' zoom and Find keys, and Ctrl+E, Ctrl+F4 and Ctrl+F6
    // with and without Shift; Redo twice, Save As, Del, F2 and Ins.
    EXPECT_EQ(keys->count, 29u);
    for (size_t i = 0; i < keys->count; ++i) {
        ids.insert(keys->entries[i].id);
    }
    for (int id : ids) {
        CommandStrings strings = SplitCommandString(LoadResString(id));
        EXPECT_GT(strings.promptLength, 0u) << "command " << id;
        EXPECT_STRNE(strings.tooltip, "") << "command " << id;
    }
}

TEST(ResourceTables, StringsSplitAtTheFirstNewline) {
    CommandStrings about = SplitCommandString(LoadResString(ID_APP_ABOUT));
    EXPECT_EQ(std::string(about.prompt, about.promptLength), "Hey, everyone! It's the About box!");
    EXPECT_STREQ(about.tooltip, "About");

    CommandStrings plain = SplitCommandString("no tip");
    EXPECT_EQ(plain.promptLength, 6u);
    EXPECT_STREQ(plain.tooltip, "");
    EXPECT_EQ(SplitCommandString(nullptr).promptLength, 0u);

    EXPECT_STREQ(LoadResString(ID_INDICATOR_FILE), "None");
    EXPECT_EQ(LoadResString(129), nullptr);  // entry windows have no title string
    EXPECT_EQ(FindMenuResource(999), nullptr);
}

}  // namespace

// Every tool bar button and the program's icon have a picture drawn for 1x, 1.5x and 2x
// screens, so none is a blurred enlargement.
TEST(ScaledIcons, APictureForEveryScale) {
    for (int id : {IDR_MAINFRAME, IDR_ARCHIVEBAR}) {
        const ToolBarResource* bar = FindToolBarResource(id);
        ASSERT_NE(bar, nullptr);
        for (size_t i = 0; i < bar->count; ++i) {
            const QIcon icon =
                ToolBarButtonIcon(bar->image, static_cast<int>(i), static_cast<int>(bar->count));
            EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 15}, {24, 23}, {32, 30}}))
                << bar->image << " " << i;
        }
    }
    const QList<QSize> sizes = ApplicationIcon().availableSizes();
    EXPECT_EQ(sizes.size(), 6);
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(64, 64)));
}
