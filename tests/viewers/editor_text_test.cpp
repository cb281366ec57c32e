// SPDX-License-Identifier: MIT
// The field background viewer window: what its client area shows, read back from the
// window itself, how it sizes itself, and how it takes files it cannot show.
#include "viewers/editor_text.h"

#include <gtest/gtest.h>

#include <QMdiArea>
#include <QPixmap>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>

#include "app/main_frame.h"
#include "tests/support/field_builder.h"
#include "tests/support/qt/shell_test_support.h"

namespace lumo::test {
namespace {

const QColor kLightGray(192, 192, 192);

FieldTileSpec TileAt(int x, int y) {
    FieldTileSpec tile;
    tile.dstX = static_cast<int16_t>(x);
    tile.dstY = static_cast<int16_t>(y);
    return tile;
}

class EditorTextTest : public ShellTest {
protected:
    CEditorText* NewViewer() {
        auto* viewer = qobject_cast<CEditorText*>(Frame()->CreateNewChild("CEditorText"));
        EXPECT_NE(viewer, nullptr);
        return viewer;
    }

    // A new viewer with the file loaded; null when the load failed.
    CEditorText* Show(const Bytes& file) {
        CEditorText* viewer = NewViewer();
        if (!viewer || !viewer->LoadEntryData(file.data(), static_cast<uint32_t>(file.size()))) {
            return nullptr;
        }
        return viewer;
    }

    // What the client area shows, as the screen would get it.
    static QImage Screen(CEditorText* viewer) {
        return viewer->GetClientWidget()->grab().toImage();
    }

