// SPDX-License-Identifier: MIT
// Index rows dragged out: the entries are written through the extraction engine and the
// drag carries their files; refused entries are told once the drag has ended.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <memory>

#include "tests/commands/open_fixture.h"
#include "viewers/child_frame.h"

namespace lumo::test {
namespace {

using DragOutTest = IndexCommandTest;

TEST_F(DragOutTest, RowsLandAsFilesAndRefusalsAreToldAfterTheDrag) {
    Open("drag.lgp", LgpWriter()
                         .AddText("one.txt", "first")
                         .AddText("../up.txt", "no")
                         .AddText("two.txt", "second"));
    List().SelectRows({0, 1, 2});
    std::unique_ptr<QMimeData> data(List().MakeDragData());
    ASSERT_NE(data, nullptr);
    const QList<QUrl> urls = data->urls();
    ASSERT_EQ(urls.size(), 2);  // the name that is not a plain file name is refused
    EXPECT_TRUE(urls[0].toLocalFile().endsWith("/one.txt"));
    EXPECT_EQ(ReadFile(urls[0].toLocalFile().toStdString()), Bytes({'f', 'i', 'r', 's', 't'}));
    EXPECT_TRUE(urls[1].toLocalFile().endsWith("/two.txt"));
    EXPECT_TRUE(prompts.messages.empty());  // not while the pointer is still dragging

    emit List().dragEnded();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text.rfind("Failed to extract file ../up.txt: ", 0), 0u);

    // A second drag writes into a folder of its own.
    List().SelectRows({0});
    std::unique_ptr<QMimeData> again(List().MakeDragData());
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again->urls().at(0), urls[0]);
}

// On Lumo's own workspace the rows open in viewers: the files they carry are no archives.
TEST_F(DragOutTest, RowsDroppedOnTheWorkspaceOpenInViewers) {
    const std::string path =
        Open("drop.lgp", LgpWriter().AddText("one.txt", "first").AddText("two.txt", "second"));
    for (const std::vector<int>& rows : {std::vector<int>{0}, std::vector<int>{0, 1}}) {
        for (CChildFrame* child : Frame()->GetChildFrames()) {
            child->CloseFrame();
        }
        List().SelectRows(rows);
        std::unique_ptr<QMimeData> data(List().MakeDragData());
        ASSERT_NE(data, nullptr);
        QDragEnterEvent enter(QPoint(400, 200), Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(Frame(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(400, 200), Qt::CopyAction, data.get(), Qt::LeftButton, {});
        QApplication::sendEvent(Frame(), &drop);
        EXPECT_EQ(Frame()->GetChildFrames().size(), rows.size());
        EXPECT_EQ(theArchive.GetArchivePath(), path);
        EXPECT_TRUE(prompts.messages.empty());
    }
}

}  // namespace
}  // namespace lumo::test
