// SPDX-License-Identifier: MIT
#pragma once
// The main frame with an index to fill: opens archives written by the test through the
// scripted open dialog and reads the index back.
#include <QStringList>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/main_frame.h"
#include "archive/lgp_archive.h"
#include "res/resource.h"
#include "tests/support/lgp_writer.h"
#include "tests/support/qt/shell_test_support.h"

namespace lumo::test {

class IndexCommandTest : public ShellTest {
protected:
    void TearDown() override {
        // The catalogue outlives the frame; leave it empty for the next test.
        theArchive.Load(m_dir.Write("reset.lgp", LgpWriter().Build()).c_str());
        ShellTest::TearDown();
    }

    CIndexBar& Bar() const { return Frame()->m_wndIndexBar; }
    CListCtrl& List() const { return *Frame()->m_wndIndexBar.GetListCtrl(); }

    // Writes the archive into the test's folder and opens it through File > Open.
    std::string Open(const std::string& fileName, const LgpWriter& writer) {
        const std::string path = m_dir.Write(fileName, writer.Build());
        OpenPath(path);
        return path;
    }
    void OpenPath(const std::string& path) {
        prompts.openAnswers.push_back(path);
        Frame()->SendCommand(ID_FILE_OPEN);
    }

    QStringList Names() const {
        QStringList names;
        for (int row = 0; row < List().GetItemCount(); ++row) {
            names << List().GetModel()->Row(row).name;
        }
        return names;
    }
    std::vector<int> ItemData() const {
        std::vector<int> data;
        for (int row = 0; row < List().GetItemCount(); ++row) {
            data.push_back(List().GetItemData(row));
        }
        return data;
    }
    QStringList Panes() const { return {PaneText(0), PaneText(1), PaneText(2), PaneText(3)}; }

    // Entries named as given, each with a few bytes of text.
    static LgpWriter Named(const std::vector<std::string>& names) {
        LgpWriter writer;
        for (const std::string& name : names) {
            writer.AddText(name, "text");
        }
        return writer;
    }

    TempDir m_dir;
};

}  // namespace lumo::test
