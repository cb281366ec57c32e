// SPDX-License-Identifier: MIT
// Properties and Verify on a field archive the builders write: a field, textures whole
// and broken, and an entry the file cuts short.
#include <gtest/gtest.h>

#include <map>

#include "formats/entry_report.h"

#include "archive/lgp_snapshot.h"
#include "archive/lgp_soundness.h"
#include "tests/support/field_builder.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"
#include "tests/support/texture_builder.h"

namespace t = lumo::test;

namespace {

std::map<std::string, std::string> AsMap(const PropertyList& list) {
    return {list.begin(), list.end()};
}

class EntryReport : public ::testing::Test {
protected:
    void SetUp() override {
        t::FieldBuilder field(320, 240);
        field.AddTile(1, {}).AddTile(2, {}).AddTile(2, {});
        t::Bytes badStream = t::LzssEntry({0xFF, 'a'});
        badStream[0] = 200;  // the stream length runs past the entry
        t::LgpWriter lgp;
        lgp.Add("bg.dat", t::LzssCompressEntry(field.Build()))
            .Add("sky.tex", t::TextureBuilder::Paletted(4, 2, 3, 16).Build())
            .Add("bad.tex", t::TextureBuilder::Paletted(4, 2, 1, 1).SetPixel(0, 0, 5).Build())
            .Add("lies.dat", badStream)
            .Add("notes.txt", t::Bytes(40, 'x'));
        lgp.SetBareLayout(true);
        const t::Bytes file = lgp.Build();
        path_ = dir_.Write("flevel.lgp", t::Truncated(file, file.size() - 10));
        ASSERT_EQ(archive_.Load(path_.c_str()), 5);
    }
    t::TempDir dir_;
    std::string path_;
    CLgpArchive archive_;
};

}  // namespace

TEST_F(EntryReport, FieldPropertiesTellTheStreamAndTheBackground) {
    const auto p = AsMap(EntryProperties(*archive_.Snapshot(), EntryId{0}));
    EXPECT_EQ(p.at("name"), "bg.dat");
    EXPECT_EQ(p.at("type"), "field (3)");
    EXPECT_EQ(p.at("whole"), "yes");
    EXPECT_EQ(p.at("stream whole"), "yes");
    EXPECT_EQ(p.at("stream length"), std::to_string(archive_.GetEntrySize(0) - 4));
    EXPECT_EQ(p.at("background"), "320 x 240");
    EXPECT_EQ(p.at("tiles"), "1 + 2");
    EXPECT_NE(p.at("decoded size"), "0");
}

TEST_F(EntryReport, TexturePropertiesTellSizeDepthAndPalettes) {
    const auto p = AsMap(EntryProperties(*archive_.Snapshot(), EntryId{1}));
    EXPECT_EQ(p.at("type"), "texture (1)");
    EXPECT_EQ(p.at("extension"), "tex");
    EXPECT_EQ(p.at("width x height"), "4 x 2");
    EXPECT_EQ(p.at("bit depth"), "8");
    EXPECT_EQ(p.at("palettes"), "3 of 16 colours");
    EXPECT_EQ(p.at("texture"), "decodes");
    EXPECT_EQ(AsMap(EntryProperties(*archive_.Snapshot(), EntryId{4})).at("whole"),
              "no: cut short");
}

// Codes without a row are "other"; what renders is said from the table, not a list.
TEST(EntryKinds, UnknownCodesAreOtherAndRenderingKindsAreNamedFromTheTable) {
    EXPECT_STREQ(KindOf(LGP_TYPE_TEX).name, "texture");
    EXPECT_STREQ(KindOf(200).name, "other");
    EXPECT_EQ(KindsWithOutput("png"), "field or texture");
    EXPECT_EQ(FindOutput(KindOf(LGP_TYPE_TXT), "png"), nullptr);
}

TEST_F(EntryReport, ArchivePropertiesCountEntriesAndBytesPerType) {
    const auto p = AsMap(ArchiveProperties(*archive_.Snapshot()));
    EXPECT_EQ(p.at("path"), path_);
    EXPECT_EQ(p.at("entries"), "5");
    EXPECT_EQ(
        p.at("texture entries"),
        "2 (" + std::to_string(archive_.GetEntrySize(1) + archive_.GetEntrySize(2)) + " bytes)");
}

TEST_F(EntryReport, VerifyListsEachBrokenEntryAndStopsWhenCancelled) {
    bool cancelled = true;
    std::vector<EntryFault> faults = VerifyArchive(*archive_.Snapshot(), {}, &cancelled);
    EXPECT_FALSE(cancelled);
    // A bare archive has no lookup table: the game's rules come first, then the entries.
    const size_t unsound = CheckSoundArchive(archive_).size();
    ASSERT_GE(faults.size(), unsound);
    faults.erase(faults.begin(), faults.begin() + static_cast<std::ptrdiff_t>(unsound));
    ASSERT_EQ(faults.size(), 3u);
    EXPECT_EQ(faults[0].index, 2);
    EXPECT_EQ(faults[0].problem, "texture: a pixel names a palette entry that is not stored");
    EXPECT_EQ(faults[1].index, 3);
    EXPECT_EQ(faults[2].index, 4);
    EXPECT_EQ(faults[2].problem, "cut short");
    EXPECT_EQ(faults[0].code, RunReason::CannotDecode);
    EXPECT_EQ(faults[2].code, RunReason::CutShort);

    int calls = 0;
    RunHooks stopAtThree;
    stopAtThree.progress = [&calls](size_t done, size_t total, EntryId) {
        EXPECT_EQ(total, 5);
        ++calls;
        return done < 3;
    };
    EXPECT_EQ(VerifyArchive(*archive_.Snapshot(), stopAtThree, &cancelled).size(), unsound + 1);
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(calls, 4);
}
