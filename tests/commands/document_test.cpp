// SPDX-License-Identifier: MIT
// The open archive's document: on the route before the application, followed by the
// index, and giving entry windows a source that outlives the next File > Open.
#include "app/lumo_app.h"
#include "archive/lgp_snapshot.h"
#include "commands/archive_doc.h"
#include "res/resource.h"
#include "tests/commands/open_fixture.h"
#include "viewers/child_frame.h"

namespace lumo::test {
namespace {

using DocumentTest = IndexCommandTest;

// A viewer that keeps the source it was given, as one showing several entries would.
class CKeepingViewer : public CChildFrame {
public:
    bool LoadEntryFrom(const EntrySourcePtr& source, EntryId id) override {
        m_source = source;
        m_id = id;
        return CChildFrame::LoadEntryFrom(source, id);
    }
    bool LoadEntryData(const unsigned char* data, uint32_t size) override {
        m_bytes.assign(data, data + size);
        return true;
    }
    EntrySourcePtr m_source;
    EntryId m_id;
    std::string m_bytes;
};

TEST_F(DocumentTest, IndexFollowsTheDocumentAlone) {
    Open("one.lgp", Named({"a.txt", "b.txt"}));
    CLgpArchive other;
    ASSERT_EQ(other.Load(m_dir.Write("two.lgp", Named({"c.txt"}).Build()).c_str()), 1);
    TheArchiveDoc()->Document().SetSource(other.Snapshot());
    EXPECT_EQ(Names(), QStringList{"c.txt"});
    TheArchiveDoc()->Document().SetSource(nullptr);
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_FALSE(List().isEnabled());
}

TEST_F(DocumentTest, ArchiveCommandsAreTheDocumentsNotTheApplications) {
    for (int id : {ID_FILE_OPEN, ID_ITEM_EXTRACT, ID_ITEM_OPEN, ID_ITEM_PROPERTIES, ID_SORT_NAME}) {
        EXPECT_TRUE(TheArchiveDoc()->OnCmdMsg(id, CommandQuery::HasHandler, nullptr)) << id;
        EXPECT_FALSE(theApp.OnCmdMsg(id, CommandQuery::HasHandler, nullptr)) << id;
    }
    EXPECT_TRUE(theApp.OnCmdMsg(ID_APP_ABOUT, CommandQuery::HasHandler, nullptr));
}

TEST_F(DocumentTest, WindowKeepsItsArchiveAcrossOpen) {
    Open("first.lgp", LgpWriter().AddText("kept.txt", "first archive"));
    const EntrySourcePtr first = TheArchiveDoc()->Source();
    CKeepingViewer viewer;
    viewer.LoadEntryFrom(first, first->Find("kept.txt"));
    Open("second.lgp", Named({"other.txt"}));
    ASSERT_NE(TheArchiveDoc()->Source(), viewer.m_source);
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(viewer.m_source->Read(viewer.m_id, false, &bytes).Whole());
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "first archive");
    EXPECT_EQ(viewer.m_bytes, "first archive");
}

}  // namespace
}  // namespace lumo::test
