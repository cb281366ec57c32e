// Extract: write the selected entries to disk.
//
// With fewer than two rows selected one entry is saved where the user says; with more,
// every selected entry goes into one chosen folder under its own name. Field entries are
// stored compressed, and the user decides whether they are written decompressed.
//
// Every file is written through a temporary that is renamed into place, so a failure
// never leaves a half-written file or destroys the one that was there. Entry names come
// from the archive and are untrusted: one that is not a plain file name is never used.
#include <QCoreApplication>
#include <QString>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/entry_buffer.h"
#include "archive/lgp_archive.h"
#include "platform/file_output.h"
#include "platform/prompts.h"

namespace {

const char kDecompressQuestion[] = "Decompress compressed files?";
const char kExtractFailed[] = "Failed to extract file";
const char kFolderTitle[] = "Please specify where to place the extracted files.";
const char kAllFilesFilter[] = "All files (*.*)|*.*||";

uint32_t ReadEntryBytes(uint16_t entry, bool decompress, EntryBuffer& buffer) {
    return decompress ? theArchive.ReadEntryDecompressed(entry, buffer.Address(), 0)
                      : theArchive.ReadEntry(entry, buffer.Address());
}

bool AskDecompress() {
    if (theApp.AlwaysDecompress()) {
        return true;  // Options > Always decompress files: the user answered once for the run
    }
    platform::MessageRequest request;
    request.text = kDecompressQuestion;
    request.buttons = platform::MessageButtons::YesNo;
    request.icon = platform::MessageIcon::Question;
    return platform::Prompts().ShowMessage(request) == platform::MessageAnswer::Yes;
}

void ShowExtractFailed() {
    platform::MessageRequest request;
    request.text = kExtractFailed;
    request.buttons = platform::MessageButtons::Ok;
    request.icon = platform::MessageIcon::Exclamation;
    platform::Prompts().ShowMessage(request);
}

// Whether a target is the open archive itself, under whatever spelling of its path. An
// entry written there would destroy the archive and leave the later entries of the run
// to be read from the bytes of that one.
bool IsOpenArchive(const std::string& path) {
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::u8path(path),
                                       std::filesystem::u8path(theArchive.GetArchivePath()), error);
}

enum class WriteResult { Written, NotCreated, WriteError };

// Writes one extracted file. A file that cannot be created is the user's to hear about
// as "Failed to extract file"; an error while writing (a full disk) gets the file error
// report, and the caller ends the command.
WriteResult WriteExtractedFile(const std::string& path, const EntryBuffer& buffer, uint32_t size) {
    if (!buffer.Valid()) {
        // The archive could not be read again: an empty file in place of the entry, or
        // worse in place of an earlier good copy, would pass for a success.
        ShowExtractFailed();
        return WriteResult::NotCreated;
    }
    if (IsOpenArchive(path)) {
        ShowExtractFailed();
        return WriteResult::NotCreated;
    }
    AtomicWriteResult result = WriteFileAtomicallyDetailed(path, buffer.Data(), size);
    switch (result.failedStep) {
        case AtomicWriteStep::None:
            return WriteResult::Written;
        case AtomicWriteStep::Write:
            platform::Prompts().ReportFileError({path, std::strerror(result.systemError)});
            return WriteResult::WriteError;
        case AtomicWriteStep::Create:
        case AtomicWriteStep::Replace:
            break;
    }
    ShowExtractFailed();
    return WriteResult::NotCreated;
}

QString EntryNameText(uint16_t entry) {
    return QString::fromLatin1(theArchive.GetEntryName(entry));
}

// The name the extracted file gets: the one the index shows, in the UTF-8 that paths use.
// Copied byte for byte, a name with a letter past ASCII would be a different name on
// disk, or no valid path at all.
std::string EntryFileName(uint16_t entry) {
    return EntryNameText(entry).toStdString();
}

