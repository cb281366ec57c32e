// SPDX-License-Identifier: MIT
// The texture, text and hex viewers and what every image viewer does: zoom, scroll bars,
// the usable frame, copy and export. Driven on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "app/main_frame.h"
#include "formats/entry_kinds.h"
#include "formats/hex.h"
#include "res/resource.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/qt/shell_test_support.h"
#include "tests/support/texture_builder.h"
#include "viewers/hex_viewer.h"
#include "viewers/text_viewer.h"
#include "viewers/texture_viewer.h"
#include "viewers/viewer_table.h"

namespace lumo::test {
namespace {

// 40 x 30: red everywhere except a transparent (keyed) square at the top-left corner;
// palette 1 draws the same pixels blue.
Bytes RedTexture() {
    TextureBuilder b = TextureBuilder::Paletted(40, 30, 2, 2);
    b.SetColour(0, 1, Bgra{0, 0, 255, 0}).SetColour(1, 1, Bgra{255, 0, 0, 0});
    for (uint32_t y = 0; y < 30; ++y) {
        for (uint32_t x = 0; x < 40; ++x) {
            b.SetPixel(x, y, x < 8 && y < 8 ? 0 : 1);
        }
    }
    return b.SetColourKey(true).Build();
}

class ViewersTest : public ShellTest {
protected:
    template <class T>
    T* Open(const char* className, const Bytes& bytes) {
        auto* viewer = qobject_cast<T*>(Frame()->CreateNewChild(className));
        EXPECT_NE(viewer, nullptr);
        viewer->setWindowTitle("sky.tex");
        viewer->LoadEntryData(bytes.data(), static_cast<uint32_t>(bytes.size()));
        Settle();
        return viewer;
    }
    static QImage Screen(CChildFrame* viewer) {
        return viewer->GetClientWidget()->grab().toImage();
    }
};

// Each kind names its viewer by id; a row naming one that does not exist would open hex.
TEST(ViewerTable, EveryKindOpensInTheViewerItNames) {
    for (const EntryKind& kind : EntryKinds()) {
        EXPECT_STREQ(ViewerFor(kind.type).id, kind.viewer) << kind.name;
    }
    EXPECT_EQ(ViewerFor(LGP_TYPE_FIELD).kind, ViewerKind::Background);
    EXPECT_EQ(ViewerFor(200).kind, ViewerKind::Hex);  // a code without a row
    // Names pick a viewer only where the type code says nothing.
    EXPECT_EQ(ViewerForName(LGP_TYPE_OTHER, "demb.rsd")->kind, ViewerKind::Model);
    EXPECT_EQ(ViewerForName(LGP_TYPE_OTHER, "rtaa")->kind, ViewerKind::Model);
    EXPECT_EQ(ViewerForName(LGP_TYPE_OTHER, "rtac")->kind, ViewerKind::Texture);
    EXPECT_EQ(ViewerForName(LGP_TYPE_OTHER, "readme"), nullptr);
    EXPECT_EQ(ViewerForName(LGP_TYPE_TXT, "rtaa"), nullptr);
}

TEST_F(ViewersTest, TextureShowsAtRealSizeOnACheckerboardWithAPaletteChooser) {
    auto* viewer = Open<CTextureViewer>("CTextureViewer", RedTexture());
    const QImage screen = Screen(viewer);
    const int top = screen.height() - 30;  // the palette bar sits above the image
    EXPECT_EQ(viewer->GetScrollArea()->viewport()->height(), 30);
    // The window is as wide as the chooser's bar needs, wider than the image.
    const QWidget* bar = viewer->GetPaletteChooser()->parentWidget();
    EXPECT_GE(bar->width(), bar->minimumSizeHint().width());
    EXPECT_EQ(screen.pixelColor(39, top + 29), QColor(255, 0, 0));
    EXPECT_EQ(screen.pixelColor(0, top), QColor(255, 255, 255));  // checkerboard, light
    EXPECT_EQ(screen.pixelColor(0, top + 8), QColor(255, 0, 0));  // image again
    ASSERT_NE(viewer->GetPaletteChooser(), nullptr);
    EXPECT_EQ(viewer->GetPaletteChooser()->count(), 2);
    ASSERT_TRUE(viewer->SetPalette(1));
    EXPECT_EQ(Screen(viewer).pixelColor(39, top + 29), QColor(0, 0, 255));
    EXPECT_EQ(viewer->GetPaletteChooser()->currentIndex(), 1);
}

TEST_F(ViewersTest, TextureItCannotDecodeSaysWhyOnceAndCloses) {
    Bytes file = RedTexture();
    file.resize(file.size() - 1);
    auto* viewer = qobject_cast<CChildFrame*>(Frame()->CreateNewChild("CTextureViewer"));
    EXPECT_FALSE(viewer->LoadEntryData(file.data(), static_cast<uint32_t>(file.size())));
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text,
              "Cannot show the texture: the pixels run past the end of the data.");
    Settle();
    EXPECT_TRUE(Frame()->GetChildFrames().empty());
}

TEST_F(ViewersTest, ZoomScrollsWhenLargerAndActualSizeAndFitComeBack) {
    TextureBuilder b = TextureBuilder::Paletted(300, 200, 1, 2);
    b.SetColour(0, 1, Bgra{0, 255, 0, 0}).SetPixel(299, 199, 1);
    auto* viewer = Open<CTextureViewer>("CTextureViewer", b.Build());
    QScrollArea* area = viewer->GetScrollArea();
    EXPECT_FALSE(area->verticalScrollBar()->isVisible());
    PressKeys(Frame(), QKeySequence(Qt::CTRL | Qt::Key_Equal));
    Settle();
    EXPECT_EQ(viewer->GetZoom(), 2.0);
    EXPECT_TRUE(area->verticalScrollBar()->isVisible());
    EXPECT_TRUE(area->horizontalScrollBar()->isVisible());
    area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
    area->horizontalScrollBar()->setValue(area->horizontalScrollBar()->maximum());
    const QImage screen = area->viewport()->grab().toImage();
    EXPECT_EQ(screen.pixelColor(screen.width() - 1, screen.height() - 1), QColor(0, 255, 0));
    PressKeys(Frame(), QKeySequence(Qt::CTRL | Qt::Key_Minus));
    PressKeys(Frame(), QKeySequence(Qt::CTRL | Qt::Key_Minus));
    EXPECT_EQ(viewer->GetZoom(), 0.5);
    PressKeys(Frame(), QKeySequence(Qt::CTRL | Qt::Key_0));
    EXPECT_EQ(viewer->GetZoom(), 1.0);
    viewer->resize(viewer->size() + QSize(300, 0));
    Settle();
    Frame()->SendCommand(ID_VIEW_ZOOM_FIT);
    EXPECT_NEAR(viewer->GetZoom(), 1.0, 0.01);  // the height limits it
}

TEST_F(ViewersTest, ImagesLargerThanTheAreaOpenScaledToFitWithTheZoomShown) {
    const QSize area = Frame()->GetMdiArea()->viewport()->size();
    const QSize sizes[] = {{area.width() * 2, 50}, {60, area.height() * 4}, area * 3};
    for (const QSize& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        TextureBuilder b = TextureBuilder::Paletted(size.width(), size.height(), 1, 1);
        b.SetColour(0, 0, Bgra{0, 255, 0, 0});  // green all over
        auto* viewer = Open<CTextureViewer>("CTextureViewer", b.Build());
        QScrollArea* scroll = viewer->GetScrollArea();
        EXPECT_LE(viewer->width(), area.width());
        EXPECT_LE(viewer->height(), area.height());
        EXPECT_LT(viewer->GetZoom(), 1.0);
        EXPECT_NE(viewer->GetZoomText(), "");
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());  // it fits
        EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
        const QImage fit = scroll->viewport()->grab().toImage();
        const QSize shown(int(size.width() * viewer->GetZoom() + 0.5),
                          int(size.height() * viewer->GetZoom() + 0.5));
        EXPECT_EQ(fit.pixelColor(shown.width() - 1, shown.height() - 1), QColor(0, 255, 0));
        PressKeys(Frame(), QKeySequence(Qt::CTRL | Qt::Key_0));
        Settle();
        EXPECT_EQ(viewer->GetZoomText(), "");
        EXPECT_TRUE(scroll->horizontalScrollBar()->isVisible() ||
                    scroll->verticalScrollBar()->isVisible());
        viewer->close();
        Settle();
    }
}

