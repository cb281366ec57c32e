// SPDX-License-Identifier: MIT
#include "archive/lgp_archive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>

#include "archive/entry_reader.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/lzss_encoder.h"

using lumo::test::Bytes;
using lumo::test::LgpWriter;
using lumo::test::LzssCompress;
using lumo::test::LzssEntry;
using lumo::test::TempDir;
using lumo::test::Truncated;

namespace {

struct FreeDeleter {
    void operator()(unsigned char* p) const { std::free(p); }
};
using Block = std::unique_ptr<unsigned char, FreeDeleter>;

Bytes Sequence(size_t size, uint8_t start) {
    Bytes out(size);
    for (size_t i = 0; i < size; ++i) {
        out[i] = static_cast<uint8_t>(start + i * 7);
    }
    return out;
}

// An entry read in the allocate mode; `allocated` tells an empty read from no read.
struct ReadResult {
    uint32_t count = 0;
    bool allocated = false;
    Bytes bytes;
};

// Runs one allocating read and keeps what it delivered.
template <typename ReadCall>
ReadResult Collect(ReadCall read) {
    unsigned char* raw = nullptr;
    ReadResult result;
    result.count = read(&raw);
    Block block(raw);
    result.allocated = raw != nullptr;
    if (raw != nullptr) {
        result.bytes.assign(raw, raw + result.count);
    }
    return result;
}

ReadResult Read(const CLgpArchive& archive, uint16_t index) {
    return Collect([&](unsigned char** buffer) { return archive.ReadEntry(index, buffer); });
}

ReadResult ReadDecompressed(const CLgpArchive& archive, uint16_t index, uint32_t hint) {
    return Collect(
        [&](unsigned char** buffer) { return archive.ReadEntryDecompressed(index, buffer, hint); });
}

bool EqualsField(const std::string& name) {
    std::string lower;
    for (char c : name) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower == "flevel.lgp";
}

class LgpArchiveTest : public ::testing::Test {
protected:
    TempDir dir;
    CLgpArchive archive;
};

}  // namespace

TEST_F(LgpArchiveTest, LoadsTheCatalogueAndReadsEntriesExactly) {
    LgpWriter writer;
    writer.Add("aerith.tex", Sequence(300, 1))
        .Add("empty.p", {})
        .Add("README", Sequence(5, 9))
        .Add("very_long_name_01.hr", Sequence(40, 3));
    Bytes file = writer.Build();
    std::string path = dir.Write("char.lgp", file);

    ASSERT_EQ(archive.Load(path.c_str()), 4);
    EXPECT_EQ(archive.GetLastLoadStatus(), LgpLoadStatus::Ok);
    EXPECT_EQ(archive.GetEntryCount(), 4);
    EXPECT_STREQ(archive.GetArchivePath(), path.c_str());
    EXPECT_EQ(archive.GetArchiveLength(), file.size());
    EXPECT_STREQ(archive.GetEntryName(0), "aerith.tex");
    EXPECT_STREQ(archive.GetEntryExtension(0), "tex");
    EXPECT_STREQ(archive.GetEntryExtension(2), "");
    EXPECT_STREQ(archive.GetEntryName(3), "very_long_name_01.hr");
    EXPECT_EQ(archive.GetEntrySize(0), 300u);
    EXPECT_EQ(archive.GetEntrySize(1), 0u);
    EXPECT_EQ(archive.GetEntryOffset(1), writer.DataOffset(1));

    ReadResult first = Read(archive, 0);
    EXPECT_EQ(first.count, 300u);
    EXPECT_EQ(first.bytes, Sequence(300, 1));  // the 24-byte data header is not included

    // An empty entry opens, reads nothing, and still hands back a block to free.
    ReadResult empty = Read(archive, 1);
    EXPECT_EQ(empty.count, 0u);
    EXPECT_TRUE(empty.allocated);

    unsigned char own[5] = {};
    unsigned char* ownPointer = own;
    EXPECT_EQ(archive.ReadEntry(2, &ownPointer), 5u);
    EXPECT_EQ(ownPointer, own);
    EXPECT_EQ(Bytes(own, own + 5), Sequence(5, 9));

    // An index past the count is answered as an empty entry, never read from the table.
    EXPECT_STREQ(archive.GetEntryName(4), "");
    EXPECT_STREQ(archive.GetEntryExtension(4), "");
    EXPECT_EQ(archive.GetEntrySize(4), 0u);
    ReadResult outside = Read(archive, 4);
    EXPECT_EQ(outside.count, 0u);
    EXPECT_FALSE(outside.allocated);
}