// The row last clicked, selected or not. A row can be selected without ever having been
// clicked (Select All on a one-entry archive); then that row is the one meant.
int SingleEntryRow(const CListCtrl& list) {
    const int mark = list.GetSelectionMark();
    if (mark >= 0) {
        return mark;
    }
    const std::vector<int> selected = list.GetSelectedRows();
    return selected.size() == 1 ? selected.front() : -1;
}

void ExtractOneEntry(CListCtrl& list, const std::string& initialDir) {
    // With no row marked and none selected there is nothing to do.
    int item = list.GetItemData(SingleEntryRow(list));
    if (item < 0) {
        return;
    }
    auto entry = static_cast<uint16_t>(item);
    const std::string name = EntryFileName(entry);
    if (!IsPlainFileName(name)) {
        // Offered as the file name, such a name could point the dialog anywhere.
        ShowExtractFailed();
        return;
    }
    bool decompress = theArchive.GetEntryType(entry) == LGP_TYPE_FIELD && AskDecompress();
    EntryBuffer buffer;
    uint32_t size = ReadEntryBytes(entry, decompress, buffer);
    if (!buffer.Valid() || !theArchive.IsEntryWhole(entry)) {
        ShowExtractFailed();  // no use asking where to put bytes we do not have
        return;
    }

    platform::SaveFileRequest request;
    request.initialDir = initialDir;
    request.fileName = name;
    request.defaultExtension =
        QString::fromLatin1(theArchive.GetEntryExtension(entry)).toStdString();
    request.filter = kAllFilesFilter;
    request.overwritePrompt = true;
    std::optional<std::string> path = platform::Prompts().SaveFile(request);
    if (!path) {
        return;
    }
    WriteExtractedFile(*path, buffer, size);
}

void ExtractSelectedEntries(CListCtrl& list, CStatusBar& statusBar) {
    platform::FolderRequest request;
    request.title = kFolderTitle;
    std::optional<std::string> folder = platform::Prompts().BrowseFolder(request);
    if (!folder) {
        return;
    }
    enum class Answer { NotAsked, Yes, No } answer = Answer::NotAsked;
    for (int row : list.GetSelectedRows()) {
        int item = list.GetItemData(row);
        if (item < 0) {
            continue;
        }
        auto entry = static_cast<uint16_t>(item);
        statusBar.SetPaneText(0, QCoreApplication::translate("CLumoApp", "Extracting %1...").arg(EntryNameText(entry)));
        bool field = theArchive.GetEntryType(entry) == LGP_TYPE_FIELD;
        if (field && answer == Answer::NotAsked) {
            // Asked once per run, at the first field entry; the answer holds for the rest.
            answer = AskDecompress() ? Answer::Yes : Answer::No;
        }
        const std::string name = EntryFileName(entry);
        if (!IsPlainFileName(name)) {
            ShowExtractFailed();  // it would land outside the chosen folder, or nowhere
            continue;
        }
        if (!theArchive.IsEntryWhole(entry)) {
            ShowExtractFailed();  // a short copy would pass for the entry
            continue;
        }
        EntryBuffer buffer;
        uint32_t size = ReadEntryBytes(entry, field && answer == Answer::Yes, buffer);
        if (WriteExtractedFile(JoinPath(*folder, name), buffer, size) == WriteResult::WriteError) {
            return;
        }
    }
    statusBar.SetPaneText(
        0, QCoreApplication::translate("CLumoApp", "Successfully extracted %1 files.").arg(list.GetSelectedCount()));
}

}  // namespace

void CLumoApp::OnItemExtract() {
    if (!m_pMainFrame) {
        return;
    }
    CListCtrl* list = m_pMainFrame->m_wndIndexBar.GetListCtrl();
    if (!list) {
        return;
    }
    if (list->GetSelectedCount() < 2) {
        ExtractOneEntry(*list, m_szInitialDir);
    } else {
        ExtractSelectedEntries(*list, m_pMainFrame->m_wndStatusBar);
    }
}
