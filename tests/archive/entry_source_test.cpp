// SPDX-License-Identifier: MIT
// The loaded catalogue's snapshot as an entry source, and the document that offers it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "archive/archive_document.h"
#include "archive/lgp_snapshot.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"

using lumo::test::Bytes;
using lumo::test::LgpWriter;
using lumo::test::TempDir;

namespace {

std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

class EntrySourceTest : public ::testing::Test {
protected:
    std::string Write(const std::string& file, const std::string& name, const std::string& text) {
        return m_dir.Write(file, LgpWriter().AddText("first.txt", "1").AddText(name, text).Build());
    }
    TempDir m_dir;
    CLgpArchive m_catalogue;
};

// A window holding the snapshot keeps its archive across File > Open of another one,
// and never reads the bytes of a file rewritten under it.
TEST_F(EntrySourceTest, SnapshotOutlivesTheNextLoad) {
    ASSERT_EQ(m_catalogue.Load(Write("a.lgp", "Kept.TXT", "old").c_str()), 2);
    const EntrySourcePtr a = m_catalogue.Snapshot();
    EXPECT_EQ(m_catalogue.Snapshot(), a);  // handed out again until the next load

    ASSERT_EQ(m_catalogue.Load(Write("b.lgp", "other.txt", "new!").c_str()), 2);
    EXPECT_NE(m_catalogue.Snapshot(), a);
    const EntryId kept = a->Find("kept.txt");
    EXPECT_EQ(a->Name(kept), "Kept.TXT");
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(a->Read(kept, false, &bytes).Whole());
    EXPECT_EQ(Text(bytes), "old");

    Write("a.lgp", "Kept.TXT", "rewritten");
    EXPECT_EQ(a->Read(kept, false, &bytes).problem, EntryProblem::ArchiveChanged);
    EXPECT_TRUE(bytes.empty());
}

// The same answers from the first lookups (a scan) and from the later ones (an index).
TEST_F(EntrySourceTest, FindTakesTheExactNameBeforeOneOfAnotherCase) {
    LgpWriter writer;
    writer.AddText("a.TXT", "1").AddText("A.txt", "2").AddText("a.txt", "3");
    for (int i = 0; i < 300; ++i) {
        writer.AddText("filler" + std::to_string(i), "");
    }
    ASSERT_EQ(m_catalogue.Load(m_dir.Write("find.lgp", writer.Build()).c_str()), 303);
    const EntrySourcePtr source = m_catalogue.Snapshot();
    const struct {
        std::string wanted;
        uint32_t found;
    } kCases[] = {
        {"a.txt", 2},
        {"A.txt", 1},
        {"A.TXT", 0},  // exact, else the first of any case
        {"b.txt", EntryId::kNone},
        {"", EntryId::kNone},
        {std::string("a.txt\0x", 7), EntryId::kNone},  // a NUL ends no stored name early
    };
    for (int round = 0; round < 3; ++round) {
        for (const auto& c : kCases) {
            EXPECT_EQ(source->Find(c.wanted).value, c.found) << c.wanted << " " << round;
        }
    }
}

// An id the snapshot did not issue is no entry of it: never another entry's data.
TEST_F(EntrySourceTest, UnknownIdsReadAsNoEntry) {
    ASSERT_EQ(m_catalogue.Load(Write("ids.lgp", "second.tex", "xyz").c_str()), 2);
    const EntrySourcePtr source = m_catalogue.Snapshot();
    for (EntryId id : {EntryId{}, EntryId{2}, EntryId{kFirstAddedEntryId}, EntryId{0x10001}}) {
        std::vector<uint8_t> bytes{1};
        EXPECT_FALSE(source->Contains(id)) << id.value;
        EXPECT_EQ(source->Name(id), "");
        EXPECT_EQ(source->Size(id), 0u);
        EXPECT_EQ(source->Read(id, false, &bytes).problem, EntryProblem::CannotRead);
        EXPECT_TRUE(bytes.empty());
        EXPECT_EQ(source->Check(id, false).problem, EntryProblem::CannotRead);
    }
    EXPECT_EQ(source->IdAt(1).value, source->Find("second.tex").value);
    EXPECT_FALSE(source->IdAt(2).Valid());
}

TEST_F(EntrySourceTest, CopyStoredStopsWhenTheSinkRefuses) {
    const Bytes big(3u << 20, 0x5A);  // more than one piece
    ASSERT_EQ(m_catalogue.Load(m_dir.Write("big.lgp", LgpWriter().Add("big", big).Build()).c_str()),
              1);
    const EntrySourcePtr source = m_catalogue.Snapshot();
    Bytes copied;
    EXPECT_TRUE(source
                    ->CopyStored(EntryId{0},
                                 [&](const uint8_t* data, size_t size) {
                                     copied.insert(copied.end(), data, data + size);
                                     return true;
                                 })
                    .Whole());
    EXPECT_EQ(copied, big);
    int pieces = 0;
    const EntryCheck refused =
        source->CopyStored(EntryId{0}, [&](const uint8_t*, size_t) { return ++pieces < 2; });
    EXPECT_EQ(refused.problem, EntryProblem::CannotRead);
    EXPECT_EQ(pieces, 2);
}

// Decoded copies come a piece at a time and hold what a decoded read holds; an entry
// that is not whole gives the sink nothing unless its start is asked for. Large streams
// (their walk runs beside the decoding) keep the same rules.
TEST_F(EntrySourceTest, CopyEntryOutDecodesInPiecesAndOnlyWholeEntries) {
    Bytes raw(3u << 20);
    for (size_t i = 0; i < raw.size(); ++i) {
        raw[i] = static_cast<uint8_t>(i * 7 / 5);
    }
    lumo::test::LzssStreamWriter large;
    for (uint32_t i = 0, x = 1; i < (5u << 20); ++i, x = x * 1103515245u + 12345u) {
        large.Literal(static_cast<uint8_t>(x >> 24));
    }
    large.Reference(100, 18);
    Bytes lying = lumo::test::LzssCompressEntry(Bytes(100, 1));
    lying[0] = 0xF0;  // a stream length past the entry
    const std::string path = m_dir.Write(
        "flevel.lgp", LgpWriter()
                          .Add("whole", lumo::test::LzssCompressEntry(raw))
                          .Add("lying", lying)
                          .Add("large", lumo::test::LzssEntry(large.Stream()))
                          .Add("cut", lumo::test::LzssEntry(large.StreamCutInsideLastReference()))
                          .Build());
    ASSERT_EQ(m_catalogue.Load(path.c_str()), 4);
    const EntrySourcePtr source = m_catalogue.Snapshot();
    const std::unique_ptr<IEntryReader> reader = source->OpenReader();
    const EntryProblem expected[] = {EntryProblem::None, EntryProblem::StreamPastEntry,
                                     EntryProblem::None, EntryProblem::StreamCutShort};
    for (bool partial : {false, true}) {
        for (uint32_t entry : {0u, 1u, 2u, 3u}) {
            Bytes copied;
            int pieces = 0;
            const EntryCheck check =
                CopyEntryOut(*reader, *source, EntryId{entry}, true, partial,
                             [&](const uint8_t* data, size_t size) {
                                 copied.insert(copied.end(), data, data + size);
                                 return ++pieces > 0;
                             });
            Bytes read;
            EXPECT_EQ(source->Read(EntryId{entry}, true, &read).problem, check.problem);
            EXPECT_EQ(check.problem, expected[entry]) << entry;
            EXPECT_EQ(copied, check.Whole() || partial ? read : Bytes{}) << entry << partial;
            if (check.Whole()) {
                EXPECT_EQ(check.decodedSize, read.size());
                EXPECT_GT(pieces, 1);
            }
        }
        Bytes copied;
        CopyEntryOut(*reader, *source, EntryId{0}, true, partial,
                     [&](const uint8_t* data, size_t size) {
                         copied.insert(copied.end(), data, data + size);
                         return true;
                     });
        EXPECT_EQ(copied, raw);
    }
    int pieces = 0;
    EXPECT_EQ(CopyEntryOut(*reader, *source, EntryId{2}, true, false,
                           [&](const uint8_t*, size_t) { return ++pieces < 2; })
                  .problem,
              EntryProblem::CannotRead);
    EXPECT_EQ(pieces, 2);
}

struct Recorder : IEntrySourceObserver {
    Recorder(std::string n, std::vector<std::string>* l) : name(std::move(n)), log(l) {}
    void OnSourceReplaced(const EntrySourcePtr& source) override {
        log->push_back(name + (source ? ":" + std::to_string(source->Count()) : ":none"));
        if (then) {
            then();
        }
    }
    std::string name;
    std::vector<std::string>* log;
    std::function<void()> then;
};

// Observers hear of each change once, in the order they came; one removed while the
// others are told is not told afterwards.
TEST_F(EntrySourceTest, DocumentTellsItsObservers) {
    ASSERT_EQ(m_catalogue.Load(Write("doc.lgp", "x", "y").c_str()), 2);
    std::vector<std::string> log;
    ArchiveDocument document;
    Recorder first("first", &log);
    Recorder second("second", &log);
    first.then = [&] { document.RemoveObserver(&second); };
    document.AddObserver(&first);
    document.AddObserver(&first);
    document.AddObserver(&second);
    EXPECT_TRUE(log.empty());  // adding tells nothing

    document.SetSource(m_catalogue.Snapshot());
    document.ChangeEntries(nullptr, {EntryId{0}});
    EXPECT_EQ(log, (std::vector<std::string>{"first:2", "first:none"}));
    EXPECT_FALSE(document.HasEntries());
}

}  // namespace