TEST_F(LgpArchiveTest, TypeCodesFollowTheExtensionAndTheFieldArchiveName) {
    struct Case {
        const char* name;
        const char* extension;
        uint8_t generic;
        uint8_t field;
    };
    const Case cases[] = {
        {"a.tex", "tex", LGP_TYPE_TEX, LGP_TYPE_TEX},
        {"b.TEX", "TEX", LGP_TYPE_TEX, LGP_TYPE_TEX},
        {"c.cam", "cam", LGP_TYPE_CAM, LGP_TYPE_CAM},
        {"d.p", "p", LGP_TYPE_P, LGP_TYPE_P},
        {"e.Mid", "Mid", LGP_TYPE_MID, LGP_TYPE_MID},
        {"f.txt", "txt", LGP_TYPE_TXT, LGP_TYPE_TXT},
        {"g.a", "a", LGP_TYPE_A, LGP_TYPE_A},
        {"h.tut", "tut", LGP_TYPE_TUT, LGP_TYPE_TUT},
        {"i.hrc", "hrc", LGP_TYPE_HRC, LGP_TYPE_HRC},
        {"md1stin", "", LGP_TYPE_OTHER, LGP_TYPE_FIELD},
        {"j.ab", "ab", LGP_TYPE_OTHER, LGP_TYPE_FIELD},
        {"k.p.p", "p.p", LGP_TYPE_OTHER, LGP_TYPE_FIELD},          // after the first point
        {"l.texture", "texture", LGP_TYPE_OTHER, LGP_TYPE_FIELD},  // kept whole
        {"m.", "", LGP_TYPE_OTHER, LGP_TYPE_FIELD},
    };
    LgpWriter writer;
    for (const Case& c : cases) {
        writer.Add(c.name, {1});
    }
    Bytes file = writer.Build();
    for (const char* archiveName :
         {"generic.lgp", "flevel.lgp", "FLEVEL.LGP", "Flevel.lgp", "flevel.lgp.bak"}) {
        std::string path = dir.Write(archiveName, file);
        ASSERT_EQ(archive.Load(path.c_str()), std::size(cases));
        bool field = EqualsField(archiveName);
        for (uint16_t i = 0; i < std::size(cases); ++i) {
            SCOPED_TRACE(std::string(archiveName) + " " + cases[i].name);
            EXPECT_STREQ(archive.GetEntryName(i), cases[i].name);
            EXPECT_STREQ(archive.GetEntryExtension(i), cases[i].extension);
            EXPECT_EQ(archive.GetEntryType(i), field ? cases[i].field : cases[i].generic);
        }
    }
}

TEST_F(LgpArchiveTest, NamesUseTheirWholeFieldAndNothingPastTheTerminator) {
    LgpWriter writer;
    writer
        .Add("abcdefghijklmnop.xyz", {1, 2})  // exactly 20 bytes, no terminator
        .Add("x", {3});
    Bytes padded = {'s', 'h', 'o', 'r', 't', 0, 'j', 'u', 'n', 'k', '.', 't', 'e', 'x'};
    writer.SetRawName(1, padded);
    std::string path = dir.Write("names.lgp", writer.Build());
    ASSERT_EQ(archive.Load(path.c_str()), 2);
    EXPECT_STREQ(archive.GetEntryName(0), "abcdefghijklmnop.xyz");
    EXPECT_STREQ(archive.GetEntryExtension(0), "xyz");
    EXPECT_STREQ(archive.GetEntryName(1), "short");
    EXPECT_STREQ(archive.GetEntryExtension(1), "");
    EXPECT_EQ(archive.GetEntryType(1), LGP_TYPE_OTHER);
}

TEST_F(LgpArchiveTest, OnlyTheLowSixteenBitsOfTheCountCount) {
    LgpWriter writer;
    writer.Add("a.txt", {1}).Add("b.txt", {2}).SetCountUpperBytes(0xFFFF);
    std::string path = dir.Write("upper.lgp", writer.Build());
    EXPECT_EQ(archive.Load(path.c_str()), 2);
}

