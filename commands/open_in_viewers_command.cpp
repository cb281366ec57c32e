// Open and Open as...: show each selected entry in a window of its own, in the viewer
// its type (or the user) picks.
#include <QCoreApplication>
#include <QString>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/entry_buffer.h"
#include "archive/lgp_archive.h"
#include "commands/open_as_dialog.h"
#include "platform/prompts.h"
#include "viewers/child_frame.h"
#include "viewers/viewer_table.h"

namespace {

std::vector<uint16_t> SelectedEntries(CMainFrame* frame) {
    CListCtrl* list = frame ? frame->m_wndIndexBar.GetListCtrl() : nullptr;
    return list ? list->SelectedEntries() : std::vector<uint16_t>();
}

// Reads the entry as `viewer` wants it, or as its type says when no viewer is given
// (then the bytes may still turn an entry of no known kind into text).
void OpenEntry(CMainFrame* frame, uint16_t entry, const ViewerInfo* chosen) {
    const uint8_t type = theArchive.GetEntryType(entry);
    const ViewerInfo& wanted = chosen ? *chosen : ViewerFor(type);
    EntryBuffer buffer;
    const uint32_t size = wanted.decoded
                              ? theArchive.ReadEntryDecompressed(entry, buffer.Address(), 0)
                              : theArchive.ReadEntry(entry, buffer.Address());
    const ViewerInfo& viewer = chosen ? *chosen : ViewerForContent(type, buffer.Data(), size);
    CChildFrame* child = frame->CreateNewChild(viewer.className);
    if (!child) {
        child = frame->CreateNewChild("CChildFrame");  // the placeholder, at least
    }
    if (!child) {
        return;  // nothing to show it in: go on with the next row
    }
    child->setWindowTitle(QString::fromLatin1(theArchive.GetEntryName(entry)));
    child->SetSourceFile(theArchive.GetArchiveIdentity());
    // The child may close itself in here (an entry it cannot show, after saying why);
    // it is not touched again afterwards.
    child->LoadEntryBuffer(buffer, size);
}

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

// Whether to go on with opening `count` windows; asked only past a few dozen.
bool MayOpen(size_t count) {
    if (count <= kWindowsWithoutAsking) {
        return true;
    }
    platform::MessageRequest request;
    request.text = QCoreApplication::translate("CLumoApp", "Open %1 windows?")
                       .arg(QString::fromStdString(GroupedCount(count)))
                       .toStdString();
    request.buttons = platform::MessageButtons::YesNo;
    request.icon = platform::MessageIcon::Question;
    return platform::Prompts().ShowMessage(request) == platform::MessageAnswer::Yes;
}

}  // namespace

void CLumoApp::OnItemOpen() {
    const std::vector<uint16_t> entries = SelectedEntries(m_pMainFrame);
    if (!MayOpen(entries.size())) {
        return;
    }
    // Top to bottom, so the last selected row's window ends up active.
    for (uint16_t entry : entries) {
        OpenEntry(m_pMainFrame, entry, nullptr);
    }
}

void CLumoApp::OnItemOpenAs() {
    const std::vector<uint16_t> entries = SelectedEntries(m_pMainFrame);
    if (entries.empty()) {
        return;
    }
    const std::optional<ViewerKind> kind = AskViewer(m_pMainFrame, entries.size());
    if (!kind || !MayOpen(entries.size())) {
        return;
    }
    for (uint16_t entry : entries) {
        OpenEntry(m_pMainFrame, entry, &ViewerInfoFor(*kind));
    }
}
