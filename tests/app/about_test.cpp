// SPDX-License-Identifier: MIT
// The About box: size, texts, the ways to close it, and the link.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <climits>

#include "app/about_dlg.h"
#include "app/main_frame.h"
#include "res/resource.h"
#include "tests/support/qt/shell_test_support.h"

namespace {

using AboutTest = lumo::test::ShellTest;

// Opens the box with Help > About, runs `close` on it once it shows, and returns what
// the box looked like then.
struct Seen {
    bool shown = false;
    QSize size;
    QString title;
    Qt::WindowType type = Qt::Widget;
    bool modal = false;
    bool resizable = true;
};

Seen RunAbout(CMainFrame* frame, std::function<void(CAboutDlg*)> close) {
    Seen seen;
    lumo::test::WhenModalShows([&seen, close](QWidget* modal) {
        auto* box = qobject_cast<CAboutDlg*>(modal);
        if (!box) {
            modal->close();
            return;
        }
        seen.shown = true;
        seen.size = box->frameGeometry().size();
        seen.title = box->windowTitle();
        seen.type = box->windowType();
        seen.modal = box->isModal();
        seen.resizable = box->minimumSize() != box->maximumSize();
        close(box);
    });
    frame->SendCommand(ID_APP_ABOUT);  // returns once the box is closed
    return seen;
}

TEST_F(AboutTest, EveryCloseButtonClosesWithoutOpeningThePage) {
    const std::function<void(CAboutDlg*)> ways[] = {
        [](CAboutDlg* box) { box->m_btnOK->click(); },
        [](CAboutDlg* box) { box->m_btnCancel->click(); },
        [](CAboutDlg* box) { QTest::keyClick(box, Qt::Key_Escape); },
        [](CAboutDlg* box) { box->close(); },  // the close box
    };
    for (const auto& close : ways) {
        Seen seen = RunAbout(Frame(), close);
        EXPECT_TRUE(seen.shown);
        EXPECT_EQ(seen.size, QSize(320, 360));
        EXPECT_EQ(seen.title, "About Lumo");
        EXPECT_EQ(seen.type, Qt::Tool);  // the small caption
        EXPECT_TRUE(seen.modal);
        EXPECT_FALSE(seen.resizable);
    }
    EXPECT_TRUE(prompts.webPages.empty());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(AboutTest, LinkOpensTheHomePageAndLeavesTheBoxOpen) {
    CAboutDlg box(Frame());
    box.show();
    const std::string page = CAboutDlg::HomePage();
    EXPECT_EQ(box.m_btnLink->text().toStdString(), page);
    const QUrl address(QString::fromStdString(page));
    ASSERT_TRUE(address.isLocalFile()) << page;  // works offline
    EXPECT_TRUE(QFile::exists(address.toLocalFile())) << page;
    QTest::mouseClick(box.m_btnLink, Qt::LeftButton);
    box.m_btnLink->setFocus();
    QTest::keyClick(box.m_btnLink, Qt::Key_Space);
    EXPECT_EQ(prompts.webPages, (std::vector<std::string>{page, page}));
    EXPECT_TRUE(box.isVisible());
    // A browser that cannot be started changes nothing either.
    prompts.webPagesOpen = false;
    box.m_btnLink->click();
    EXPECT_TRUE(box.isVisible());
}

TEST_F(AboutTest, HandCursorOverTheLinkOnly) {
    CAboutDlg box(Frame());
    QCursor link = box.m_btnLink->cursor();
    EXPECT_EQ(link.shape(), Qt::BitmapCursor);
    EXPECT_EQ(link.hotSpot(), QPoint(5, 0));
    EXPECT_EQ(link.pixmap().size(), QSize(32, 32));
    EXPECT_EQ(box.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(box.m_btnOK->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(AboutTest, FocusRectangleOnlyWhileTheLinkHasFocus) {
    CAboutDlg box(Frame());
    box.show();
    QApplication::setActiveWindow(&box);
    box.m_btnOK->setFocus();
    QImage unfocused = box.m_btnLink->grab().toImage();
    box.m_btnLink->setFocus();
    ASSERT_TRUE(box.m_btnLink->hasFocus());
    QImage focused = box.m_btnLink->grab().toImage();
    EXPECT_NE(focused, unfocused);
    // Both show the address in blue on white.
    EXPECT_EQ(unfocused.pixelColor(1, unfocused.height() - 1), QColor(Qt::white));
    bool blue = false;
    for (int x = 0; x < unfocused.width() && !blue; ++x) {
        for (int y = 0; y < unfocused.height() && !blue; ++y) {
            QColor c = unfocused.pixelColor(x, y);
            blue = c.blue() > 150 && c.red() < 140 && c.red() == c.green();
        }
    }
    EXPECT_TRUE(blue);
}

// The controls' places fit the template's small font; the host's default font would cut
// "Check web site for updates" off at both ends.
TEST_F(AboutTest, ButtonLabelsFitTheirButtons) {
    CAboutDlg box(Frame());
    box.show();
    for (QPushButton* button : {box.m_btnOK, box.m_btnCancel}) {
        int text = QFontMetrics(button->font()).horizontalAdvance(button->text());
        EXPECT_LE(text + 8, button->width()) << button->text().toStdString();
    }
}

// The bitmap face the layout was made for serves at scale 1 only; at 150 % and 200 % the
// buttons get a face drawn from outlines, at the same point size.
TEST(AboutControlsFont, ScalableAwayFromScaleOne) {
    for (qreal scale : {1.5, 2.0}) {
        const QFont font = AboutControlsFont(scale);
        EXPECT_TRUE(QFontDatabase::isSmoothlyScalable(font.family()))
            << font.family().toStdString();
        EXPECT_NE(font.family(), "MS Sans Serif");
        EXPECT_EQ(font.pointSize(), 8);
    }
    EXPECT_EQ(AboutControlsFont(1.0).pointSize(), 8);
}

TEST_F(AboutTest, TextsSitRightAlignedBelowTheWhiteArea) {
    CAboutDlg box(Frame());
    box.show();
    QImage image = box.grab().toImage();
    // Ink in a band of rows: how much, and its leftmost and rightmost columns.
    struct Ink {
        int count = 0;
        int left = INT_MAX;
        int right = -1;
    };
    auto inkInRows = [&image](int top, int bottom) {
        Ink ink;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (qGray(image.pixel(x, y)) < 200) {
                    ++ink.count;
                    ink.left = std::min(ink.left, x);
                    ink.right = std::max(ink.right, x);
                }
            }
        }
        return ink;
    };
    EXPECT_EQ(inkInRows(0, 195).count, 0);  // white above the version line
    Ink version = inkInRows(195, 210);
    EXPECT_GT(version.count, 20);
    EXPECT_LE(version.right, image.width() - 21);
    EXPECT_GE(version.right, image.width() - 30);

    Ink disclaimer = inkInRows(215, 245);
    EXPECT_GT(disclaimer.count, 20);
    EXPECT_LE(disclaimer.right, image.width() - 21);
    // Both lines whole: the wider one is not cut at the left margin.
    QFontMetrics metrics(CellHeightFont("Arial", 14));
    int widest = std::max(
        metrics.horizontalAdvance("Use this program at your own risk. The author cannot"),
        metrics.horizontalAdvance("be held responsible for any damage to your data files."));
    EXPECT_GE(disclaimer.right - disclaimer.left + 1, widest - 4);
    EXPECT_GT(disclaimer.left, 0);
}

}  // namespace
