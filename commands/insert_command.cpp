// SPDX-License-Identifier: MIT
// Putting files into the open archive: Insert file(s)..., files dropped on the index,
// Edit > Paste of files on the clipboard, and Replace with... of one entry. Every way in
// ends in one batch of the change list, so one Undo takes the whole insert back. A name
// already in the archive is asked about (Replace / Skip / Replace All / Skip All /
// Cancel), and in the field archive how the files go in is asked once for the batch.
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QString>
#include <map>
#include <optional>

#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/lgp_archive.h"
#include "archive/lgp_rules.h"
#include "commands/archive_doc.h"
#include "edit/field_entry.h"
#include "edit/lgp_changes.h"
#include "indexbar/list_ctrl.h"
#include "platform/ascii.h"
#include "platform/file_output.h"
#include "platform/prompts.h"

// A file to insert, the name it gets and the entry it takes the place of, if any.
struct CArchiveDoc::Insertion {
    std::string path;
    std::string name;
    std::optional<size_t> replaces;
    bool skipped = false;
};

namespace {

using Insertion = CArchiveDoc::Insertion;

QString Tr(const char* text) {
    return QCoreApplication::translate("CLumoApp", text);
}

const char kAnyFileFilter[] = QT_TRANSLATE_NOOP("CLumoApp", "All files (*.*)|*.*|");

// Archive names are Latin-1; a file whose name that cannot hold has no place in one.
std::string ArchiveName(const std::string& path, std::string* why) {
    const QString fileName = QFileInfo(QString::fromStdString(path)).fileName();
    for (QChar c : fileName) {
        if (c.unicode() > 0xFF) {
            *why = Tr("the name has characters an archive cannot hold").toStdString();
            return {};
        }
    }
    const std::string name = fileName.toLatin1().toStdString();
    *why = lgp::NameRefusal(name, true);
    return name;
}

bool IsArchiveFileName(const std::string& path) {
    const std::string_view name = FileNamePart(path);
    return name.size() > 4 && SameIgnoringCase(name.substr(name.size() - 4), ".lgp");
}

// Asks about one name already there unless an earlier answer covers the rest; false
// when the user cancelled.
bool DecideReplace(Insertion& insertion, std::optional<platform::MessageAnswer>& standing) {
    platform::MessageAnswer answer = standing.value_or(platform::MessageAnswer::Cancel);
    if (!standing) {
        platform::MessageRequest question;
        question.text = Tr("%1 is in the archive already. Replace it?")
                            .arg(QString::fromLatin1(insertion.name.c_str()))
                            .toStdString();
        question.buttons = platform::MessageButtons::ReplaceSkipAllCancel;
        question.icon = platform::MessageIcon::Question;
        answer = platform::Prompts().ShowMessage(question);
        if (answer == platform::MessageAnswer::ReplaceAll ||
            answer == platform::MessageAnswer::SkipAll) {
            standing = answer;
        }
    }
    switch (answer) {
        case platform::MessageAnswer::Replace:
        case platform::MessageAnswer::ReplaceAll:
            return true;
        case platform::MessageAnswer::Skip:
        case platform::MessageAnswer::SkipAll:
            insertion.skipped = true;
            return true;
        default:
            return false;
    }
}

// How files go into the field archive, asked once: compressed (the default unless every
// file already is a field entry) or stored as they are. Nothing when cancelled.
std::optional<bool> AskCompress(const std::vector<std::string>& paths) {
    size_t whole = 0;
    for (const std::string& path : paths) {
        whole += IsFieldEntryFile(path) ? 1 : 0;
    }
    platform::MessageRequest question;
    question.text = Tr("Compress the %1 file(s) as the game reads the entries of flevel.lgp?")
                        .arg(static_cast<qulonglong>(paths.size()))
                        .toStdString();
    if (whole != 0) {
        question.detail = Tr("%1 of them already are compressed field entries; those are "
                             "stored as they are either way.")
                              .arg(static_cast<qulonglong>(whole))
                              .toStdString();
    }
    question.buttons = platform::MessageButtons::CompressStoreCancel;
    question.icon = platform::MessageIcon::Question;
    question.defaultAnswer =
        whole == paths.size() ? platform::MessageAnswer::No : platform::MessageAnswer::Yes;
    switch (platform::Prompts().ShowMessage(question)) {
        case platform::MessageAnswer::Yes:
            return true;
        case platform::MessageAnswer::No:
            return false;
        default:
            return std::nullopt;
    }
}

void TellProblems(const std::vector<std::string>& problems) {
    if (problems.empty()) {
        return;
    }
    std::string detail;
    for (const std::string& problem : problems) {
        detail += problem + "\n";
    }
    platform::MessageRequest message;
    message.text = Tr("%1 file(s) could not be inserted.")
                       .arg(static_cast<qulonglong>(problems.size()))
                       .toStdString();
    message.detail = detail;
    message.icon = platform::MessageIcon::Exclamation;
    platform::Prompts().ShowMessage(message);
}

}  // namespace

// Every question is answered before the first change, so Cancel at any of them leaves
// the archive's changes as they were.
bool CArchiveDoc::InsertFiles(const std::vector<std::string>& paths) {
    if (!Source()) {
        return false;
    }
    ArchiveEdits& edits = Edits();
    std::vector<std::string> problems;
    std::vector<Insertion> batch;
    std::map<std::string, size_t> inBatch;  // name -> its place in the batch
    std::optional<platform::MessageAnswer> standing;
    for (const std::string& path : paths) {
        std::string why;
        const std::string name = ArchiveName(path, &why);
        if (!QFileInfo(QString::fromStdString(path)).isFile()) {
            why = Tr("not a file").toStdString();
        }
        if (!why.empty()) {
            problems.push_back(path + ": " + why);
            continue;
        }
        Insertion insertion{path, name, edits.Find(name, ""), false};
        const auto earlier = inBatch.find(name);
        if (insertion.replaces || earlier != inBatch.end()) {
            if (!DecideReplace(insertion, standing)) {
                return false;
            }
            if (!insertion.skipped && earlier != inBatch.end()) {
                batch[earlier->second].skipped = true;  // the later file wins
            }
        }
        if (!insertion.skipped) {
            inBatch[name] = batch.size();
        }
        batch.push_back(insertion);
    }
    return ApplyInsertions(batch, problems);
}

