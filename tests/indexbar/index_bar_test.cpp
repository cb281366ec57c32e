// SPDX-License-Identifier: MIT
// The index bar as the frame holds it: size and placement, caption, edges, columns,
// the list's start state, and its reactions to the user.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include "archive/lgp_archive.h"
#include "indexbar/find_field.h"
#include "indexbar/index_bar.h"
#include "res/resource.h"
#include "tests/support/lgp_writer.h"

namespace {

class IndexBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto* layout = new QHBoxLayout(&frame);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        bar = new CIndexBar;
        bar->Create(&frame);
        layout->addWidget(bar);
        layout->addWidget(new QWidget, 1);
        ResizeFrame(640, 480);
        frame.show();
    }
    void ResizeFrame(int w, int h) {
        frame.resize(w, h);
        frame.layout()->activate();
        QApplication::processEvents();
    }
    QImage Render() {
        QImage image(bar->size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        bar->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
        return image;
    }
    // Rows of the test archive in list order, by name.
    QStringList Names() {
        QStringList names;
        CListCtrl* list = bar->GetListCtrl();
        for (int row = 0; row < list->GetItemCount(); ++row) {
            names << list->GetModel()->index(row, 0).data().toString();
        }
        return names;
    }
    void List(const CLgpArchive& archive) {
        std::vector<IndexRow> rows;
        for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
            rows.push_back(
                {i, archive.GetEntryName(i), archive.GetEntrySize(i), archive.GetEntryType(i)});
        }
        bar->GetListCtrl()->AppendRows(std::move(rows));
        bar->GetListCtrl()->setEnabled(true);
        bar->SetCatalogue(&archive);
    }
    QPoint HeaderSectionCentre(int column) {
        QHeaderView* header = bar->GetListCtrl()->header();
        return {header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                header->height() / 2};
    }

    QWidget frame;
    CIndexBar* bar = nullptr;
};

TEST(IndexBarCreation, ListExistsOnlyAfterCreateAndStartsDisabledAndEmpty) {
    CIndexBar bar;
    EXPECT_EQ(bar.GetListCtrl(), nullptr);
    EXPECT_EQ(bar.m_nSortMode, 0);
    EXPECT_FALSE(bar.m_bSortReverse);
    EXPECT_EQ(bar.m_nBarWidth, 205);
    ASSERT_TRUE(bar.Create(nullptr));
    CListCtrl* list = bar.GetListCtrl();
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(list->isEnabled());
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_TRUE(bar.Create(nullptr));
    EXPECT_EQ(bar.GetListCtrl(), list);
}

TEST_F(IndexBarTest, StaysTwoHundredFiveWideAndKeepsTheListMarginsOnEveryResize) {
    for (QSize size : {QSize(640, 480), QSize(300, 200), QSize(1600, 1000), QSize(210, 600)}) {
        ResizeFrame(size.width(), size.height());
        EXPECT_EQ(bar->width(), 205);
        EXPECT_EQ(bar->height(), frame.height());
        EXPECT_EQ(bar->GetListCtrl()->geometry(), QRect(5, 29, 205 - 18, bar->height() - 39));
    }
}

TEST_F(IndexBarTest, ReportColumnsHaveTheirHeadingsWidthsAndAlignment) {
    CListCtrl* list = bar->GetListCtrl();
    QHeaderView* header = list->header();
    const int extent = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    EXPECT_EQ(header->count(), 2);
    EXPECT_GE(header->sectionSize(0), 106);  // all the room the Size column leaves
    EXPECT_EQ(header->sectionSize(0) + header->sectionSize(1), list->viewport()->width());
    EXPECT_EQ(header->sectionSize(1), 205 - extent - 128);
    auto model = list->GetModel();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Name");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Size");
    EXPECT_TRUE(model->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole)
                    .value<Qt::Alignment>()
                    .testFlag(Qt::AlignRight));
    EXPECT_FALSE(header->isSortIndicatorShown());
    EXPECT_FALSE(list->rootIsDecorated());
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);

    // Widths survive emptying and refilling the list.
    list->AppendRows({{0, "a", 1, 0}});
    const int nameWidth = header->sectionSize(0);
    list->DeleteAllItems();
    EXPECT_EQ(header->sectionSize(0), nameWidth);
}

