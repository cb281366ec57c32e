// SPDX-License-Identifier: MIT
// The modules the viewers load when first needed: found in the build tree, and a clear
// reason, never a crash, when one is missing.
#include <gtest/gtest.h>

#include "viewers/audio_output.h"
#include "viewers/model_view.h"
#include "viewers/music_player.h"
#include "viewers/viewer_modules.h"

namespace {

TEST(ViewerModulesTest, TheAudioOutputLoadsAndTellsWhetherThereIsADevice) {
    QString error;
    const AudioOutputModule* output = LoadAudioOutput(&error);
    ASSERT_NE(output, nullptr) << error.toStdString();
    const AudioDevice device = output->check(44100, 2);
    EXPECT_TRUE(device == AudioDevice::Ready || device == AudioDevice::Missing ||
                device == AudioDevice::FormatRefused);
}

TEST(ViewerModulesTest, AMissingModuleSaysWhichAndWhy) {
    SetViewerModuleFolderForTests(QStringLiteral("/nonexistent/lumo-modules"));
    QString viewError;
    QString audioError;
    EXPECT_EQ(CreateModelView(&viewError), nullptr);
    EXPECT_EQ(LoadAudioOutput(&audioError), nullptr);
    // A player without its output says so and does not play.
    CMusicPlayer player({}, MidiInfo{});
    player.Play();
    EXPECT_FALSE(player.IsPlaying());
    EXPECT_TRUE(player.Problem().contains(QLatin1String("lumo-audio-output")));
    SetViewerModuleFolderForTests(QString());
    EXPECT_TRUE(viewError.contains(QLatin1String("lumo-model-view"))) << viewError.toStdString();
    EXPECT_TRUE(audioError.contains(QLatin1String("lumo-audio-output")))
        << audioError.toStdString();
}

}  // namespace