TEST_F(ViewersTest, CtrlWheelZoomsAboutThePointUnderTheCursor) {
    TextureBuilder b = TextureBuilder::Paletted(300, 200, 1, 2);
    auto* viewer = Open<CTextureViewer>("CTextureViewer", b.Build());
    QWidget* viewport = viewer->GetScrollArea()->viewport();
    // To the widget under the pointer, the image, from which the event travels up.
    const auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers, QPoint at) {
        QWidget* under = viewport->childAt(at);
        ASSERT_NE(under, nullptr);
        QWheelEvent event(under->mapFrom(viewport, at), viewport->mapToGlobal(at), QPoint(),
                          QPoint(0, delta), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(under, &event);
        Settle();
    };
    wheel(120, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(viewer->GetZoom(), 1.0);  // a plain wheel scrolls, if anything
    const QPoint at(150, 100);
    wheel(120, Qt::ControlModifier, at);
    EXPECT_EQ(viewer->GetZoom(), 2.0);
    EXPECT_EQ(viewer->GetZoomText(), "200 %");
    QScrollArea* scroll = viewer->GetScrollArea();  // the point stays under the pointer
    EXPECT_NEAR(150 * 2 - scroll->horizontalScrollBar()->value(), at.x(), 1);
    EXPECT_NEAR(100 * 2 - scroll->verticalScrollBar()->value(), at.y(), 1);
    wheel(-120, Qt::ControlModifier, at);
    wheel(-120, Qt::ControlModifier, at);
    EXPECT_EQ(viewer->GetZoom(), 0.5);
    EXPECT_EQ(viewer->GetZoomText(), "50 %");
}

TEST_F(ViewersTest, TinyImagesGetAUsableFrameWithTheImageAtTheCorner) {
    TextureBuilder b = TextureBuilder::Paletted(16, 16, 1, 2);
    b.SetColour(0, 1, Bgra{0, 0, 255, 0}).SetPixel(15, 15, 1);
    auto* viewer = Open<CTextureViewer>("CTextureViewer", b.Build());
    EXPECT_GE(viewer->width(), CImageFrame::UsableFrameSize().width());
    EXPECT_GE(viewer->height(), CImageFrame::UsableFrameSize().height());
    EXPECT_EQ(Screen(viewer).pixelColor(15, 15), QColor(255, 0, 0));
    viewer->resize(20, 20);
    EXPECT_GE(viewer->width(), CImageFrame::UsableFrameSize().width());
}

TEST_F(ViewersTest, CopyPutsTheImageOnTheClipboardAndExportWritesAPng) {
    auto* viewer = Open<CTextureViewer>("CTextureViewer", RedTexture());
    viewer->setFocus();
    Frame()->SendCommand(ID_EDIT_COPY);
    const QImage copied = QApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(40, 30));
    EXPECT_EQ(copied.pixelColor(10, 10), QColor(255, 0, 0));
    EXPECT_EQ(copied.pixelColor(0, 0).alpha(), 0);

    TempDir dir;
    prompts.saveAnswers.push_back(dir.File("out.png"));
    Frame()->SendCommand(ID_FILE_EXPORT_IMAGE);
    ASSERT_EQ(prompts.saveRequests.size(), 1u);
    EXPECT_EQ(prompts.saveRequests[0].fileName, "sky.png");
    QImage written(QString::fromStdString(dir.File("out.png")));
    ASSERT_EQ(written.size(), QSize(40, 30));
    EXPECT_EQ(written.pixelColor(10, 10), QColor(255, 0, 0));
    EXPECT_EQ(written.pixelColor(0, 0).alpha(), 0);
}