TEST_F(IndexBarTest, CaptionNamesTheArchiveInTahomaTwelvePixels) {
    EXPECT_EQ(bar->CaptionText(), "Archive index");
    bar->SetArchiveName("flevel.lgp");
    EXPECT_EQ(bar->CaptionText(), "Archive index - flevel.lgp");
    EXPECT_EQ(bar->GetCaptionFont().pixelSize(), 12);
    if (QFile::exists("/usr/share/wine/fonts/tahoma.ttf")) {
        EXPECT_EQ(QFontInfo(bar->GetCaptionFont()).family(), "Tahoma");
    }
    // A name far longer than the bar is drawn without harm and cut at the edge.
    bar->SetArchiveName(QString(259, 'x'));
    EXPECT_EQ(Render().size(), QSize(205, frame.height()));
}

TEST_F(IndexBarTest, NewCaptionLeavesNothingOfTheOldOneBehind) {
    const QRgb face = bar->palette().color(QPalette::Button).rgb();
    const QFontMetrics metrics(bar->GetCaptionFont());
    const int plainEnd = 16 + metrics.horizontalAdvance("Archive index");
    auto inkRightOf = [&](const QImage& image, int x0) {
        int ink = 0;
        for (int y = 8; y < 8 + metrics.height(); ++y) {
            for (int x = x0; x < 190; ++x) {
                ink += image.pixel(x, y) != face;
            }
        }
        return ink;
    };

    QImage image = Render();
    EXPECT_GT(inkRightOf(image, 16), 0);
    EXPECT_EQ(inkRightOf(image, plainEnd + 1), 0);

    bar->SetArchiveName("magic_long_archive.lgp");
    bar->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    EXPECT_GT(inkRightOf(image, plainEnd + 1), 0);

    bar->SetArchiveName("");
    bar->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    EXPECT_EQ(inkRightOf(image, plainEnd + 1), 0);
}

TEST_F(IndexBarTest, GripperAndEtchedEdgesSitWhereTheyBelong) {
    const QImage image = Render();
    const QRgb face = bar->palette().color(QPalette::Button).rgb();
    const QRgb light = bar->palette().color(QPalette::Light).rgb();
    const QRgb shadow = bar->palette().color(QPalette::Dark).rgb();
    const int h = image.height();
    auto at = [&](int x, int y) { return image.pixel(x, y); };
    // Gripper: raised bars at x = 5..7 and 9..11, y = 6..24.
    EXPECT_EQ(at(5, 6), light);
    EXPECT_EQ(at(5, 20), light);
    EXPECT_EQ(at(6, 15), face);
    EXPECT_EQ(at(7, 15), shadow);
    EXPECT_EQ(at(6, 24), shadow);
    EXPECT_EQ(at(9, 6), light);
    EXPECT_EQ(at(11, 15), shadow);
    // Top and bottom etched lines span x = 0..199; the right one covers x = 199..200.
    EXPECT_EQ(at(100, 0), shadow);
    EXPECT_EQ(at(100, 1), light);
    EXPECT_EQ(at(100, h - 2), shadow);
    EXPECT_EQ(at(100, h - 1), light);
    EXPECT_EQ(at(199, h / 2), shadow);
    EXPECT_EQ(at(200, h / 2), light);
    EXPECT_EQ(at(201, h / 2), face);
    EXPECT_EQ(at(204, 0), face);
}

TEST_F(IndexBarTest, ActivationSendsTheListCommandOnlyWithASelection) {
    CListCtrl* list = bar->GetListCtrl();
    list->AppendRows({{0, "a.tex", 1, 1}, {1, "b.tex", 2, 1}});
    QSignalSpy commands(bar, &CIndexBar::commandSent);

    list->setEnabled(true);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(commands.count(), 0);

    list->SelectRows({1});
    QTest::keyClick(list, Qt::Key_Return);
    QTest::keyClick(list, Qt::Key_Enter);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                       list->visualRect(list->GetModel()->index(1, 0)).center());
    ASSERT_EQ(commands.count(), 3);
    EXPECT_EQ(commands.at(0).at(0).toInt(), IDC_INDEXLIST);

    // While no archive is listed the list is disabled and says nothing.
    list->setEnabled(false);
    QTest::keyClick(list, Qt::Key_Return);
    QTest::mouseClick(list->header()->viewport(), Qt::LeftButton, {}, HeaderSectionCentre(0));
    EXPECT_EQ(commands.count(), 3);
    EXPECT_EQ(bar->m_nSortMode, 0);
}