TEST_F(LgpArchiveTest, RefusedFilesKeepThePreviousCatalogue) {
    LgpWriter good;
    good.Add("keep.tex", {1, 2, 3});
    std::string goodPath = dir.Write("good.lgp", good.Build());
    ASSERT_EQ(archive.Load(goodPath.c_str()), 1);
    const char* keptName = archive.GetEntryName(0);

    LgpWriter wrongCase;
    wrongCase.Add("other", Bytes(50, 1)).SetSignature("SquareSoft");
    Bytes rejected = wrongCase.Build();
    std::string rejectedPath = dir.Write("rejected.lgp", rejected);
    EXPECT_EQ(archive.Load(rejectedPath.c_str()), 0);
    EXPECT_EQ(archive.GetLastLoadStatus(), LgpLoadStatus::NotAnArchive);
    EXPECT_EQ(archive.GetArchiveLength(), rejected.size());  // the refused file's length
    EXPECT_EQ(archive.GetEntryCount(), 1);
    EXPECT_EQ(archive.GetEntryName(0), keptName);  // pointers stay valid too
    EXPECT_STREQ(archive.GetArchivePath(), goodPath.c_str());
    EXPECT_EQ(Read(archive, 0).bytes, (Bytes{1, 2, 3}));

    // A table of contents cut short is refused the same way, for its own reason.
    LgpWriter cut;
    cut.Add("a", {1}).Add("b", {2});
    std::string cutPath = dir.Write("cut.lgp", Truncated(cut.Build(), LgpWriter::TocEnd(2) - 1));
    EXPECT_EQ(archive.Load(cutPath.c_str()), 0);
    EXPECT_EQ(archive.GetLastLoadStatus(), LgpLoadStatus::CutShort);
    EXPECT_EQ(archive.GetEntryCount(), 1);

    // A file that does not open changes nothing, not even the length.
    EXPECT_EQ(archive.Load(dir.File("missing.lgp").c_str()), 0);
    EXPECT_EQ(archive.GetLastLoadStatus(), LgpLoadStatus::CannotOpen);
    EXPECT_EQ(archive.GetArchiveLength(), LgpWriter::TocEnd(2) - 1);
    EXPECT_EQ(archive.Load(dir.Path().c_str()), 0);  // a folder is not a file
    EXPECT_EQ(archive.GetLastLoadStatus(), LgpLoadStatus::CannotOpen);
    EXPECT_EQ(archive.Load(nullptr), 0);
    EXPECT_EQ(archive.GetEntryCount(), 1);
    EXPECT_STREQ(archive.GetArchivePath(), goodPath.c_str());

    EXPECT_STREQ(DescribeLoadStatus(LgpLoadStatus::NotAnArchive), "not an LGP archive");
    EXPECT_NE(std::string(DescribeLoadStatus(LgpLoadStatus::CutShort)).find("cut short"),
              std::string::npos);
    EXPECT_STREQ(DescribeLoadStatus(LgpLoadStatus::CannotOpen), "cannot open file");
}

TEST_F(LgpArchiveTest, AnEmptyArchiveReplacesTheCatalogue) {
    LgpWriter full;
    full.Add("a", {1});
    ASSERT_EQ(archive.Load(dir.Write("full.lgp", full.Build()).c_str()), 1);
    std::string emptyPath = dir.Write("empty.lgp", LgpWriter().Build());
    EXPECT_EQ(archive.Load(emptyPath.c_str()), 0);
    EXPECT_EQ(archive.GetLastLoadStatus(), LgpLoadStatus::Ok);
    EXPECT_EQ(archive.GetEntryCount(), 0);
    EXPECT_STREQ(archive.GetArchivePath(), emptyPath.c_str());
}

// The count's upper bytes are never read, so they need not even be in the file; a
// signature with no count at all is no archive.
TEST_F(LgpArchiveTest, AFileEndingAfterTheCountsLowBytesIsAnEmptyArchive) {
    Bytes header = LgpWriter().Build();
    std::string path = dir.File("short.lgp");
    lumo::test::WriteFile(path, Truncated(header, 14));
    EXPECT_EQ(archive.Load(path.c_str()), 0);
    EXPECT_EQ(archive.GetLastLoadStatus(), LgpLoadStatus::Ok);
    EXPECT_EQ(archive.GetArchiveLength(), 14u);

    Bytes oneEntry = header;
    oneEntry[12] = 1;
    lumo::test::WriteFile(path, Truncated(oneEntry, 14));
    archive.Load(path.c_str());
    EXPECT_EQ(archive.GetLastLoadStatus(), LgpLoadStatus::CutShort);
    lumo::test::WriteFile(path, Truncated(header, 13));
    archive.Load(path.c_str());
    EXPECT_EQ(archive.GetLastLoadStatus(), LgpLoadStatus::CutShort);
    lumo::test::WriteFile(path, Truncated(header, 11));  // the signature itself is cut
    archive.Load(path.c_str());
    EXPECT_EQ(archive.GetLastLoadStatus(), LgpLoadStatus::NotAnArchive);
}

