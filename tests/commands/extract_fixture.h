// SPDX-License-Identifier: MIT
#pragma once
// Archives for the Extract and Open tests: a field archive whose entries are stored
// compressed, with one entry that keeps a plain type there, and a plain archive.
#include <QEvent>
#include <QLabel>
#include <memory>
#include <string>
#include <vector>

#include "tests/commands/open_fixture.h"
#include "tests/support/field_builder.h"
#include "tests/support/lzss_encoder.h"

namespace lumo::test {

// Prompts that also note the order of the questions, and what pane 0 showed when each
// message box came up.
class OrderedPrompts : public platform::ScriptedPrompts {
public:
    std::vector<std::string> order;  // "message:<text>", "save", "folder", "file-error"
    std::vector<QString> paneAtMessage;
    CMainFrame* frame = nullptr;

    void Forget() {
        order.clear();
        paneAtMessage.clear();
        openRequests.clear();
        saveRequests.clear();
        folderRequests.clear();
        messages.clear();
        fileErrors.clear();
    }

    std::optional<std::string> SaveFile(const platform::SaveFileRequest& request) override {
        order.push_back("save");
        return ScriptedPrompts::SaveFile(request);
    }
    std::optional<std::string> BrowseFolder(const platform::FolderRequest& request) override {
        order.push_back("folder");
        return ScriptedPrompts::BrowseFolder(request);
    }
    platform::MessageAnswer ShowMessage(const platform::MessageRequest& request) override {
        order.push_back("message:" + request.text);
        paneAtMessage.push_back(frame ? frame->m_wndStatusBar.GetPaneText(0) : QString());
        return ScriptedPrompts::ShowMessage(request);
    }
    void ReportFileError(const platform::FileErrorReport& report) override {
        order.push_back("file-error");
        ScriptedPrompts::ReportFileError(report);
    }
};

// Each text pane 0 was painted with, in order.
class PaneTexts : public QObject {
public:
    explicit PaneTexts(QLabel* pane) : m_pane(pane) { pane->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_pane && event->type() == QEvent::Paint &&
            (texts.isEmpty() || texts.back() != m_pane->text())) {
            texts << m_pane->text();
        }
        return false;
    }
    QStringList texts;

private:
    QLabel* m_pane;
};

class ArchiveCommandTest : public IndexCommandTest {
protected:
    void SetUp() override {
        IndexCommandTest::SetUp();
        ordered.frame = Frame();
        m_scoped = std::make_unique<platform::ScopedPrompts>(ordered);
    }
    void TearDown() override {
        m_scoped.reset();
        IndexCommandTest::TearDown();
    }

    // A small field file whose background is one 16x16 tile of colour index 1.
    static Bytes FieldFile(uint16_t colour) {
        FieldBuilder builder(32, 16);
        builder.SetColour(0, 1, colour).FillTexels(0, 0, 0, 16, 16, 1);
        FieldTileSpec tile;
        tile.dstX = -16;
        tile.dstY = -8;
        builder.AddTile(1, tile);
        return builder.Build();
    }

    // "flevel.lgp": two compressed fields around a texture, which keeps its own type.
    void OpenFieldArchive() {
        fieldA = FieldFile(0x001F);
        fieldB = FieldFile(0x7C00);
        storedA = LzssCompressEntry(fieldA);
        storedB = LzssCompressEntry(fieldB);
        texture = Bytes{1, 2, 3, 4, 5};
        LgpWriter writer;
        writer.Add("md1stin", storedA).Add("room.tex", texture).Add("md1_1", storedB);
        OpenArchive("flevel.lgp", writer);
    }

    // "chars.lgp": three plain entries.
    void OpenPlainArchive() {
        plain = {Bytes{'a', 'l', 'p', 'h', 'a'}, Bytes(3000, 0xB7), Bytes{}};
        LgpWriter writer;
        writer.Add("alpha.txt", plain[0]).Add("beta.tex", plain[1]).Add("gamma", plain[2]);
        OpenArchive("chars.lgp", writer);
    }

    // Opens the archive through File > Open, then forgets what that asked.
    void OpenArchive(const std::string& fileName, const LgpWriter& writer) {
        archivePath = m_dir.Write(fileName, writer.Build());
        ordered.openAnswers.push_back(archivePath);
        Frame()->SendCommand(ID_FILE_OPEN);
        ASSERT_EQ(theArchive.GetArchivePath(), archivePath);
        ordered.Forget();
    }

    void Select(const std::vector<int>& rows, int mark) {
        List().SelectRows(rows);
        List().SetSelectionMark(mark);
    }

    OrderedPrompts ordered;
    Bytes fieldA, fieldB, storedA, storedB, texture;
    std::vector<Bytes> plain;
    std::string archivePath;

private:
    std::unique_ptr<platform::ScopedPrompts> m_scoped;
};

}  // namespace lumo::test