    // A pixel of the screen image back in the 5-5-5 layout (red in bits 10-14).
    static uint16_t Pixel(const QImage& screen, int x, int y) {
        QColor c = screen.pixelColor(x, y);
        return static_cast<uint16_t>((c.red() >> 3) << 10 | (c.green() >> 3) << 5 | c.blue() >> 3);
    }
};

TEST_F(EditorTextTest, PaletteColoursReachTheWindowConverted) {
    // Field colours keep red in the low bits; bit 15 is dropped, and a colour of 0 is
    // drawn black, not left transparent.
    const uint16_t colours[] = {0x001F, 0x7C00, 0x03E0, 0x8000, 0x1234, 0xFFFF};
    const uint16_t pixels[] = {0x7C00, 0x001F, 0x03E0, 0x0000, 0x5224, 0x7FFF};
    FieldBuilder field(64, 32);
    field.SetColour(0, 9, 0x03E0).FillTexels(0, 16, 0, 16, 16, 9);
    for (int i = 0; i < 6; ++i) {
        field.SetColour(0, i + 1, colours[i]).SetTexel(0, i, 0, static_cast<uint8_t>(i + 1));
    }
    field.AddTile(1, TileAt(-32, -16));
    FieldTileSpec under = TileAt(-32, -16);  // green everywhere, under the colour tile
    under.srcX = 16;
    field.AddTile(1, under);
    field.AddTile(1, TileAt(-32, -16));
    CEditorText* viewer = Show(field.Build());
    ASSERT_NE(viewer, nullptr);

    QImage screen = Screen(viewer);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(Pixel(screen, i, 0), pixels[i]) << "colour " << std::hex << colours[i];
    }
    EXPECT_EQ(Pixel(screen, 6, 0), 0x03E0);   // index 0: the green beneath shows
    EXPECT_EQ(Pixel(screen, 16, 0), 0x0000);  // nothing drawn: black
}

TEST_F(EditorTextTest, ListsDrawInOrderSkippedTilesLeaveNoTraceAndZeroIsTransparent) {
    FieldBuilder field(32, 16);
    field.SetColour(0, 1, 0x001F).SetColour(0, 2, 0x03E0).SetColour(0, 3, 0x7C00);
    field.FillTexels(0, 0, 0, 16, 16, 1);   // page square 0: red
    field.FillTexels(0, 16, 0, 8, 16, 2);   // square 1: green left half, transparent right
    field.FillTexels(0, 32, 0, 16, 16, 3);  // square 2: blue
    FieldTileSpec red = TileAt(-16, -8), green = TileAt(-16, -8), blue = TileAt(0, -8);
    green.srcX = 16;
    blue.srcX = 32;
    FieldTileSpec skipped = TileAt(-16, -8);
    skipped.srcX = 32;
    skipped.skip = 0x8000;
    // The second list is drawn after the whole first one, even when given first here.
    field.AddTile(2, green).AddTile(2, skipped);
    field.AddTile(1, red).AddTile(1, blue).AddTile(1, red);
    CEditorText* viewer = Show(field.Build());
    ASSERT_NE(viewer, nullptr);

    // Smaller than a usable frame: the window keeps its title bar whole, the image at the
    // corner of a larger client area.
    EXPECT_GE(viewer->width(), CImageFrame::UsableFrameSize().width());
    QImage screen = Screen(viewer);
    EXPECT_EQ(Pixel(screen, 0, 0), 0x03E0);  // the second list's green over red
    EXPECT_EQ(Pixel(screen, 7, 15), 0x03E0);
    EXPECT_EQ(Pixel(screen, 8, 0), 0x7C00);  // its transparent half shows the red
    EXPECT_EQ(Pixel(screen, 15, 15), 0x7C00);
    EXPECT_EQ(Pixel(screen, 16, 0), 0x001F);  // the blue tile to the right
    EXPECT_EQ(Pixel(screen, 31, 15), 0x001F);
}

TEST_F(EditorTextTest, TilesLandAtTheCornersAndTheCentreOfAnOddSizedImage) {
    // 49 x 41: the halves are 24 and 20, and each row is padded to 100 bytes.
    FieldBuilder field(49, 41);
    const uint16_t colours[] = {0x001F, 0x03E0, 0x7C00, 0x7FFF, 0x2108};
    for (int i = 0; i < 5; ++i) {
        field.SetColour(0, i + 1, colours[i]).FillTexels(0, 16 * i, 0, 16, 16, uint8_t(i + 1));
    }
    const QPoint tiles[] = {{-24, -20}, {9, -20}, {-24, 5}, {9, 5}, {0, 0}};
    for (int i = 0; i < 5; ++i) {
        FieldTileSpec tile = TileAt(tiles[i].x(), tiles[i].y());
        tile.srcX = static_cast<int16_t>(16 * i);
        field.AddTile(i < 4 ? 1 : 2, tile);
    }
    CEditorText* viewer = Show(field.Build());
    ASSERT_NE(viewer, nullptr);
    ASSERT_EQ(viewer->GetClientWidget()->size(), QSize(49, 41));

    QImage screen = Screen(viewer);
    EXPECT_EQ(Pixel(screen, 0, 0), 0x7C00);
    EXPECT_EQ(Pixel(screen, 48, 0), 0x03E0);
    EXPECT_EQ(Pixel(screen, 0, 40), 0x001F);
    EXPECT_EQ(Pixel(screen, 48, 40), 0x7FFF);
    EXPECT_EQ(Pixel(screen, 16, 16), 0x0000);  // between the corner tiles: black
    EXPECT_EQ(Pixel(screen, 32, 0), 0x0000);
    EXPECT_EQ(Pixel(screen, 24, 20), 0x2108);  // dstX = dstY = 0: the centre
    EXPECT_EQ(Pixel(screen, 23, 19), 0x0000);
    EXPECT_EQ(Pixel(screen, 32, 24), 0x2108);  // the centre tile covers the corner one
}

TEST_F(EditorTextTest, ClientAreaIsExactlyTheBackgroundAndTheWindowStaysPut) {
    FieldBuilder field(300, 200);
    field.SetColour(0, 1, 0x7FFF).FillTexels(0, 0, 0, 16, 16, 1).AddTile(1, TileAt(134, 84));
    Bytes file = field.Build();
    CEditorText* viewer = NewViewer();
    ASSERT_NE(viewer, nullptr);
    viewer->move(7, 5);
    ASSERT_TRUE(viewer->LoadEntryData(file.data(), static_cast<uint32_t>(file.size())));

    EXPECT_EQ(viewer->GetClientWidget()->size(), QSize(300, 200));
    EXPECT_EQ(viewer->pos(), QPoint(7, 5));
    EXPECT_EQ(viewer->GetImage().size(), QSize(300, 200));
    QImage screen = Screen(viewer);
    EXPECT_EQ(Pixel(screen, 299, 199), 0x7FFF);  // the image fills the client area
    EXPECT_EQ(Pixel(screen, 0, 0), 0x0000);

    // Enlarged, the area beyond the image shows the window's light gray.
    viewer->resize(viewer->size() + QSize(40, 30));
    screen = Screen(viewer);
    ASSERT_EQ(screen.size(), QSize(340, 230));
    EXPECT_EQ(screen.pixelColor(299, 199), QColor(255, 255, 255));
    EXPECT_EQ(screen.pixelColor(320, 100), kLightGray);
    EXPECT_EQ(screen.pixelColor(100, 220), kLightGray);
}

TEST_F(EditorTextTest, AmongMaximizedWindowsItOpensMaximizedAndRestoresToTheBackground) {
    // A window opened while the active one is maximized comes up maximized: it shows the
    // image at the top-left corner and gray beyond, and takes the background's size
    // when restored.
    FieldBuilder field(120, 80);
    field.SetColour(0, 1, 0x7FFF).FillTexels(0, 0, 0, 16, 16, 1).AddTile(1, TileAt(44, 24));
    CChildFrame* first = Frame()->CreateNewChild("CChildFrame");
    ASSERT_NE(first, nullptr);
    first->showMaximized();
    Settle();
    CEditorText* viewer = Show(field.Build());
    ASSERT_NE(viewer, nullptr);
    Settle();

    EXPECT_TRUE(viewer->isMaximized());
    EXPECT_EQ(viewer->size(), Frame()->GetMdiArea()->viewport()->size());
    QImage screen = Screen(viewer);
    ASSERT_GT(screen.width(), 120);
    ASSERT_GT(screen.height(), 80);
    EXPECT_EQ(Pixel(screen, 119, 79), 0x7FFF);
    EXPECT_EQ(screen.pixelColor(120, 40), kLightGray);

    viewer->showNormal();
    Settle();
    EXPECT_EQ(viewer->GetClientWidget()->size(), QSize(120, 80));
}

TEST_F(EditorTextTest, PaintBeforeLoadingShowsOnlyTheBackground) {
    CEditorText* viewer = NewViewer();
    ASSERT_NE(viewer, nullptr);
    QImage screen = Screen(viewer);
    ASSERT_FALSE(screen.isNull());
    EXPECT_EQ(screen.pixelColor(0, 0), kLightGray);
    EXPECT_EQ(screen.pixelColor(screen.width() / 2, screen.height() / 2), kLightGray);
    EXPECT_TRUE(viewer->GetImage().isNull());
}

TEST_F(EditorTextTest, WideBackgroundWithinTheLimitStillShows) {
    FieldBuilder field(40000, 16);
    field.SetColour(0, 1, 0x001F).FillTexels(0, 0, 0, 16, 16, 1).AddTile(1, TileAt(19984, -8));
    CEditorText* viewer = Show(field.Build());
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->GetImage().pixel(39999, 15), QColor(255, 0, 0).rgb());
    // Far wider than the area: the window fits it, the background shown scaled down, and
    // its right end a scroll away.
    const QSize area = Frame()->GetMdiArea()->viewport()->size();
    EXPECT_LE(viewer->width(), area.width());
    EXPECT_LE(viewer->height(), area.height());
    EXPECT_LT(viewer->GetZoom(), 1.0);
    QScrollBar* bar = viewer->GetScrollArea()->horizontalScrollBar();
    bar->setValue(bar->maximum());
    const QImage shown = viewer->GetScrollArea()->viewport()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(shown.width() - 1, 0), QColor(255, 0, 0));
}

