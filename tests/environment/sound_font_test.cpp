// SPDX-License-Identifier: MIT
// Which SoundFont plays the music, in a folder standing in for the system's.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "environment/sound_font.h"

namespace fs = std::filesystem;

TEST(SoundFont, TheChosenOneThenTheBestInstalledThenAReason) {
    const fs::path root = fs::path(testing::TempDir()) / "lumo-sf2";
    fs::remove_all(root);
    fs::create_directories(root / "usr/share/sounds/sf2");
    auto put = [&](const char* name, const char* bytes) {
        std::ofstream(root / "usr/share/sounds/sf2" / name) << bytes;
    };
    std::string error;
    EXPECT_EQ(FindSoundFont("", &error, root.string()), "");
    EXPECT_NE(error.find("timgm6mb-soundfont"), std::string::npos);
    put("TimGM6mb.sf2", "RIFF");
    put("FluidR3_GM.sf2", "");  // empty: not a usable file
    // Compared as paths: Windows joins them with either separator.
    auto path = [](const fs::path& p) { return p.lexically_normal().generic_string(); };
    const fs::path small = root / "usr/share/sounds/sf2/TimGM6mb.sf2";
    EXPECT_EQ(path(FindSoundFont("", &error, root.string())), path(small));
    put("FluidR3_GM.sf2", "RIFF");
    EXPECT_EQ(path(FindSoundFont("", &error, root.string())),
              path(root / "usr/share/sounds/sf2/FluidR3_GM.sf2"));
    EXPECT_EQ(path(FindSoundFont(small.string(), &error, root.string())), path(small));
    EXPECT_EQ(FindSoundFont((root / "mine.sf2").string(), &error, root.string()), "");
    EXPECT_NE(error.find("mine.sf2"), std::string::npos);
    fs::remove_all(root);
}
