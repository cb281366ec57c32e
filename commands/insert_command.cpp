// SPDX-License-Identifier: MIT
// Putting files into the open archive: Insert file(s)..., files dropped on the index,
// Edit > Paste of files on the clipboard, and Replace with... of one entry. A folder
// stands for every file below it, as it does for lumo-cli's create and add. Every way in
// ends in one batch of the change list, so one Undo takes the whole insert back, and the
// rows it put in are the index's selection. A name already in the archive is asked about
// (Replace / Skip / Replace All / Skip All / Cancel), and in the field archive how the
// files go in is asked once for the batch.
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QString>
#include <map>
#include <optional>
#include <unordered_map>

#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/lgp_archive.h"
#include "archive/lgp_rules.h"
#include "commands/archive_doc.h"
#include "commands/insert_questions.h"
#include "edit/field_entry.h"
#include "edit/files_to_add.h"
#include "edit/lgp_changes.h"
#include "indexbar/list_ctrl.h"
#include "platform/ascii.h"
#include "platform/file_output.h"
#include "platform/prompts.h"

// A file to insert, the name it gets and the entry it takes the place of, if any.
struct CArchiveDoc::Insertion {
    std::string path;
    std::string name;
    std::string folder;
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

// The entry a file of this name and folder takes the place of, as ArchiveEdits::Find
// finds it (the same folder, or at the top level the only entry of the name), looked up
// by name so that a folder of thousands of files is not a scan per file.
class EntryFinder {
public:
    explicit EntryFinder(const ArchiveEdits& edits) : m_entries(edits.Entries()) {
        for (size_t i = 0; i < m_entries.size(); ++i) {
            m_byName[m_entries[i].entry.name].push_back(i);
        }
    }
    std::optional<size_t> Find(const std::string& name, const std::string& folder) const {
        const auto named = m_byName.find(name);
        const std::vector<size_t> none;
        const std::vector<size_t>& positions = named == m_byName.end() ? none : named->second;
        for (size_t i : positions) {
            if (m_entries[i].entry.folder == folder) {
                return i;
            }
        }
        return folder.empty() && positions.size() == 1 ? positions.front()
                                                       : std::optional<size_t>();
    }

private:
    const std::vector<EditedEntry>& m_entries;
    std::unordered_map<std::string, std::vector<size_t>> m_byName;
};

// The files the paths stand for; a folder that cannot be walked is a problem, and
// `empty` names the first folder with no file in it.
std::vector<FileToAdd> FilesOf(const std::vector<std::string>& paths,
                               std::vector<std::string>& problems, std::string* empty) {
    std::vector<FileToAdd> files;
    for (const std::string& path : paths) {
        const size_t before = files.size();
        const std::string why = ExpandPath(path, "", &files);
        if (!why.empty()) {
            problems.push_back(path + ": " + why);
        } else if (files.size() == before && empty->empty()) {
            *empty = path;
        }
    }
    return files;
}

bool IsArchiveFileName(const std::string& path) {
    const std::string_view name = FileNamePart(path);
    return name.size() > 4 && SameIgnoringCase(name.substr(name.size() - 4), ".lgp");
}

}  // namespace

// Every question is answered before the first change, so Cancel at any of them leaves
// the archive's changes as they were. Two files for one entry: the later one wins.
bool CArchiveDoc::InsertFiles(const std::vector<std::string>& paths) {
    if (!Source()) {
        return false;
    }
    std::vector<std::string> problems;
    std::string emptyFolder;
    const std::vector<FileToAdd> files = FilesOf(paths, problems, &emptyFolder);
    const EntryFinder finder(Edits());
    std::vector<Insertion> batch;
    std::map<std::string, size_t> inBatch;  // the entry a file goes to -> its place in the batch
    std::optional<platform::MessageAnswer> standing;
    for (const FileToAdd& file : files) {
        std::string why;
        const std::string name = ArchiveName(file.path, &why);
        if (!QFileInfo(QString::fromStdString(file.path)).isFile()) {
            why = Tr("not a file").toStdString();
        }
        if (!why.empty()) {
            problems.push_back(file.path + ": " + why);
            continue;
        }
        Insertion insertion{file.path, name, file.folder, finder.Find(name, file.folder), false};
        const std::string target = insertion.replaces ? "#" + std::to_string(*insertion.replaces)
                                                      : name + '\0' + file.folder;
        const auto earlier = inBatch.find(target);
        if (insertion.replaces || earlier != inBatch.end()) {
            const std::string shown = file.folder.empty() ? name : file.folder + "/" + name;
            const std::optional<bool> replace = AskReplace(shown, standing);
            if (!replace) {
                return false;
            }
            insertion.skipped = !*replace;
            if (!insertion.skipped && earlier != inBatch.end()) {
                batch[earlier->second].skipped = true;
            }
        }
        if (!insertion.skipped) {
            inBatch[target] = batch.size();
        }
        batch.push_back(insertion);
    }
    if (files.empty() && problems.empty() && !emptyFolder.empty() && m_app.m_pMainFrame) {
        m_app.m_pMainFrame->m_wndStatusBar.SetPaneText(
            0, Tr("%1 holds no files to insert.").arg(QString::fromStdString(emptyFolder)));
        return false;
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
    std::vector<size_t> changed;  // positions, which adding at the end leaves in place
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
            const std::string why =
                insertion.replaces ? edits.Replace(*insertion.replaces, std::move(source))
                                   : edits.Add(insertion.name, insertion.folder, std::move(source));
            error = why.empty() ? why : insertion.path + ": " + why;
        }
        if (error.empty()) {
            changed.push_back(insertion.replaces ? *insertion.replaces
                                                 : edits.Entries().size() - 1);
        } else {
            problems.push_back(error);
        }
    }
    edits.EndBatch();
    if (!changed.empty()) {
        PublishChanges();
        SelectChanged(changed);
    }
    TellInsertProblems(problems);
    return !changed.empty();
}

// The rows an insert put in become the selection, the topmost current and in view, so
// that what was added is what the user sees.
void CArchiveDoc::SelectChanged(const std::vector<size_t>& positions) {
    CListCtrl* list = IndexList();
    if (!list) {
        return;
    }
    const std::vector<uint16_t> entries(positions.begin(), positions.end());
    list->SelectEntries(entries, -1, false);
    const std::vector<uint16_t> shown = list->SelectedEntries();  // top to bottom
    if (!shown.empty()) {
        list->SelectEntries(entries, shown.front(), true);
    }
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

// A lone archive opens wherever it is dropped; other files, and folders (an extracted
// archive's folder may well be named like one), go into the open archive.
bool CArchiveDoc::DropOnIndex(const std::vector<std::string>& paths, bool drop) {
    const bool opens =
        paths.size() == 1 && IsArchiveFileName(paths.front()) && !IsFolderPath(paths.front());
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
        TellInsertProblems(problems);
        return;
    }
    const EntryId id = Source()->IdAt(position);
    Insertion insertion{*chosen, Source()->Name(id), Source()->Folder(id), position, false};
    ApplyInsertions({insertion}, problems);
}

void CArchiveDoc::OnUpdateItemReplace(CCmdUI* pCmdUI) {
    CListCtrl* list = IndexList();
    pCmdUI->Enable(Source() && list && list->isEnabled() && list->GetSelectedCount() == 1);
}
