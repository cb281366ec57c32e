// SPDX-License-Identifier: MIT
// Hostile archives through the real commands: open, every sort command, open in viewers
// and extract (one and many, decompressed and stored) on archives cut short, with lying
// offsets and sizes, broken compressed streams and field files the viewer must refuse.
// Whatever the bytes, the program answers with a message or a defined result: no crash,
// no window left behind, nothing written outside the chosen folder.
#include <QApplication>
#include <QMenu>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "tests/commands/open_fixture.h"
#include "tests/support/field_builder.h"
#include "tests/support/lzss_encoder.h"
#include "viewers/child_frame.h"

namespace fs = std::filesystem;

namespace lumo::test {
namespace {

using platform::MessageAnswer;
using platform::MessageButtons;

// Answers every dialog at once: the decompression question as told, "Open N windows?"
// Yes, every other box OK.
class HostilePrompts : public platform::ScriptedPrompts {
public:
    MessageAnswer decompress = MessageAnswer::Yes;
    int errorBoxes =
        0;  // the field viewer's "Error" boxes, the texture and model viewers' refusals

    platform::MessageAnswer ShowMessage(const platform::MessageRequest& request) override {
        messages.push_back(request);
        if (request.text == "Error" || request.text.rfind("Cannot show the texture: ", 0) == 0 ||
            request.text.rfind("Cannot show the model: ", 0) == 0) {
            ++errorBoxes;
        }
        if (request.text.rfind("Open ", 0) == 0) {
            return MessageAnswer::Yes;
        }
        return request.buttons == MessageButtons::YesNo ? decompress : MessageAnswer::Ok;
    }
};

struct Hostile {
    std::string what;
    std::string fileName;
    Bytes bytes;
};

Bytes GoodField() {
    FieldBuilder field(48, 32);
    field.SetColour(0, 1, 0x001F).FillTexels(0, 0, 0, 16, 16, 1);
    FieldTileSpec tile;
    tile.dstX = -24;
    tile.dstY = -16;
    field.AddTile(1, tile);
    return field.Build();
}

// Field files the viewer cannot show, one for each way a field can be wrong.
std::vector<std::pair<std::string, Bytes>> BrokenFields() {
    FieldLayout layout;
    const Bytes good = FieldBuilder(48, 32).AddTile(1, FieldTileSpec{}).Build(&layout);
    // The builder would write every page up to a tile's own; the far tile is patched in.
    Bytes farTile = good;
    PutU16(farTile, layout.tiles1 + 32, 0x7FFF);
    PutU16(farTile, layout.tiles1 + 22, 0x8000);
    PutU16(farTile, layout.tiles1 + 10, 0x8000);
    FieldTileSpec outside;
    outside.dstX = 0x7FFF;
    outside.dstY = -0x8000;
    Bytes lyingCount1 = good;
    PutU16(lyingCount1, layout.background + 44, 0xFFFF);
    Bytes lyingCount2 = good;
    PutU16(lyingCount2, layout.count2, 0xFFFF);
    return {
        {"empty field", Bytes{}},
        {"two bytes", Bytes{9, 0}},
        {"count 8", FieldWithSectionCount(good, 8)},
        {"count 17", FieldWithSectionCount(good, 17)},
        {"count -1", FieldWithSectionCount(good, -1)},
        {"count max", FieldWithSectionCount(good, 0x7FFFFFFF)},
        {"palette past end", FieldWithSectionOffset(good, 3, 0xFFFFFFF0u)},
        {"background past end", FieldWithSectionOffset(good, 8, 0xFFFFFFFCu)},
        {"background at end", FieldWithSectionOffset(good, 8, uint32_t(good.size() - 2))},
        {"cut in tile list", FieldTruncated(good, layout.tiles1 + 30)},
        {"cut in texels", FieldTruncated(good, layout.textures + 100)},
        {"first count lies", lyingCount1},
        {"second count lies", lyingCount2},
        {"tile far away", farTile},
        {"tile outside", FieldBuilder(48, 32).AddTile(2, outside).Build()},
        {"huge image", FieldBuilder(65535, 65535).Build()},
        {"just too large", FieldBuilder(4097, 4096).Build()},
        {"empty image", FieldBuilder(0, 0).AddTile(1, FieldTileSpec{}).Build()},
    };
}

// Compressed entries whose streams are broken in every way a stream can be.
std::vector<std::pair<std::string, Bytes>> BrokenStreams() {
    const Bytes field = GoodField();
    const Bytes stream = LzssCompress(field);
    Bytes pastEnd = LzssEntry(stream);
    PutU32(pastEnd, 0, static_cast<uint32_t>(stream.size() * 3));
    Bytes allOnes = LzssEntry(stream);
    PutU32(allOnes, 0, 0xFFFFFFFFu);
    LzssStreamWriter references;
    references.Literals({1, 2, 3}).Reference(4000, 18).ZeroDistanceReference(18).Reference(1, 3);
    LzssStreamWriter cut = references;
    Bytes garbage(5000);
    for (size_t i = 0; i < garbage.size(); ++i) {
        garbage[i] = static_cast<uint8_t>(i * 7919 >> 3);
    }
    // Every item a reference of 18 bytes: the most a stream can expand.
    Bytes expanding;
    for (int group = 0; group < 4000; ++group) {
        expanding.push_back(0);
        for (int item = 0; item < 16; ++item) {
            expanding.push_back(0xFF);
        }
    }
    return {
        {"length past end", pastEnd},
        {"length all ones", allOnes},
        {"length cut off", Bytes{7, 0}},
        {"no bytes", Bytes{}},
        {"cut mid-stream", Truncated(LzssEntry(stream), stream.size() / 2)},
        {"cut inside reference", LzssEntry(cut.StreamCutInsideLastReference())},
        {"dangling flag", LzssEntry(references.StreamWithDanglingFlag(0xAA))},
        {"odd references", LzssEntry(references.Stream())},
        {"garbage", LzssEntry(garbage)},
        {"expanding", LzssEntry(expanding)},
    };
}

// A field archive with a good field, a plain entry, and one broken entry.
Hostile FieldArchiveWith(const std::string& what, const Bytes& stored) {
    LgpWriter writer;
    writer.Add("good", LzssCompressEntry(GoodField()))
        .Add("room.tex", Bytes{1, 2, 3})
        .Add("broken", stored);
    return {what, "flevel.lgp", writer.Build()};
}

std::vector<Hostile> HostileArchives() {
    std::vector<Hostile> archives;
    for (const auto& [what, field] : BrokenFields()) {
        archives.push_back(FieldArchiveWith(what, LzssCompressEntry(field)));
    }
    for (const auto& [what, stored] : BrokenStreams()) {
        archives.push_back(FieldArchiveWith(what, stored));
    }

    // Lies in the table of contents and the data headers, in a field archive and a plain
    // one.
    for (const char* fileName : {"flevel.lgp", "misc.lgp"}) {
        const auto lying = [fileName](const std::string& what, auto change) {
            LgpWriter writer;
            writer.Add("first.p", LzssCompressEntry(GoodField()))
                .Add("second", LzssCompressEntry(GoodField()))
                .AddText("third.txt", "three");
            change(writer);
            return Hostile{what + " in " + fileName, fileName, writer.Build()};
        };
        archives.push_back(lying("size 4 GiB", [](LgpWriter& w) { w.SetSizeField(1, ~0u); }));
        archives.push_back(lying("size 2 GiB", [](LgpWriter& w) { w.SetSizeField(0, 1u << 31); }));
        archives.push_back(lying("offset past end", [](LgpWriter& w) { w.SetOffset(1, ~0u - 5); }));
        archives.push_back(
            lying("offset at end", [](LgpWriter& w) { w.SetOffset(2, w.DataOffset(2) + 24 + 5); }));
        archives.push_back(lying("offset into table", [](LgpWriter& w) { w.SetOffset(0, 20); }));
        archives.push_back(lying("offset zero", [](LgpWriter& w) { w.SetOffset(1, 0); }));
        archives.push_back(lying("count too large", [](LgpWriter& w) { w.SetCountField(40); }));
        archives.push_back(lying("count too small", [](LgpWriter& w) { w.SetCountField(1); }));
        archives.push_back(
            lying("count upper bytes", [](LgpWriter& w) { w.SetCountUpperBytes(0xFFFF); }));
        archives.push_back(lying("bare", [](LgpWriter& w) { w.SetBareLayout(true); }));
        archives.push_back(lying("names", [](LgpWriter& w) {
            w.SetRawName(0, Bytes(20, 0xFF));
            w.SetRawName(1, Bytes{'.', '.', '/', 'x', 0});
            w.SetRawName(2, Bytes(20, '/'));
        }));
    }

    // A good field archive cut everywhere near its structures, and at a stride through
    // its data.
    LgpWriter whole;
    whole.Add("md1stin", LzssCompressEntry(GoodField()))
        .AddText("readme.txt", "hello")
        .Add("md1_1", LzssCompressEntry(GoodField()));
    const Bytes full = whole.Build();
    std::set<size_t> cuts;
    for (size_t at = 0; at < 60; ++at) {
        cuts.insert(at);
    }
    for (size_t entry = 0; entry < whole.EntryCount(); ++entry) {
        for (size_t at = whole.DataOffset(entry); at < whole.DataOffset(entry) + 32; ++at) {
            cuts.insert(at);
        }
    }
    for (size_t at = 60; at < full.size(); at += 97) {
        cuts.insert(at);
    }
    for (size_t at : cuts) {
        if (at < full.size()) {
            archives.push_back({"cut at " + std::to_string(at), "flevel.lgp", Truncated(full, at)});
        }
    }
    return archives;
}

// Every extracted file is synced to disk before it is renamed into place; thousands of
// them on a busy disk take a minute. The files this test writes need no disk: when
// memory-backed storage is at hand, its folders go there.
class MemoryBackedTemp {
public:
    MemoryBackedTemp() {
        const char* previous = std::getenv("TMPDIR");
        if (previous != nullptr) {
            m_previous = previous;
        }
        m_hadPrevious = previous != nullptr;
        std::error_code error;
        if (fs::is_directory("/dev/shm", error)) {
            setenv("TMPDIR", "/dev/shm", 1);
        }
    }
    ~MemoryBackedTemp() {
        if (m_hadPrevious) {
            setenv("TMPDIR", m_previous.c_str(), 1);
        } else {
            unsetenv("TMPDIR");
        }
    }

private:
    std::string m_previous;
    bool m_hadPrevious = false;
};

class HostileArchiveTest : public IndexCommandTest {
protected:
    void SetUp() override {
        IndexCommandTest::SetUp();
        m_scoped = std::make_unique<platform::ScopedPrompts>(hostile);
    }
    void TearDown() override {
        m_scoped.reset();
        IndexCommandTest::TearDown();
    }

