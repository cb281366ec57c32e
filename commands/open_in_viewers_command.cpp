// SPDX-License-Identifier: MIT
// Open and Open as...: show each selected entry in a window of its own, in the viewer
// its type (or the user) picks.
#include <QCoreApplication>
#include <QString>
#include <string>
#include <vector>

#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "commands/archive_doc.h"
#include "commands/open_as_dialog.h"
#include "platform/prompts.h"
#include "viewers/child_frame.h"
#include "viewers/viewer_table.h"

namespace {

std::vector<uint16_t> SelectedEntries(CMainFrame* frame) {
    CListCtrl* list = frame ? frame->m_wndIndexBar.GetListCtrl() : nullptr;
    return list ? list->SelectedEntries() : std::vector<uint16_t>();
}

// The viewer `chosen`, or the one the entry's type picks, or its name; an entry of no
// known kind whose stored bytes are text goes to the text viewer.
const ViewerInfo& ViewerOf(const IEntrySource& source, EntryId id, const ViewerInfo* chosen) {
    if (chosen) {
        return *chosen;
    }
    const ViewerInfo& byType = ViewerFor(source.Type(id));
    if (byType.kind != ViewerKind::Hex) {
        return byType;
    }
    if (const ViewerInfo* byName = ViewerForName(source.Type(id), source.Name(id))) {
        return *byName;
    }
    std::vector<uint8_t> bytes;
    source.Read(id, false, &bytes);
    return ViewerForContent(source.Type(id), bytes.data(), bytes.size());
}

void OpenEntry(CMainFrame* frame, ArchiveDocument& document, const EntrySourcePtr& source,
               EntryId id, const ViewerInfo* chosen) {
    const ViewerInfo& viewer = ViewerOf(*source, id, chosen);
    CChildFrame* child = frame->CreateNewChild(viewer.className);
    if (!child) {
        child = frame->CreateNewChild("CChildFrame");  // the placeholder, at least
    }
    if (!child) {
        return;  // nothing to show it in: go on with the next row
    }
    child->SetEntry(source, id, &document);
    // The child may close itself in here (an entry it cannot show, after saying why);
    // it is not touched again afterwards.
    child->LoadEntryFrom(source, id);
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

void CArchiveDoc::OnItemOpen() {
    const EntrySourcePtr source = Source();
    const std::vector<uint16_t> entries = SelectedEntries(m_app.m_pMainFrame);
    if (!source || !MayOpen(entries.size())) {
        return;
    }
    // Top to bottom, so the last selected row's window ends up active.
    for (uint16_t entry : entries) {
        OpenEntry(m_app.m_pMainFrame, Document(), source, source->IdAt(entry), nullptr);
    }
}

void CArchiveDoc::OnItemOpenAs() {
    const EntrySourcePtr source = Source();
    const std::vector<uint16_t> entries = SelectedEntries(m_app.m_pMainFrame);
    if (!source || entries.empty()) {
        return;
    }
    const std::optional<ViewerKind> kind = AskViewer(m_app.m_pMainFrame, entries.size());
    if (!kind || !MayOpen(entries.size())) {
        return;
    }
    for (uint16_t entry : entries) {
        OpenEntry(m_app.m_pMainFrame, Document(), source, source->IdAt(entry),
                  &ViewerInfoFor(*kind));
    }
}