// Cutting a real-looking archive at every byte: a cut inside the header or table of
// contents refuses the file; any later cut keeps every entry listed and reads deliver
// exactly the bytes still there.
TEST_F(LgpArchiveTest, TruncatedAnywhere) {
    LgpWriter writer;
    writer.Add("one.tex", Sequence(30, 1)).Add("two", Sequence(7, 2)).Add("three.a", {});
    writer.SetBareLayout(true);  // keeps the loop short; the data follows the table at once
    Bytes file = writer.Build();
    std::string path = dir.File("cut.lgp");
    for (size_t length = 0; length <= file.size(); ++length) {
        SCOPED_TRACE(length);
        lumo::test::WriteFile(path, Truncated(file, length));
        CLgpArchive cut;
        uint16_t count = cut.Load(path.c_str());
        if (length < LgpWriter::TocEnd(3)) {
            EXPECT_EQ(count, 0);
            EXPECT_EQ(cut.GetLastLoadStatus(),
                      length < 12 ? LgpLoadStatus::NotAnArchive : LgpLoadStatus::CutShort);
            continue;
        }
        ASSERT_EQ(count, 3);
        for (uint16_t i = 0; i < 3; ++i) {
            uint64_t dataStart = writer.DataOffset(i) + 24;
            ReadResult read = Read(cut, i);
            ASSERT_TRUE(read.allocated);
            uint64_t expected = length <= dataStart
                                    ? 0
                                    : std::min<uint64_t>(length - dataStart, cut.GetEntrySize(i));
            EXPECT_EQ(read.count, expected);
            EXPECT_TRUE(std::equal(read.bytes.begin(), read.bytes.end(), file.begin() + dataStart));
            // A size field that is not wholly in the file reads as 0.
            if (length < writer.DataOffset(i) + 24) {
                EXPECT_EQ(cut.GetEntrySize(i), 0u);
            }
        }
    }
}

TEST_F(LgpArchiveTest, LyingOffsetsAndSizesReadOnlyWhatIsThere) {
    LgpWriter writer;
    writer.Add("past.end", Sequence(10, 1))
        .Add("huge.size", Sequence(10, 2))
        .Add("wrap", Sequence(10, 3))
        .SetOffset(0, 0x7FFFFFF0)
        .SetSizeField(1, 0xFFFFFFF0)
        .SetOffset(2, 0xFFFFFFFF);
    Bytes file = writer.Build();
    std::string path = dir.Write("lies.lgp", file);
    ASSERT_EQ(archive.Load(path.c_str()), 3);
    EXPECT_EQ(archive.GetEntrySize(0), 0u);  // no data header in the file
    EXPECT_EQ(archive.GetEntrySize(2), 0u);
    EXPECT_EQ(archive.GetEntrySize(1), 0xFFFFFFF0u);  // listed as the header says

    ReadResult past = Read(archive, 0);
    EXPECT_EQ(past.count, 0u);
    EXPECT_TRUE(past.allocated);

    // The huge entry runs to the end of the file: its bytes, the next data block and the
    // terminator, no more.
    uint32_t start = writer.DataOffset(1) + 24;
    ReadResult huge = Read(archive, 1);
    EXPECT_EQ(huge.count, file.size() - start);
    EXPECT_TRUE(std::equal(huge.bytes.begin(), huge.bytes.end(), file.begin() + start));
}

TEST_F(LgpArchiveTest, CallerBufferTailIsClearedWhenTheFileIsShort) {
    LgpWriter writer;
    writer.Add("short", Sequence(100, 5)).SetBareLayout(true);
    Bytes file = writer.Build();
    std::string path = dir.Write("short.lgp", Truncated(file, file.size() - 40));
    ASSERT_EQ(archive.Load(path.c_str()), 1);
    Bytes buffer(100, 0xEE);
    unsigned char* pointer = buffer.data();
    EXPECT_EQ(archive.ReadEntry(0, &pointer), 60u);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 60, Sequence(100, 5).begin()));
    EXPECT_EQ(Bytes(buffer.begin() + 60, buffer.end()), Bytes(40, 0));
}