    MemoryBackedTemp memoryBacked;

    // Each selected row opens a window, or the viewer's refusal that closes it again.
    void OpenEveryRow(int rows) {
        std::vector<int> all(static_cast<size_t>(rows));
        for (int row = 0; row < rows; ++row) {
            all[static_cast<size_t>(row)] = row;
        }
        List().SelectRows(all);
        hostile.errorBoxes = 0;
        Frame()->SendCommand(ID_ITEM_OPEN);
        Settle();
        EXPECT_EQ(Frame()->GetChildFrames().size() + static_cast<size_t>(hostile.errorBoxes),
                  static_cast<size_t>(rows));
        for (CChildFrame* child : Frame()->GetChildFrames()) {
            child->CloseFrame();
        }
        Settle();
        EXPECT_TRUE(Frame()->GetChildFrames().empty());
    }

    // Extracts every row into a fresh folder, then each row alone; only plain names
    // may appear, and only there.
    void ExtractEveryRow(int rows) {
        TempDir out;
        const std::string inner = out.File("inner");
        fs::create_directory(inner);
        std::vector<int> all;
        for (int row = 0; row < rows; ++row) {
            all.push_back(row);
        }
        for (MessageAnswer answer : {MessageAnswer::Yes, MessageAnswer::No}) {
            hostile.decompress = answer;
            if (rows >= 2) {
                List().SelectRows(all);
                hostile.folderAnswers.push_back(inner);
                Frame()->SendCommand(ID_ITEM_EXTRACT);
            }
            for (int row = 0; row < rows; ++row) {
                List().SelectRows({row});
                List().SetSelectionMark(row);
                hostile.saveAnswers.push_back(inner + "/single");
                Frame()->SendCommand(ID_ITEM_EXTRACT);
                hostile.saveAnswers.clear();
            }
        }
        std::set<std::string> allowed{"single"};
        for (int row = 0; row < rows; ++row) {
            allowed.insert(List().GetModel()->Row(row).name.toStdString());
        }
        for (const auto& item : fs::directory_iterator(inner)) {
            const std::string name = item.path().filename().string();
            EXPECT_TRUE(allowed.count(name)) << "unexpected file " << name;
            EXPECT_TRUE(item.is_regular_file()) << name;
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(out.Path()), fs::directory_iterator()), 1);
    }

