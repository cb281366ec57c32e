// SPDX-License-Identifier: MIT
// File > New archive...: the new file's name is asked for first, so that what its name
// implies (a field archive compresses what is added) holds from the start; an empty
// archive is written there as every save writes, and opened. Unsaved changes to the
// open archive are asked about before anything else.
#include <QCoreApplication>
#include <QString>

#include "app/lumo_app.h"
#include "archive/lgp_archive.h"
#include "commands/archive_doc.h"
#include "edit/lgp_save.h"
#include "platform/prompts.h"

void CArchiveDoc::OnFileNew() {
    if (m_app.m_pMainFrame == nullptr || !MayDropChanges()) {
        return;
    }
    platform::SaveFileRequest request;
    request.initialDir = m_app.m_szInitialDir;
    request.defaultExtension = "lgp";
    request.filter =
        QCoreApplication::translate("CLumoApp", "LGP Archives (*.lgp)|*.lgp|All files (*.*)|*.*|")
            .toStdString();
    const std::optional<std::string> chosen = platform::Prompts().SaveFile(request);
    if (!chosen || chosen->empty()) {
        return;
    }
    const CLgpArchive none;
    const SaveResult saved = SaveArchive(none, {}, *chosen);
    if (!saved.Ok()) {
        platform::MessageRequest message;
        message.text =
            QCoreApplication::translate("CLumoApp", "Failed to create %1: %2.")
                .arg(QString::fromStdString(*chosen), QString::fromStdString(saved.error))
                .toStdString();
        message.icon = platform::MessageIcon::Exclamation;
        platform::Prompts().ShowMessage(message);
        return;
    }
    OpenArchiveFile(*chosen);
}