// Only entries the field archive reads as fields (names without a known extension) are
// compressed: a `.txt` there is read as it is stored, and must be stored as it is.
bool CArchiveDoc::ApplyInsertions(const std::vector<Insertion>& batch,
                                  std::vector<std::string>& problems) {
    const std::string archivePath = Source()->ArchivePath();
    const auto isField = [&archivePath](const Insertion& insertion) {
        return IsFieldEntryName(archivePath, insertion.name);
    };
    std::vector<std::string> fields;
    for (const Insertion& insertion : batch) {
        if (!insertion.skipped && isField(insertion)) {
            fields.push_back(insertion.path);
        }
    }
    std::optional<bool> compress = false;
    if (!fields.empty()) {
        compress = AskCompress(fields);
        if (!compress) {
            return false;
        }
    }
    ArchiveEdits& edits = Edits();
    size_t changed = 0;
    edits.BeginBatch();
    for (const Insertion& insertion : batch) {
        if (insertion.skipped) {
            continue;
        }
        std::string error;
        EntrySource source =
            FileEntrySource(insertion.path, isField(insertion) && *compress, &error);
        // A file that cannot be read names itself; a refused change is named here.
        if (error.empty()) {
            const std::string why = insertion.replaces
                                        ? edits.Replace(*insertion.replaces, std::move(source))
                                        : edits.Add(insertion.name, "", std::move(source));
            error = why.empty() ? why : insertion.path + ": " + why;
        }
        if (error.empty()) {
            ++changed;
        } else {
            problems.push_back(error);
        }
    }
    edits.EndBatch();
    if (changed != 0) {
        PublishChanges();
    }
    TellProblems(problems);
    return changed != 0;
}

void CArchiveDoc::OnArchiveInsert() {
    if (!Source()) {
        return;
    }
    platform::OpenFileRequest request;
    request.initialDir = m_insertDir;
    request.filter = Tr(kAnyFileFilter).toStdString();
    request.mustExist = true;
    const std::optional<std::vector<std::string>> chosen = platform::Prompts().OpenFiles(request);
    if (!chosen || chosen->empty()) {
        return;
    }
    m_insertDir = chosen->front().substr(0, FolderPartLength(chosen->front()));
    InsertFiles(*chosen);
}

void CArchiveDoc::OnUpdateArchiveInsert(CCmdUI* pCmdUI) {
    pCmdUI->Enable(Source() != nullptr);
}

void CArchiveDoc::OnEditPaste() {
    if (!Source()) {
        return;
    }
    const QStringList files = CListCtrl::DroppedFiles(QApplication::clipboard()->mimeData());
    if (files.isEmpty()) {
        if (m_app.m_pMainFrame) {
            m_app.m_pMainFrame->m_wndStatusBar.SetPaneText(
                0, Tr("The clipboard holds no files to insert."));
        }
        return;
    }
    std::vector<std::string> paths;
    for (const QString& file : files) {
        paths.push_back(file.toStdString());
    }
    InsertFiles(paths);
}

// Asking the clipboard on every update pass could wait on another program; Paste says
// so in pane 0 when the clipboard holds no files.
void CArchiveDoc::OnUpdateEditPaste(CCmdUI* pCmdUI) {
    pCmdUI->Enable(Source() != nullptr);
}

// A lone archive opens wherever it is dropped; other files go into the open archive.
bool CArchiveDoc::DropOnIndex(const std::vector<std::string>& paths, bool drop) {
    const bool opens = paths.size() == 1 && IsArchiveFileName(paths.front());
    if (!opens && (!Source() || paths.empty())) {
        return false;
    }
    if (!drop) {
        return true;
    }
    return opens ? OpenArchiveFile(paths.front()) : InsertFiles(paths);
}

void CArchiveDoc::OnItemReplace() {
    CListCtrl* list = IndexList();
    if (!Source() || !list || list->GetSelectedCount() != 1) {
        return;
    }
    const size_t position = list->SelectedEntries().front();
    platform::OpenFileRequest request;
    request.initialDir = m_insertDir;
    request.filter = Tr(kAnyFileFilter).toStdString();
    request.mustExist = true;
    const std::optional<std::string> chosen = platform::Prompts().OpenFile(request);
    if (!chosen || chosen->empty() || position >= Source()->Count()) {
        return;
    }
    m_insertDir = chosen->substr(0, FolderPartLength(*chosen));
    std::vector<std::string> problems;
    if (!QFileInfo(QString::fromStdString(*chosen)).isFile()) {
        problems.push_back(*chosen + ": " + Tr("not a file").toStdString());
        TellProblems(problems);
        return;
    }
    Insertion insertion{*chosen, Source()->Name(Source()->IdAt(position)), position, false};
    ApplyInsertions({insertion}, problems);
}

void CArchiveDoc::OnUpdateItemReplace(CCmdUI* pCmdUI) {
    CListCtrl* list = IndexList();
    pCmdUI->Enable(Source() && list && list->isEnabled() && list->GetSelectedCount() == 1);
}