TEST_F(ViewersTest, TextShowsLatin1LinesOfEitherEndingAndFinds) {
    const std::string text = "first\r\nsecond caf\xE9\rthird\nFourth second";
    auto* viewer = Open<CTextViewer>("CTextViewer", Bytes(text.begin(), text.end()));
    QPlainTextEdit* edit = viewer->GetEditor();
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_EQ(edit->toPlainText(), QString("first\nsecond caf\u00E9\nthird\nFourth second"));
    ASSERT_TRUE(viewer->FindNext("SECOND"));
    EXPECT_EQ(edit->textCursor().blockNumber(), 1);
    ASSERT_TRUE(viewer->FindNext("second"));
    EXPECT_EQ(edit->textCursor().blockNumber(), 3);
    ASSERT_TRUE(viewer->FindNext("second"));  // wrapped round
    EXPECT_EQ(edit->textCursor().blockNumber(), 1);
    EXPECT_FALSE(viewer->FindNext("absent"));

    // Edit > Find asks, offering the last search; a miss is said, a cancel does nothing.
    prompts.textAnswers = {std::string("third"), std::string("absent"), std::nullopt};
    for (int i = 0; i < 3; ++i) {
        Frame()->SendCommand(ID_EDIT_FIND);
    }
    EXPECT_EQ(edit->textCursor().blockNumber(), 2);
    ASSERT_EQ(prompts.textRequests.size(), 3u);
    EXPECT_EQ(prompts.textRequests[1].text, "third");
    EXPECT_EQ(prompts.textRequests[2].text, "absent");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, "Cannot find \"absent\".");
}

