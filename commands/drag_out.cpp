// SPDX-License-Identifier: MIT
// Index rows dragged to a file manager or the desktop: the entries are extracted through
// the extraction engine, with the same refusals as Extract, into a folder of their own
// under the program's temporary folder; the drag carries the files, which the drop
// copies where the user lets go. Field entries are decoded when Options > Always
// decompress files is checked, and stored as they are otherwise.
#include "commands/drag_out.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "commands/archive_doc.h"
#include "commands/run_reason_text.h"
#include "extract/extract_engine.h"
#include "platform/prompts.h"

namespace {

// Lives until the program ends, so a drop that copies late still finds the files.
QTemporaryDir& DragRoot() {
    static QTemporaryDir root;
    return root;
}

// Refusals wait until the drag has ended: a message box under the pointer would end it.
std::vector<std::string>& PendingRefusals() {
    static std::vector<std::string> refusals;
    return refusals;
}

QList<QUrl> ExtractForDrag(const std::vector<uint16_t>& entries) {
    CArchiveDoc* document = TheArchiveDoc();
    const EntrySourcePtr source = document ? document->Source() : nullptr;
    if (!source || !DragRoot().isValid()) {
        return {};
    }
    static unsigned serial = 0;
    const QString folder = DragRoot().filePath(QString::number(++serial));
    if (!QDir().mkpath(folder)) {
        return {};
    }
    QList<QUrl> files;
    extract::Options options;
    options.folder = folder.toStdString();
    options.decompress = theApp.AlwaysDecompress();
    options.run.decide = [](const RunFailure&) { return RunDecision::Skip; };
    options.report = [&files, &source](const extract::EntryResult& result) {
        if (result.outcome == extract::Outcome::Written) {
            files << QUrl::fromLocalFile(QString::fromStdString(result.target));
        } else {
            PendingRefusals().push_back(
                QCoreApplication::translate("CLumoApp", "Failed to extract file %1: %2.")
                    .arg(QString::fromStdString(extract::EntryHostName(*source, result.entry)),
                         RunReasonText(result.code, result.reason))
                    .toStdString());
        }
    };
    extract::ExtractEntries(*source, extract::JobsForEntries(*source, entries), options);
    return files;
}

void ReportRefusals() {
    std::vector<std::string> refusals;
    refusals.swap(PendingRefusals());
    for (const std::string& text : refusals) {
        platform::MessageRequest request;
        request.text = text;
        request.icon = platform::MessageIcon::Exclamation;
        platform::Prompts().ShowMessage(request);
    }
}

}  // namespace

void InstallDragOut(CLumoApp& app) {
    app.m_dragFiles = ExtractForDrag;
    app.m_dragEnded = ReportRefusals;
}
