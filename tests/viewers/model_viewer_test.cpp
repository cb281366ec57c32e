// SPDX-License-Identifier: MIT
// The model viewer on a real display (Xvfb): the model is drawn where the camera looks,
// animations that fit are offered and step, an animation opens on its skeleton, the
// model exports, and a model it cannot put together is reported.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPointer>

#include <QTest>

#include "app/main_frame.h"
#include "archive/lgp_archive.h"
#include "archive/lgp_snapshot.h"
#include "res/resource.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/model_builder.h"
#include "tests/support/qt/shell_test_support.h"
#include "viewers/model_view.h"
#include "viewers/model_viewer.h"
#include "viewers/viewer_modules.h"

namespace lumo::test {
namespace {

class ModelViewerTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        LgpWriter writer;
        for (const auto& [name, bytes] : DemoModelEntries(2, 6)) {
            writer.Add(name, bytes);
        }
        writer.Add("broken.hrc", Bytes{'x'});
        ASSERT_GT(m_archive.Load(m_dir.Write("char.lgp", writer.Build()).c_str()), 0);
    }

    // Null once the window has gone (one that cannot show its entry closes itself).
    QPointer<CModelViewer> Open(const char* name) {
        QPointer<CModelViewer> viewer =
            qobject_cast<CModelViewer*>(Frame()->CreateNewChild("CModelViewer"));
        EXPECT_FALSE(viewer.isNull());
        viewer->setWindowTitle(name);
        const EntrySourcePtr source = m_archive.Snapshot();
        viewer->LoadEntryFrom(source, source->Find(name));
        Settle();
        return viewer;
    }

    TempDir m_dir;
    CLgpArchive m_archive;
};

TEST_F(ModelViewerTest, DrawsTheModelWhereTheCameraLooks) {
    CModelViewer* viewer = Open("demo.hrc");
    if (!HostHasOpenGL()) {
        GTEST_SKIP() << "no OpenGL on this display";
    }
    ASSERT_NE(viewer->GetView(), nullptr);
    QTest::qWait(50);
    const QImage frame = viewer->GrabImage();
    ASSERT_FALSE(frame.isNull());
    const QColor background = frame.pixelColor(2, 2);
    EXPECT_NE(frame.pixelColor(frame.width() / 2, frame.height() / 2), background);
    // Bones point along -z in their own space: the rest pose lies along the z axis,
    // centred where the camera looks.
    EXPECT_NEAR(viewer->GetView()->Target().x(), 0, 1e-3);
}

// Without its OpenGL module the window stays, says why, and still offers the animations.
TEST_F(ModelViewerTest, WithoutItsModuleTheWindowSaysWhy) {
    SetViewerModuleFolderForTests(m_dir.Path().c_str());
    QPointer<CModelViewer> viewer = Open("demo.hrc");
    SetViewerModuleFolderForTests(QString());
    ASSERT_FALSE(viewer.isNull());
    EXPECT_EQ(viewer->GetView(), nullptr);
    const QString shown =
        HostHasOpenGL() ? QStringLiteral("lumo-model-view") : QStringLiteral("OpenGL");
    bool said = false;
    for (const QLabel* label : viewer->findChildren<QLabel*>()) {
        said = said || label->text().contains(shown);
    }
    EXPECT_TRUE(said);
    EXPECT_EQ(viewer->AnimationNames().size(), 2u);
}

TEST_F(ModelViewerTest, OffersTheAnimationsThatFitAndSteps) {
    CModelViewer* viewer = Open("demo.hrc");
    EXPECT_EQ(viewer->AnimationNames(), (std::vector<std::string>{"demo0.a", "demo1.a"}));
    ASSERT_TRUE(viewer->SelectAnimation(1));
    EXPECT_EQ(viewer->GetFrameCount(), 6u);
    viewer->StepFrame(-1);  // loops round to the last frame
    EXPECT_EQ(viewer->GetFrame(), 5u);
    viewer->TogglePlaying();
    EXPECT_TRUE(viewer->IsPlaying());
    viewer->TogglePlaying();
    EXPECT_FALSE(viewer->IsPlaying());
}

TEST_F(ModelViewerTest, AnAnimationOpensOnItsSkeleton) {
    CModelViewer* viewer = Open("demo1.a");
    EXPECT_EQ(viewer->GetScene().skeleton.name, "DEMO");
    EXPECT_EQ(viewer->GetFrameCount(), 6u);
}

TEST_F(ModelViewerTest, ExportsTheModelWithItsAnimations) {
    CModelViewer* viewer = Open("demo.hrc");
    prompts.saveAnswers = {m_dir.File("demo.glb")};
    viewer->OnFileExportModel();
    const Bytes glb = ReadFile(m_dir.File("demo.glb"));
    ASSERT_GT(glb.size(), 20u);
    const std::string json(glb.begin() + 20, glb.end());
    EXPECT_NE(json.find("\"name\":\"demo1.a\""), std::string::npos);
}

TEST_F(ModelViewerTest, AModelItCannotAssembleIsReported) {
    CModelViewer* viewer = Open("broken.hrc");
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_NE(prompts.messages[0].text.find("the first line is not :HEADER_BLOCK"),
              std::string::npos);
    EXPECT_TRUE(viewer == nullptr || viewer->IsClosed());
}

}  // namespace
}  // namespace lumo::test