TEST_F(ViewersTest, HexOfALargeEntryScrollsToWhatFindFinds) {
    Bytes big(64u << 20, 0);
    const size_t at = (48u << 20) + 5;
    big[at] = 0xDE;
    big[at + 1] = 0xAD;
    auto* viewer = Open<CHexViewer>("CHexViewer", big);
    CHexView* view = viewer->GetView();
    EXPECT_EQ(view->verticalScrollBar()->maximum() + view->verticalScrollBar()->pageStep(),
              int((64u << 20) / 16));
    ASSERT_TRUE(viewer->FindNext("DE AD"));
    EXPECT_EQ(view->MarkStart(), at);
    const uint64_t line = at / 16;
    EXPECT_LE(view->FirstVisibleLine(), line);
    EXPECT_GT(view->FirstVisibleLine() + view->verticalScrollBar()->pageStep(), line);
    EXPECT_FALSE(viewer->FindNext("BE EF"));
    prompts.textAnswers = {std::string("de ad")};
    view->ShowRange(0, 1);
    Frame()->SendCommand(ID_EDIT_FIND);
    EXPECT_EQ(view->MarkStart(), at);
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(ViewersTest, HexCopiesTheLinesMarkedByTheMouseOrByFind) {
    Bytes bytes(40);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>('A' + i % 26);
    }
    auto* viewer = Open<CHexViewer>("CHexViewer", bytes);
    CHexView* view = viewer->GetView();
    view->setFocus();
    const auto copyEnabled = [this] {
        Frame()->UpdateMenuCommandUI(FindMenu(Frame()->menuBar(), {"Edit"}));
        return FindMenuAction(Frame()->menuBar(), {"Edit", "Copy"})->isEnabled();
    };
    EXPECT_FALSE(copyEnabled());
    const auto lineAt = [view](int line) { return QPoint(5, line * view->LineHeight() + 1); };
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, lineAt(1));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier, lineAt(2));
    ASSERT_TRUE(copyEnabled());
    Frame()->SendCommand(ID_EDIT_COPY);
    const std::string expected = HexLine(bytes.data(), bytes.size(), 1) + "\n" +
                                 HexLine(bytes.data(), bytes.size(), 2) + "\n";
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), expected);

    ASSERT_TRUE(viewer->FindNext("a"));  // the line Find marks
    Frame()->SendCommand(ID_EDIT_COPY);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              HexLine(bytes.data(), bytes.size(), 1) + "\n");
}

}  // namespace
}  // namespace lumo::test