TEST_F(LgpArchiveTest, ReadsFailCleanlyWhenTheArchiveIsGone) {
    LgpWriter writer;
    writer.Add("a", {1, 2});
    std::string path = dir.Write("gone.lgp", writer.Build());
    ASSERT_EQ(archive.Load(path.c_str()), 1);
    std::remove(path.c_str());
    unsigned char* pointer = nullptr;
    EXPECT_EQ(archive.ReadEntry(0, &pointer), 0u);
    EXPECT_EQ(archive.ReadEntryDecompressed(0, &pointer, 0), 0u);
    EXPECT_EQ(archive.ReadEntryDecompressed(0, nullptr, 0), 0u);
    EXPECT_EQ(pointer, nullptr);
}

TEST_F(LgpArchiveTest, ReadsEntriesDecompressedInEveryMode) {
    Bytes raw = Sequence(5000, 1);
    raw.insert(raw.end(), 3000, 0x42);
    Bytes stream = LzssCompress(raw);
    LgpWriter writer;
    writer.Add("md1_1", LzssEntry(stream)).Add("empty", LzssEntry({})).Add("nolength", {1, 2});
    writer.SetBareLayout(true);  // the last entry's length field is cut by the end of file
    std::string path = dir.Write("flevel.lgp", writer.Build());
    ASSERT_EQ(archive.Load(path.c_str()), 3);
    ASSERT_EQ(archive.GetEntryType(0), LGP_TYPE_FIELD);

    EXPECT_EQ(archive.ReadEntryDecompressed(0, nullptr, 0), raw.size());

    ReadResult whole = ReadDecompressed(archive, 0, 0);
    EXPECT_EQ(whole.count, raw.size());
    EXPECT_EQ(whole.bytes, raw);

    // A hint smaller than the output limits what is written to what was allocated.
    ReadResult small = ReadDecompressed(archive, 0, 100);
    EXPECT_EQ(small.count, 100u);
    EXPECT_EQ(small.bytes, Truncated(raw, 100));

    ReadResult large = ReadDecompressed(archive, 0, 9000);
    EXPECT_EQ(large.bytes, raw);

    Bytes own(raw.size() + 8, 0xAB);
    unsigned char* pointer = own.data();
    EXPECT_EQ(archive.ReadEntryDecompressed(0, &pointer, 1), raw.size());  // hint ignored
    EXPECT_TRUE(std::equal(raw.begin(), raw.end(), own.begin()));
    EXPECT_EQ(own.back(), 0xAB);

    ReadResult empty = ReadDecompressed(archive, 1, 0);
    EXPECT_EQ(empty.count, 0u);
    EXPECT_TRUE(empty.allocated);
    EXPECT_EQ(ReadDecompressed(archive, 2, 0).count, 0u);  // length field cut off
}

TEST_F(LgpArchiveTest, CompressedLengthPastTheEndDecodesWhatIsThere) {
    Bytes raw = Sequence(4000, 3);
    Bytes stream = LzssCompress(raw);
    LgpWriter writer;
    writer.Add("md1_2", LzssEntry(stream)).SetBareLayout(true);
    Bytes file = writer.Build();
    size_t kept = file.size() - stream.size() / 2;
    std::string path = dir.Write("flevel.lgp", Truncated(file, kept));
    ASSERT_EQ(archive.Load(path.c_str()), 1);

    Bytes present(file.begin() + writer.DataOffset(0) + 28, file.begin() + kept);
    Bytes expected = lumo::test::RingDecode(present);
    EXPECT_EQ(archive.ReadEntryDecompressed(0, nullptr, 0), expected.size());
    EXPECT_EQ(ReadDecompressed(archive, 0, 0).bytes, expected);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), raw.begin()));
    // The stored length still tells how much is missing.
    EXPECT_EQ(archive.ReadEntryStreamLength(0), stream.size());
    lumo::test::WriteFile(path, Truncated(file, writer.DataOffset(0) + 27));
    EXPECT_EQ(archive.ReadEntryStreamLength(0), 0u);  // the length field itself is cut
}

