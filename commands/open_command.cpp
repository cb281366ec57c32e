// SPDX-License-Identifier: MIT
// File > Open archive: choose an archive, load it into the catalogue and fill the index.
#include <QCoreApplication>
#include <QString>
#include <optional>
#include <string>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/lgp_archive.h"
#include "archive/lgp_snapshot.h"
#include "commands/archive_doc.h"
#include "environment/game_environment.h"
#include "platform/file_output.h"
#include "platform/prompts.h"

namespace {

const char kArchiveFilter[] =
    QT_TRANSLATE_NOOP("CLumoApp", "LGP Archives (*.lgp)|*.lgp|All files (*.*)|*.*|");

// A file that could not be loaded leaves the catalogue as it was, so the index, the
// caption and the archive panes keep describing the archive that is still open.
void ReportFailedLoad(CStatusBar& statusBar, const std::string& path, const std::string& name,
                      LgpLoadStatus status) {
    const std::string reason = DescribeLoadStatus(status);
    statusBar.SetPaneText(0,
                          QCoreApplication::translate("CLumoApp", "Failed to load %1: %2.")
                              .arg(QString::fromStdString(name), QString::fromStdString(reason)));
    platform::MessageRequest message;
    message.text = QCoreApplication::translate("CLumoApp", "Failed to load %1: %2.")
                       .arg(QString::fromStdString(path), QString::fromStdString(reason))
                       .toStdString();
    message.icon = platform::MessageIcon::Exclamation;
    platform::Prompts().ShowMessage(message);
}

// The document takes the catalogue's new snapshot; the index follows it by itself.
void ShowOpened(CMainFrame& frame, ArchiveDocument& document, const std::string& fileName) {
    CStatusBar& statusBar = frame.m_wndStatusBar;
    statusBar.SetPaneText(0, QCoreApplication::translate("CLumoApp", "Listing..."));
    frame.m_wndIndexBar.SetArchiveName(QString::fromStdString(fileName));
    document.SetSource(theArchive.Snapshot());

    const IEntrySource& source = *document.Source();
    const auto count = static_cast<qulonglong>(source.Count());

    char size[16];
    statusBar.SetPaneText(
        0, QCoreApplication::translate("CLumoApp", "%1 files successfully loaded.").arg(count));
    statusBar.SetPaneText(1, QString::fromStdString(fileName));
    statusBar.SetPaneText(2, QCoreApplication::translate("CLumoApp", "%1 files").arg(count));
    statusBar.SetPaneText(3, QString::fromLatin1(CGameEnvironment::FormatSizeLong(
                                 size, static_cast<uint32_t>(source.ArchiveLength()))));
}

}  // namespace

void CArchiveDoc::OnFileOpen() {
    if (m_app.m_pMainFrame == nullptr) {
        return;
    }
    platform::OpenFileRequest request;
    request.initialDir = m_app.m_szInitialDir;
    request.fileName = m_app.m_szFileName;
    request.filter = QCoreApplication::translate("CLumoApp", kArchiveFilter).toStdString();
    request.mustExist = true;
    const std::optional<std::string> chosen = platform::Prompts().OpenFile(request);
    if (!chosen || chosen->empty()) {
        return;
    }

    OpenArchiveFile(*chosen);
}

bool CArchiveDoc::OpenArchiveFile(const std::string& path) {
    if (m_app.m_pMainFrame == nullptr || path.empty() || !MayDropChanges()) {
        return false;
    }
    // The buffers follow the chosen file even when it then fails to load: the next
    // dialog starts in its folder with its name filled in, ready to be corrected.
    const size_t folderLength = FolderPartLength(path);
    m_app.m_szPathName = path;
    m_app.m_szFileName = path.substr(folderLength);
    m_app.m_szInitialDir = path.substr(0, folderLength);

    CStatusBar& statusBar = m_app.m_pMainFrame->m_wndStatusBar;
    statusBar.SetPaneText(0, QCoreApplication::translate("CLumoApp", "Loading..."));
    theArchive.Load(m_app.m_szPathName.c_str());
    const LgpLoadStatus status = theArchive.GetLastLoadStatus();
    if (status != LgpLoadStatus::Ok) {
        ReportFailedLoad(statusBar, m_app.m_szPathName, m_app.m_szFileName, status);
        return false;
    }
    ForgetChanges();
    ShowOpened(*m_app.m_pMainFrame, m_document, m_app.m_szFileName);
    return true;
}