TEST_F(IndexBarTest, HeadingClicksSortByNameOrSizeAndTurnTheOrderRound) {
    lumo::test::TempDir dir;
    const std::string path = dir.Write("test.lgp", lumo::test::LgpWriter()
                                                       .AddText("beta.tex", "1234")
                                                       .AddText("Alpha.p", "12")
                                                       .AddText("gamma.tex", "123")
                                                       .AddText("_under.txt", "1")
                                                       .Build());
    CLgpArchive archive;
    ASSERT_EQ(archive.Load(path.c_str()), 4);
    List(archive);
    QWidget* header = bar->GetListCtrl()->header()->viewport();

    QTest::mouseClick(header, Qt::LeftButton, {}, HeaderSectionCentre(0));
    EXPECT_EQ(Names(), (QStringList{"_under.txt", "Alpha.p", "beta.tex", "gamma.tex"}));
    QTest::mouseClick(header, Qt::LeftButton, {}, HeaderSectionCentre(0));
    EXPECT_TRUE(bar->m_bSortReverse);
    EXPECT_EQ(Names(), (QStringList{"gamma.tex", "beta.tex", "Alpha.p", "_under.txt"}));
    QHeaderView* heading = bar->GetListCtrl()->header();
    EXPECT_TRUE(heading->isSortIndicatorShown());  // the arrow on the sort key's heading
    EXPECT_EQ(heading->sortIndicatorSection(), 0);
    EXPECT_EQ(heading->sortIndicatorOrder(), Qt::DescendingOrder);
    QTest::mouseClick(header, Qt::LeftButton, {}, HeaderSectionCentre(1));
    EXPECT_EQ(bar->m_nSortMode, 3);
    EXPECT_FALSE(bar->m_bSortReverse);
    EXPECT_EQ(Names(), (QStringList{"_under.txt", "Alpha.p", "gamma.tex", "beta.tex"}));
    EXPECT_EQ(heading->sortIndicatorSection(), 1);
    EXPECT_EQ(heading->sortIndicatorOrder(), Qt::AscendingOrder);

    bar->m_nSortMode = 0;
    bar->m_bSortReverse = true;
    bar->SortList();
    EXPECT_EQ(Names(), (QStringList{"_under.txt", "gamma.tex", "Alpha.p", "beta.tex"}));
    EXPECT_FALSE(heading->isSortIndicatorShown());  // archive order has no heading
    bar->m_nSortMode = 7;                           // no such mode: rows stay as they are
    bar->m_bSortReverse = false;
    bar->SortList();
    EXPECT_EQ(Names(), (QStringList{"_under.txt", "gamma.tex", "Alpha.p", "beta.tex"}));
}

// The right edge drags the bar wider (never narrower than at the start); the list keeps
// its margins, the Size column its width, and the Name column takes the extra.
TEST_F(IndexBarTest, RightEdgeDragsTheBarWider) {
    CListCtrl* list = bar->GetListCtrl();
    const int extent = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    const int y = bar->height() / 2;
    const int nameWidth = list->header()->sectionSize(0);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(202, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(302, y), bar->mapToGlobal(QPointF(302, y)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(302, y));
    ResizeFrame(640, 480);
    EXPECT_EQ(bar->width(), 305);
    EXPECT_EQ(list->geometry(), QRect(5, 29, 305 - 18, bar->height() - 39));
    EXPECT_EQ(list->header()->sectionSize(1), 205 - extent - 128);
    EXPECT_EQ(list->header()->sectionSize(0), nameWidth + 100);

    bar->SetBarWidth(100);
    EXPECT_EQ(bar->width(), 205);
    // Pressing inside the bar, away from the edge, does not drag.
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(100, y));
    QMouseEvent away(QEvent::MouseMove, QPointF(200, y), bar->mapToGlobal(QPointF(200, y)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &away);
    EXPECT_EQ(bar->width(), 205);
}

// Typing in the find field narrows the list and reports the count; Esc empties it. Its
// clear button is made with the first text, not with the field.
TEST_F(IndexBarTest, FindFieldFiltersAndEscapeClears) {
    bar->GetListCtrl()->AppendRows({{0, "a.tex", 1, 0}, {1, "b.p", 1, 0}, {2, "c.tex", 1, 0}});
    QSignalSpy changes(bar, &CIndexBar::filterChanged);
    QLineEdit* field = bar->GetFindField();
    ASSERT_NE(field, nullptr);
    field->show();
    EXPECT_FALSE(field->isClearButtonEnabled());
    QTest::keyClicks(field, "*.T?X");
    EXPECT_TRUE(field->isClearButtonEnabled());
    EXPECT_EQ(Names(), (QStringList{"a.tex", "c.tex"}));
    ASSERT_FALSE(changes.isEmpty());
    EXPECT_EQ(changes.last().at(1).toInt(), 2);
    EXPECT_EQ(changes.last().at(2).toInt(), 3);
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(Names().size(), 3);
}

}  // namespace
