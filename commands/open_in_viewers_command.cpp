// Open: show each selected entry in a window of its own.
#include <QString>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/entry_buffer.h"
#include "archive/lgp_archive.h"
#include "platform/prompts.h"
#include "viewers/child_frame.h"

namespace {

// More windows than anyone reads at once is most likely a Select All by mistake.
constexpr size_t kWindowsWithoutAsking = 32;

// "65,535"
std::string GroupedCount(size_t count) {
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<size_t>(at), ",");
    }
    return digits;
}

bool AskOpenMany(size_t count) {
    platform::MessageRequest request;
    request.text = "Open " + GroupedCount(count) + " windows?";
    request.buttons = platform::MessageButtons::YesNo;
    request.icon = platform::MessageIcon::Question;
    return platform::Prompts().ShowMessage(request) == platform::MessageAnswer::Yes;
}

}  // namespace

void CLumoApp::OnItemOpen() {
    if (!m_pMainFrame) {
        return;
    }
    CListCtrl* list = m_pMainFrame->m_wndIndexBar.GetListCtrl();
    if (!list) {
        return;
    }
    const std::vector<int> rows = list->GetSelectedRows();
    if (rows.size() > kWindowsWithoutAsking && !AskOpenMany(rows.size())) {
        return;
    }
    // Top to bottom, so the last selected row's window ends up active.
    for (int row : rows) {
        int item = list->GetItemData(row);
        if (item < 0) {
            continue;
        }
        auto entry = static_cast<uint16_t>(item);
        // A field entry is the one entry kind that opens in a viewer of its own, and the
        // one that is read decompressed: the viewer wants the field file, not the stream.
        bool field = theArchive.GetEntryType(entry) == LGP_TYPE_FIELD;
        CChildFrame* child = m_pMainFrame->CreateNewChild(field ? "CEditorText" : "CChildFrame");
        if (!child) {
            continue;  // nothing to show it in: go on with the next row
        }
        child->setWindowTitle(QString::fromLatin1(theArchive.GetEntryName(entry)));

        EntryBuffer buffer;
        uint32_t size = field ? theArchive.ReadEntryDecompressed(entry, buffer.Address(), 0)
                              : theArchive.ReadEntry(entry, buffer.Address());
        // The child may close itself in here (a field it cannot show); it is not touched
        // again afterwards.
        child->LoadEntryData(buffer.Data(), size);
    }
}