// A stream length that runs past its entry decodes the entry's bytes only: decoding on
// would turn the next entry's data header and bytes into this one's.
TEST_F(LgpArchiveTest, AStreamRunningIntoTheNextEntryDecodesOnlyItsOwnBytes) {
    const Bytes stream = LzssCompress(Sequence(4000, 5));
    const size_t half = stream.size() / 2;
    Bytes first = LzssEntry(stream);  // its length field names the whole stream
    first.resize(4 + half);
    LgpWriter writer;
    writer.Add("md1_1", first).Add("md1_2", Bytes(stream.begin() + half, stream.end()));
    ASSERT_EQ(archive.Load(dir.Write("flevel.lgp", writer.Build()).c_str()), 2);

    const Bytes expected = lumo::test::RingDecode(Bytes(stream.begin(), stream.begin() + half));
    EXPECT_EQ(archive.ReadEntryDecompressed(0, nullptr, 0), expected.size());
    EXPECT_EQ(ReadDecompressed(archive, 0, 0).bytes, expected);
    EXPECT_EQ(archive.ReadEntryStreamLength(0), stream.size());
}

// Within a scope the reads go to its one open file: the loaded file's bytes even after
// the path names another, and nothing once the file is rewritten in place.
TEST_F(LgpArchiveTest, AReadScopeReadsTheLoadedFileUntilItIsRewritten) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows moves no file that is open for reading";
#endif
    LgpWriter writer;
    writer.AddText("a.txt", "alpha").SetBareLayout(true);
    const Bytes file = writer.Build();
    const std::string path = dir.Write("a.lgp", file);
    ASSERT_EQ(archive.Load(path.c_str()), 1);
    {
        const CLgpArchive::ReadScope scope(archive);
        std::filesystem::rename(path, dir.File("moved.lgp"));
        EXPECT_EQ(Read(archive, 0).bytes, Bytes({'a', 'l', 'p', 'h', 'a'}));
        EXPECT_TRUE(archive.IsEntryWhole(0));
        Bytes longer = file;
        longer.push_back(0);
        lumo::test::WriteFile(dir.File("moved.lgp"), longer);  // same file, rewritten
        EXPECT_FALSE(Read(archive, 0).allocated);
    }
    EXPECT_FALSE(Read(archive, 0).allocated);  // no file at the path at all
}

// Whole means the file holds the data header and every byte of the size.
TEST_F(LgpArchiveTest, AnEntryIsWholeOnlyWhileTheFileHoldsAllOfIt) {
    LgpWriter writer;
    writer.AddText("a.txt", "alpha").AddText("b.txt", "bravo").SetBareLayout(true);
    Bytes file = writer.Build();
    std::string path = dir.Write("cut.lgp", file);
    ASSERT_EQ(archive.Load(path.c_str()), 2);
    EXPECT_TRUE(archive.IsEntryWhole(0));
    EXPECT_TRUE(archive.IsEntryWhole(1));
    EXPECT_FALSE(archive.IsEntryWhole(2));  // no such entry

    path = dir.Write("short.lgp", Truncated(file, file.size() - 1));
    ASSERT_EQ(archive.Load(path.c_str()), 2);
    EXPECT_TRUE(archive.IsEntryWhole(0));
    EXPECT_FALSE(archive.IsEntryWhole(1));  // one byte short
    lumo::test::WriteFile(path, file);
    EXPECT_FALSE(archive.IsEntryWhole(0));  // rewritten since: not the archive loaded
    path = dir.Write("header.lgp", Truncated(file, writer.DataOffset(1) + 10));
    ASSERT_EQ(archive.Load(path.c_str()), 2);
    EXPECT_FALSE(archive.IsEntryWhole(1));  // its header cut
    std::remove(path.c_str());
    EXPECT_FALSE(archive.IsEntryWhole(0));  // the file is gone
}

// A file replaced or rewritten after Load is never read under the old catalogue.
TEST_F(LgpArchiveTest, AnArchiveChangedOnDiskReadsNothing) {
    LgpWriter writer;
    writer.AddText("a.txt", "alpha").SetBareLayout(true);
    Bytes file = writer.Build();
    std::string path = dir.Write("a.lgp", file);
    ASSERT_EQ(archive.Load(path.c_str()), 1);
    EXPECT_FALSE(archive.ArchiveChangedOnDisk());
    EXPECT_EQ(Read(archive, 0).bytes, Bytes({'a', 'l', 'p', 'h', 'a'}));

    Bytes other = file;
    other[other.size() - 1] = 'A';
    std::string replacement = dir.Write("b.lgp", other);
    std::filesystem::rename(replacement, path);  // same size, another file
    EXPECT_TRUE(archive.ArchiveChangedOnDisk());
    EXPECT_FALSE(Read(archive, 0).allocated);
    EXPECT_FALSE(ReadDecompressed(archive, 0, 0).allocated);
}

