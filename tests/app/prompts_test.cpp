// SPDX-License-Identifier: MIT
// The prompts layer: the file filter as the host dialogs want it, the file error text,
// and the scripted prompts that the other tests rely on.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include "platform/prompts.h"
#include "platform/prompts_desktop.h"
#include "tests/support/qt/prompts_scripted.h"

using platform::FileFilter;
using platform::ParseFileFilter;

namespace {

TEST(FileFilter, ArchiveFilterGivesBothPairsWithHostPatterns) {
    std::vector<FileFilter> pairs =
        ParseFileFilter("LGP Archives (*.lgp)|*.lgp|All files (*.*)|*.*|");
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].description, "LGP Archives (*.lgp)");
    // Archives come from a host that ignores the case of names.
    EXPECT_EQ(pairs[0].patterns, (std::vector<std::string>{"*.lgp", "*.LGP"}));
    EXPECT_EQ(pairs[1].description, "All files (*.*)");
    // "*.*" must match names without a dot too.
    EXPECT_EQ(pairs[1].patterns, (std::vector<std::string>{"*"}));
}

TEST(FileFilter, EndsAtDoubleBarAndSkipsBrokenPairs) {
    EXPECT_EQ(ParseFileFilter("All files (*.*)|*.*||").size(), 1u);
    EXPECT_TRUE(ParseFileFilter("").empty());
    EXPECT_TRUE(ParseFileFilter("Nothing|").empty());
    std::vector<FileFilter> pairs = ParseFileFilter("Text|*.txt; *.TXT;*.md|");
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0].patterns, (std::vector<std::string>{"*.txt", "*.TXT", "*.md", "*.MD"}));
}

TEST(FileErrorMessage, NamesFileAndReason) {
    EXPECT_EQ(platform::FormatFileErrorMessage({"/tmp/a.tex", "No space left on device"}),
              "An error occurred while accessing /tmp/a.tex.\nNo space left on device");
    EXPECT_EQ(platform::FormatFileErrorMessage({"", ""}),
              "An error occurred while accessing An unnamed file.");
}

TEST(ScriptedPrompts, AnswersInOrderRecordsAndCancelsWhenEmpty) {
    platform::ScriptedPrompts prompts;
    platform::ScopedPrompts installed(prompts);
    EXPECT_EQ(&platform::Prompts(), &prompts);

    prompts.openAnswers = {std::string("/data/a.lgp"), std::nullopt};
    prompts.messageAnswers = {platform::MessageAnswer::Yes};
    platform::OpenFileRequest open;
    open.initialDir = "/data/";
    open.fileName = "a.lgp";
    EXPECT_EQ(platform::Prompts().OpenFile(open), "/data/a.lgp");
    EXPECT_EQ(platform::Prompts().OpenFile(open), std::nullopt);
    EXPECT_EQ(platform::Prompts().OpenFile(open), std::nullopt);  // nothing queued: cancel
    ASSERT_EQ(prompts.openRequests.size(), 3u);
    EXPECT_EQ(prompts.openRequests[0].initialDir, "/data/");

    platform::MessageRequest question{"Decompress compressed files?", "",
                                      platform::MessageButtons::YesNo,
                                      platform::MessageIcon::Question};
    EXPECT_EQ(platform::Prompts().ShowMessage(question), platform::MessageAnswer::Yes);
    EXPECT_EQ(platform::Prompts().ShowMessage(question), platform::MessageAnswer::No);
    platform::MessageRequest note{"Failed to extract file", "", platform::MessageButtons::Ok,
                                  platform::MessageIcon::Exclamation};
    EXPECT_EQ(platform::Prompts().ShowMessage(note), platform::MessageAnswer::Ok);
    EXPECT_EQ(prompts.messages.size(), 3u);

    EXPECT_EQ(platform::Prompts().BrowseFolder({"Where?"}), std::nullopt);
    EXPECT_EQ(prompts.folderRequests.at(0).title, "Where?");
    EXPECT_TRUE(platform::Prompts().OpenWebPage("https://lumo.example.org/"));
    EXPECT_EQ(prompts.webPages.size(), 1u);
}

TEST(ScriptedPrompts, GuardRestoresThePreviousPrompts) {
    platform::IPrompts* before = &platform::Prompts();
    {
        platform::ScriptedPrompts prompts;
        platform::ScopedPrompts installed(prompts);
        EXPECT_NE(&platform::Prompts(), before);
    }
    EXPECT_EQ(&platform::Prompts(), before);
}

// The progress dialog shows itself half a second into a run; a question asked before
// that must still end up in front of it, and answerable by key and by mouse alike.
TEST(DesktopPrompts, AQuestionDuringARunComesInFrontOfTheProgressAndTakesInput) {
    using platform::MessageAnswer;
    using platform::MessageButtons;
    const struct {
        MessageButtons buttons;
        const char* click;  // a button to click, or null: press Escape
        MessageAnswer expected;
    } kCases[] = {
        {MessageButtons::SkipSkipAllCancel, nullptr, MessageAnswer::Cancel},
        {MessageButtons::ReplaceSkipAllCancel, "Replace A&ll", MessageAnswer::ReplaceAll},
        {MessageButtons::ReplaceSkipAllCancel, "&Skip", MessageAnswer::Skip},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.click ? c.click : "Escape");
        platform::DesktopPrompts prompts;
        std::unique_ptr<platform::IProgress> progress =
            prompts.BeginProgress({"Extracting files...", 4, nullptr});
        progress->Step(0, "Extracting a...");
        QWidget* owner = nullptr;
        QTimer::singleShot(700, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                return;
            }
            owner = box->parentWidget();
            QWindow* window = box->windowHandle();
            if (!c.click) {
                QTest::keyClick(window, Qt::Key_Escape);
                return;
            }
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == c.click) {
                    QTest::mouseClick(window, Qt::LeftButton, {},
                                      button->mapTo(box, button->rect().center()));
                }
            }
        });
        // Should the input not reach the box, it is closed unanswered after a while.
        QTimer unblock;
        QObject::connect(&unblock, &QTimer::timeout, [] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                    box->done(0);
                }
            }
        });
        unblock.start(3000);
        platform::MessageRequest request;
        request.text = "Failed to extract file b: cannot write b.";
        request.buttons = c.buttons;
        EXPECT_EQ(prompts.ShowMessage(request), c.expected);
        ASSERT_NE(qobject_cast<QProgressDialog*>(owner), nullptr);
        EXPECT_TRUE(owner->isVisible());
    }
}

}  // namespace