TEST_F(EditorTextTest, FilesItCannotShowGiveTheErrorBoxAndCloseTheWindow) {
    FieldBuilder good(64, 32);
    good.SetColour(0, 1, 0x001F).FillTexels(0, 0, 240, 16, 16, 1);
    FieldTileSpec low = TileAt(0, 0);
    low.srcY = 240;
    good.AddTile(1, low);
    FieldLayout layout;
    const Bytes file = good.Build(&layout);
    const Bytes someBytes{1, 2, 3};
    struct Case {
        const char* what;
        const unsigned char* data;
        uint32_t size;
    };
    const Bytes hostile[] = {
        Bytes{9, 0},
        FieldWithSectionCount(file, 8),
        FieldWithSectionCount(file, 17),
        FieldWithSectionCount(file, -1),
        FieldWithSectionOffset(file, 8, 0xFFFFFFF0u),         // background past the end
        FieldTruncated(file, layout.tiles1 + 30),             // cut inside the tile list
        FieldTruncated(file, layout.TexelOffset(0, 0, 250)),  // texels cut short
        FieldBuilder(65535, 65535).Build(),                   // image too large
    };
    std::vector<Case> cases{{"null", nullptr, 0}, {"no bytes", someBytes.data(), 0}};
    for (const Bytes& bytes : hostile) {
        cases.push_back({"hostile", bytes.data(), static_cast<uint32_t>(bytes.size())});
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(testing::Message() << cases[i].what << " case " << i);
        prompts.messages.clear();
        QPointer<CEditorText> viewer = NewViewer();
        ASSERT_TRUE(viewer);
        EXPECT_FALSE(viewer->LoadEntryData(cases[i].data, cases[i].size));
        ASSERT_EQ(prompts.messages.size(), 1u);
        const platform::MessageRequest& box = prompts.messages[0];
        EXPECT_EQ(box.text, "Error");
        EXPECT_EQ(box.caption, "");  // the program's name
        EXPECT_EQ(box.buttons, platform::MessageButtons::Ok);
        EXPECT_EQ(box.icon, platform::MessageIcon::None);
        EXPECT_EQ(box.owner, viewer.data());
        Settle();
        EXPECT_TRUE(viewer.isNull());  // the frame is gone
        EXPECT_TRUE(Frame()->GetChildFrames().empty());
    }
    EXPECT_NE(Show(file), nullptr);  // the file they were all made from shows
}

}  // namespace
}  // namespace lumo::test