// Data headers are read in one pass in file order; an archive whose table lists its
// blocks out of order, with a big block between small ones, must still pair every
// entry with its own header.
TEST_F(LgpArchiveTest, DataHeadersOutOfOrderAndFarApart) {
    LgpWriter writer;
    writer.Add("first", Sequence(10, 1)).Add("big", Bytes(3 << 20, 7)).Add("last", Sequence(20, 2));
    Bytes file = writer.Build();
    // Point the table's records at each other's blocks, reversed.
    LgpWriter reversed = writer;
    reversed.SetOffset(0, writer.DataOffset(2)).SetOffset(2, writer.DataOffset(0));
    std::string path = dir.Write("mixed.lgp", reversed.Build());
    ASSERT_EQ(archive.Load(path.c_str()), 3);
    EXPECT_EQ(archive.GetEntrySize(0), 20u);
    EXPECT_EQ(archive.GetEntrySize(1), 3u << 20);
    EXPECT_EQ(archive.GetEntrySize(2), 10u);
    EXPECT_EQ(Read(archive, 0).bytes, Sequence(20, 2));
}

TEST_F(LgpArchiveTest, HoldsTheMostEntriesACountCanName) {
    LgpWriter writer;
    for (int i = 0; i < 65535; ++i) {
        writer.Add("f" + std::to_string(i) + ".p", {static_cast<uint8_t>(i)});
    }
    writer.SetCountUpperBytes(0x0001);
    std::string path = dir.Write("many.lgp", writer.Build());
    ASSERT_EQ(archive.Load(path.c_str()), 65535);
    EXPECT_STREQ(archive.GetEntryName(65534), "f65534.p");
    EXPECT_EQ(archive.GetEntrySize(65534), 1u);
    EXPECT_EQ(Read(archive, 65534).bytes, Bytes{static_cast<uint8_t>(65534)});
}

// An archive loaded from memory answers every question as the same bytes loaded from a
// file do, whole and cut anywhere; it names no file, so nothing opens one for it.
TEST_F(LgpArchiveTest, LoadedFromMemoryItReadsAsTheFileDoes) {
    LgpWriter writer;
    writer.Add("md1stin", LzssEntry(LzssCompress(Sequence(40, 3)))).Add("two", Sequence(9, 2));
    writer.SetBareLayout(true);
    const Bytes file = writer.Build();
    const std::string path = dir.File("flevel.lgp");
    for (size_t length = 0; length <= file.size(); ++length) {
        SCOPED_TRACE(length);
        lumo::test::WriteFile(path, Truncated(file, length));
        CLgpArchive disk;
        CLgpArchive memory;
        ASSERT_EQ(memory.LoadFromMemory(Truncated(file, length), "FLEVEL.LGP"),
                  disk.Load(path.c_str()));
        ASSERT_EQ(memory.GetLastLoadStatus(), disk.GetLastLoadStatus());
        EXPECT_STREQ(memory.GetArchivePath(), "");
        EXPECT_FALSE(memory.ArchiveChangedOnDisk());
        for (uint16_t i = 0; i < disk.GetEntryCount(); ++i) {
            EXPECT_EQ(memory.GetEntryType(i), disk.GetEntryType(i));
            EXPECT_EQ(memory.GetEntrySize(i), disk.GetEntrySize(i));
            EXPECT_EQ(Read(memory, i).bytes, Read(disk, i).bytes);
            EXPECT_EQ(Collect([&](unsigned char** p) {
                          return memory.ReadEntryDecompressed(i, p, 0);
                      }).bytes,
                      Collect([&](unsigned char** p) {
                          return disk.ReadEntryDecompressed(i, p, 0);
                      }).bytes);
            EXPECT_EQ(memory.IsEntryWhole(i), disk.IsEntryWhole(i));
            Bytes fromMemory;
            Bytes fromDisk;
            EXPECT_EQ(LgpEntryReader(memory).Read(i, true, &fromMemory).problem,
                      LgpEntryReader(disk).Read(i, true, &fromDisk).problem);
            EXPECT_EQ(fromMemory, fromDisk);
        }
    }
}
