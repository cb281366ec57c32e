// SPDX-License-Identifier: MIT
// Extract: write the selected entries to disk, through the extraction engine that
// lumo-cli uses as well.
//
// With one selected row (or none, and a row holding the selection mark) that entry is
// saved where the user says; with more, every selected entry goes into one chosen folder
// under its own name. Field entries are stored compressed, and the user decides whether
// they are written decompressed. A long run shows its progress and can be cancelled; a
// failure is shown once, naming the entry and the reason, and the user may skip it, skip
// all further ones, or stop.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/entry_check.h"
#include "archive/lgp_archive.h"
#include "archive/run_shape.h"
#include "commands/archive_commands.h"
#include "commands/archive_doc.h"
#include "commands/run_reason_text.h"
#include "extract/durable_batch.h"
#include "extract/extract_engine.h"
#include "extract/host_names.h"
#include "platform/file_output.h"
#include "platform/prompts.h"
#include "viewers/child_frame.h"

namespace {

const char kDecompressQuestion[] = QT_TRANSLATE_NOOP("CLumoApp", "Decompress compressed files?");
const char kFolderTitle[] =
    QT_TRANSLATE_NOOP("CLumoApp", "Please specify where to place the extracted files.");
const char kAllFilesFilter[] = QT_TRANSLATE_NOOP("CLumoApp", "All files (*.*)|*.*||");
const char kProgressTitle[] = QT_TRANSLATE_NOOP("CLumoApp", "Extracting files...");
constexpr qint64 kTextMilliseconds = 33;

// A text of the tables above as the prompts take it.
std::string Text(const char* source) {
    return QCoreApplication::translate("CLumoApp", source).toStdString();
}

bool AskDecompress() {
    if (theApp.AlwaysDecompress()) {
        return true;  // Options > Always decompress files: the user answered once for the run
    }
    platform::MessageRequest request;
    request.text = Text(kDecompressQuestion);
    request.buttons = platform::MessageButtons::YesNo;
    request.icon = platform::MessageIcon::Question;
    return platform::Prompts().ShowMessage(request) == platform::MessageAnswer::Yes;
}

// "Failed to extract file NAME: REASON." with the name as the index shows it.
platform::MessageAnswer ShowFailure(const IEntrySource& source, EntryId entry,
                                    const std::string& reason, platform::MessageButtons buttons) {
    platform::MessageRequest request;
    request.text =
        QCoreApplication::translate("CLumoApp", "Failed to extract file %1: %2.")
            .arg(QString::fromStdString(EscapeForMessage(extract::EntryHostName(source, entry))),
                 QString::fromStdString(reason))
            .toStdString();
    request.buttons = buttons;
    request.icon = platform::MessageIcon::Exclamation;
    return platform::Prompts().ShowMessage(request);
}

QString EntryNameText(const IEntrySource& source, EntryId entry) {
    return QString::fromStdString(extract::EntryHostName(source, entry));
}

QString ExtractingText(const IEntrySource& source, EntryId entry) {
    return QCoreApplication::translate("CLumoApp", "Extracting %1...")
        .arg(EntryNameText(source, entry));
}

// With exactly one row selected, its entry; with none, the entry of the row last
// clicked, which holds the selection mark.
int SingleEntry(const CListCtrl& list) {
    const std::vector<uint16_t> selected = list.SelectedEntries();
    return selected.size() == 1 ? selected.front() : list.MarkedEntry();
}

void ExtractOneEntry(const IEntrySource& source, EntryId entry, std::string& startDir) {
    const std::string name = extract::EntryHostName(source, entry);
    const auto once = platform::MessageButtons::Ok;
    if (!IsPlainFileName(name)) {
        // Offered as the file name, such a name could point the dialog anywhere.
        ShowFailure(source, entry, Text(QT_TRANSLATE_NOOP("CLumoApp", "not a plain file name")),
                    once);
        return;
    }
    bool decompress = IsCompressedType(source.Type(entry)) && AskDecompress();
    // No use asking where to put bytes we do not have.
    const EntryCheck check = source.Check(entry, decompress);
    if (!check.Whole()) {
        ShowFailure(source, entry,
                    RunReasonText(ReasonOf(check.problem), DescribeEntryProblem(check.problem))
                        .toStdString(),
                    once);
        return;
    }

    platform::SaveFileRequest request;
    request.initialDir = startDir;
    request.fileName = name;
    request.defaultExtension = HostNameFromLatin1(source.Extension(entry));
    request.filter = Text(kAllFilesFilter);
    request.overwritePrompt = true;
    std::optional<std::string> path = platform::Prompts().SaveFile(request);
    if (!path) {
        return;
    }
    startDir = extract::FolderOf(*path);
    extract::Options options;
    options.decompress = decompress;
    options.run.decide = [&](const RunFailure& failure) {
        ShowFailure(source, entry, RunReasonText(failure.reason, failure.text).toStdString(), once);
        return RunDecision::Skip;
    };
    extract::Job job;
    job.entry = entry;
    job.target = *path;
    // A changed archive stops the engine before it asks; said here instead.
    if (extract::ExtractEntries(source, {job}, options).archiveChanged) {
        ShowFailure(source, entry, DescribeEntryProblem(EntryProblem::ArchiveChanged), once);
    }
}

void ExtractOneEntry(const IEntrySource& source, CListCtrl& list, std::string& startDir) {
    // With no row marked and none selected there is nothing to do.
    int item = SingleEntry(list);
    if (item >= 0) {
        ExtractOneEntry(source, source.IdAt(static_cast<uint16_t>(item)), startDir);
    }
}

// The first extraction starts in the archive's folder; later ones where the last went.
std::string& ExtractStart(CLumoApp& app) {
    if (app.m_szExtractDir.empty()) {
        app.m_szExtractDir = app.m_szInitialDir;
    }
    return app.m_szExtractDir;
}

RunDecision AskAboutFailure(const IEntrySource& source, const RunFailure& failure) {
    switch (ShowFailure(source, failure.entry,
                        RunReasonText(failure.reason, failure.text).toStdString(),
                        platform::MessageButtons::SkipSkipAllCancel)) {
        case platform::MessageAnswer::Skip:
        case platform::MessageAnswer::Ok:
            return RunDecision::Skip;
        case platform::MessageAnswer::SkipAll:
            return RunDecision::SkipAll;
        default:
            return RunDecision::Cancel;
    }
}

// Asked for each entry whose file is in the folder already, until the user answers for
// them all; a modder's edited copies must not go without a word.
extract::ReplaceDecision AskAboutReplacing(const extract::EntryResult& result) {
    platform::MessageRequest request;
    request.text =
        QCoreApplication::translate("CLumoApp", "The file %1 exists already. Replace it?")
            .arg(QString::fromStdString(result.target))
            .toStdString();
    request.buttons = platform::MessageButtons::ReplaceSkipAllCancel;
    request.icon = platform::MessageIcon::Question;
    switch (platform::Prompts().ShowMessage(request)) {
        case platform::MessageAnswer::Replace:
            return extract::ReplaceDecision::Replace;
        case platform::MessageAnswer::ReplaceAll:
            return extract::ReplaceDecision::ReplaceAll;
        case platform::MessageAnswer::Skip:
            return extract::ReplaceDecision::Skip;
        case platform::MessageAnswer::SkipAll:
            return extract::ReplaceDecision::SkipAll;
        default:
            return extract::ReplaceDecision::Cancel;
    }
}

// Asked once per run, while pane 0 names the first field entry; the answer holds for
// every field entry of the run.
bool AskDecompressFor(const IEntrySource& source, const std::vector<uint16_t>& entries,
                      CStatusBar& statusBar) {
    for (uint16_t position : entries) {
        const EntryId entry = source.IdAt(position);
        if (IsCompressedType(source.Type(entry))) {
            statusBar.SetPaneText(0, ExtractingText(source, entry));
            return AskDecompress();
        }
    }
    return false;
}

// Entries a cancelled run never reached did not fail; those a changed archive kept from
// being read did. Files the user kept are neither.
QString FinalStatus(const extract::Summary& summary) {
    if (summary.AllWritten()) {
        return QCoreApplication::translate("CLumoApp", "Successfully extracted %1 files.")
            .arg(summary.written);
    }
    const size_t failed = summary.cancelled ? summary.refused + summary.failed + summary.partial
                                            : summary.total - summary.written - summary.kept;
    QString text =
        summary.cancelled
            ? QCoreApplication::translate("CLumoApp",
                                          "Extraction cancelled after %1 of %2 files; %3 failed.")
            : QCoreApplication::translate("CLumoApp", "Extracted %1 of %2 files; %3 failed.");
    text = text.arg(summary.written).arg(summary.total).arg(failed);
    if (summary.kept == 1) {
        text += QCoreApplication::translate("CLumoApp", " 1 existing file kept.");
    } else if (summary.kept > 1) {
        text +=
            QCoreApplication::translate("CLumoApp", " %1 existing files kept.").arg(summary.kept);
    }
    return text;
}

void ExtractSelectedEntries(const IEntrySource& source, CListCtrl& list, CStatusBar& statusBar,
                            std::string& startDir) {
    platform::FolderRequest request;
    request.title = Text(kFolderTitle);
    request.initialDir = startDir;
    std::optional<std::string> folder = platform::Prompts().BrowseFolder(request);
    if (!folder) {
        return;
    }
    startDir = *folder;
    const std::vector<uint16_t> entries = list.SelectedEntries();
    extract::Options options;
    options.folder = *folder;
    options.decompress = AskDecompressFor(source, entries, statusBar);
    platform::ProgressRequest progressRequest;
    progressRequest.title = Text(kProgressTitle);
    progressRequest.total = entries.size();
    std::unique_ptr<platform::IProgress> progress =
        platform::Prompts().BeginProgress(progressRequest);
    // Thousands of small entries are written in a second or two; bringing the pane and
    // the dialog up to date for each would cost more than the writing, and nobody reads
    // faster than thirty texts a second.
    QElapsedTimer sinceText;
    options.run.progress = [&](size_t done, size_t, EntryId entry) {
        if (sinceText.isValid() && sinceText.elapsed() < kTextMilliseconds) {
            return progress->Step(done, std::string());
        }
        sinceText.start();
        const QString text = ExtractingText(source, entry);
        statusBar.SetPaneText(0, text);
        return progress->Step(done, text.toStdString());
    };
    // A question names its entry in pane 0 too, whatever the pane last showed.
    const auto name = [&](EntryId entry) {
        statusBar.SetPaneText(0, ExtractingText(source, entry));
    };
    options.replace = [&](const extract::EntryResult& result) {
        name(result.entry);
        return AskAboutReplacing(result);
    };
    options.run.decide = [&](const RunFailure& failure) {
        name(failure.entry);
        return AskAboutFailure(source, failure);
    };
    const extract::Summary summary =
        extract::ExtractEntries(source, extract::JobsForEntries(source, entries), options);
    progress.reset();
    if (summary.archiveChanged) {
        platform::MessageRequest changed;
        changed.text = Text(QT_TRANSLATE_NOOP(
            "CLumoApp",
            "The archive changed on disk since it was opened; the extraction stopped."));
        changed.icon = platform::MessageIcon::Exclamation;
        platform::Prompts().ShowMessage(changed);
    }
    statusBar.SetPaneText(0, FinalStatus(summary));
}

}  // namespace

void CArchiveDoc::OnItemExtract() {
    const EntrySourcePtr source = Source();
    if (!m_app.m_pMainFrame || !source) {
        return;
    }
    CListCtrl* list = m_app.m_pMainFrame->m_wndIndexBar.GetListCtrl();
    if (!list) {
        return;
    }
    if (list->GetSelectedCount() < 2) {
        ExtractOneEntry(*source, *list, ExtractStart(m_app));
    } else {
        ExtractSelectedEntries(*source, *list, m_app.m_pMainFrame->m_wndStatusBar,
                               ExtractStart(m_app));
    }
}

void ExtractWindowEntry(CChildFrame& frame) {
    // Held for the run: the window may be closed while a dialog is up.
    const EntrySourcePtr source = frame.GetEntrySource();
    if (source && source->Contains(frame.GetEntry())) {
        ExtractOneEntry(*source, frame.GetEntry(), ExtractStart(theApp));
    }
}
