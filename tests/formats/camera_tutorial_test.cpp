// SPDX-License-Identifier: MIT
// Camera tracks and tutorials on entries the music builder writes: a frame table only
// when the size fits, text runs decoded from the game's encoding, compressed or not.
#include <gtest/gtest.h>

#include "formats/camera.h"
#include "formats/tutorial.h"
#include "tests/support/lzss_encoder.h"
#include "tests/support/music_builder.h"

using lumo::test::Bytes;

TEST(CameraTrack, AFrameTableOnlyWhenTheSizeFitsTheLayout) {
    Bytes lyingCount = lumo::test::BuildCameraTrack(2, true);
    lyingCount[0] = 3;
    Bytes oneByteOver = lumo::test::BuildCameraTrack(2);
    oneByteOver.push_back(0);
    struct Case {
        const char* what;
        Bytes file;
        bool table;
        size_t frames, header;
    };
    const Case cases[] = {
        {"records only", lumo::test::BuildCameraTrack(3), true, 3, 0},
        {"a count leads", lumo::test::BuildCameraTrack(2, true), true, 2, 4},
        {"a count that lies", lyingCount, false, 0, 0},
        {"a byte over", oneByteOver, false, 0, 0},
        {"empty", Bytes{}, false, 0, 0},
    };
    for (const Case& c : cases) {
        CameraTrack track;
        std::string reason;
        EXPECT_EQ(ReadCameraTrack(c.file.data(), c.file.size(), track, &reason), c.table) << c.what;
        EXPECT_EQ(track.frames.size(), c.frames) << c.what;
        EXPECT_EQ(track.headerBytes, c.header) << c.what;
        EXPECT_EQ(reason.empty(), c.table) << c.what;
    }
    CameraTrack track;
    const Bytes file = lumo::test::BuildCameraTrack(3, true);
    ASSERT_TRUE(ReadCameraTrack(file.data(), file.size(), track, nullptr));
    EXPECT_EQ(track.frames[2][7], 27);
}

TEST(Tutorial, TextRunsAreDecodedBesideTheCommandsCompressedOrNot) {
    const Bytes stored = lumo::test::BuildTutorial({"Press OK.", "Hi", "Menu~"});
    for (bool compressed : {false, true}) {
        const Bytes file = compressed ? lumo::test::LzssCompressEntry(stored) : stored;
        Tutorial tutorial;
        ASSERT_TRUE(ReadTutorial(file.data(), file.size(), tutorial, nullptr));
        EXPECT_EQ(tutorial.compressed, compressed);
        EXPECT_EQ(tutorial.bytes, stored);
        ASSERT_EQ(tutorial.runs.size(), 2u) << "\"Hi\" is too short to be told from commands";
        EXPECT_EQ(tutorial.runs[0].text, "Press OK.");
        EXPECT_EQ(tutorial.runs[0].offset, 6u);
        EXPECT_EQ(tutorial.runs[0].length, 10u);
        EXPECT_EQ(tutorial.runs[1].text, "Menu~");
    }
    const Bytes coloured = {0x2B, 0xFE, 0xD2, 0x4F, 0x45, 0xFF, 0x10, 0x10};  // "K{FE D2}oe"
    const std::vector<TutorialText> runs = FindTutorialText(coloured.data(), coloured.size());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, "K{FE D2}oe");
    const Bytes unended = {0x2B, 0x4F, 0x45, 0x45};
    EXPECT_TRUE(FindTutorialText(unended.data(), unended.size()).empty());
}

TEST(Tutorial, AStreamCutInsideAnItemIsReportedAndTheStoredBytesShown) {
    // The repeat at the end is a reference; cutting its second byte cuts the item.
    Bytes file = lumo::test::LzssCompressEntry({1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6});
    file.pop_back();
    file[0] = static_cast<uint8_t>(file.size() - 4);
    Tutorial tutorial;
    std::string reason;
    EXPECT_FALSE(ReadTutorial(file.data(), file.size(), tutorial, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(tutorial.compressed);
    EXPECT_EQ(tutorial.bytes, file);
}