    // Every sort command keeps every row once.
    void SortEveryWay(int rows) {
        for (int id : {ID_SORT_NAME, ID_SORT_TYPE, ID_SORT_SIZE, ID_SORT_REVERSE, ID_SORT_NAME,
                       ID_SORT_SIZE, ID_SORT_ORIGINAL, ID_SORT_REVERSE}) {
            Frame()->SendCommand(id);
            std::vector<int> data = ItemData();
            std::sort(data.begin(), data.end());
            ASSERT_EQ(data.size(), static_cast<size_t>(rows));
            for (int row = 0; row < rows; ++row) {
                ASSERT_EQ(data[static_cast<size_t>(row)], row);
            }
        }
    }

    HostilePrompts hostile;

private:
    std::unique_ptr<platform::ScopedPrompts> m_scoped;
};

// Windows other than the menu bar's popups, which are made when first shown.
qsizetype WindowCount() {
    const QWidgetList widgets = QApplication::topLevelWidgets();
    return std::count_if(widgets.begin(), widgets.end(),
                         [](QWidget* widget) { return !qobject_cast<QMenu*>(widget); });
}

TEST_F(HostileArchiveTest, EveryCommandCopesWithEveryMalformedArchive) {
    const qsizetype windowsBefore = WindowCount();
    for (const Hostile& archive : HostileArchives()) {
        SCOPED_TRACE(archive.what);
        TempDir folder;
        const std::string path = folder.Write(archive.fileName, archive.bytes);
        hostile.messages.clear();
        hostile.openAnswers.push_back(path);
        Frame()->SendCommand(ID_FILE_OPEN);
        if (theArchive.GetArchivePath() != path) {
            // Refused: said so, and the commands act on the archive still open.
            ASSERT_FALSE(hostile.messages.empty());
            EXPECT_TRUE(PaneText(0).startsWith("Failed to load"));
        }
        const int rows = List().GetItemCount();
        ASSERT_EQ(rows, theArchive.GetEntryCount());
        SortEveryWay(rows);
        OpenEveryRow(rows);
        ExtractEveryRow(rows);
        // Nothing new beside the archive in its own folder either.
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()),
                  1);
        if (HasFatalFailure()) {
            return;
        }
    }
    EXPECT_EQ(WindowCount(), windowsBefore);
}

}  // namespace
}  // namespace lumo::test
