// File > Open archive: choose an archive, load it into the catalogue and fill the index.
#include <QCoreApplication>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/lumo_app.h"
#include "app/main_frame.h"
#include "archive/lgp_archive.h"
#include "environment/game_environment.h"
#include "platform/file_output.h"
#include "platform/prompts.h"

namespace {

const char kArchiveFilter[] =
    QT_TRANSLATE_NOOP("CLumoApp", "LGP Archives (*.lgp)|*.lgp|All files (*.*)|*.*|");

// One row per entry in archive order: the row's item data is the entry index. The rows
// are built first and handed to the list in one go, so the view sees one insertion.
std::vector<IndexRow> RowsOf(const CLgpArchive& archive) {
    const uint16_t count = archive.GetEntryCount();
    std::vector<IndexRow> rows(count);
    char size[16];
    for (uint16_t i = 0; i < count; ++i) {
        IndexRow& row = rows[i];
        row.entryIndex = i;
        // Names are single bytes per character on the archives' home platform.
        row.name = QString::fromLatin1(archive.GetEntryName(i));
        // Entries sharing a name are told apart by the folder the archive gives them.
        if (*archive.GetEntryFolder(i) != '\0') {
            row.name = QString::fromLatin1(archive.GetEntryFolder(i)) + '/' + row.name;
        }
        row.sizeText =
            QString::fromLatin1(CGameEnvironment::FormatSizeShort(size, archive.GetEntrySize(i)));
        row.typeCode = archive.GetEntryType(i);
    }
    return rows;
}

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

void FillIndex(CMainFrame& frame, const std::string& fileName) {
    CStatusBar& statusBar = frame.m_wndStatusBar;
    CListCtrl* list = frame.m_wndIndexBar.GetListCtrl();
    if (list != nullptr) {
        // Disabled until the new rows are all in, so nothing acts on a half-built index.
        list->setEnabled(false);
        list->DeleteAllItems();
    }
    statusBar.SetPaneText(0, QCoreApplication::translate("CLumoApp", "Listing..."));
    frame.m_wndIndexBar.SetArchiveName(QString::fromStdString(fileName));

    // Rows come in archive order whatever sort mode is stored; the next sort command
    // applies it.
    const uint16_t count = theArchive.GetEntryCount();
    if (list != nullptr) {
        list->AppendRows(RowsOf(theArchive));
        list->setEnabled(true);
        list->FocusFirstRow();
    }

    char size[16];
    statusBar.SetPaneText(
        0, QCoreApplication::translate("CLumoApp", "%1 files successfully loaded.").arg(count));
    statusBar.SetPaneText(1, QString::fromStdString(fileName));
    statusBar.SetPaneText(2, QCoreApplication::translate("CLumoApp", "%1 files").arg(count));
    statusBar.SetPaneText(3, QString::fromLatin1(CGameEnvironment::FormatSizeLong(
                                 size, theArchive.GetArchiveLength())));
}

}  // namespace

void CLumoApp::OnFileOpen() {
    if (m_pMainFrame == nullptr) {
        return;
    }
    platform::OpenFileRequest request;
    request.initialDir = m_szInitialDir;
    request.fileName = m_szFileName;
    request.filter = QCoreApplication::translate("CLumoApp", kArchiveFilter).toStdString();
    request.mustExist = true;
    const std::optional<std::string> chosen = platform::Prompts().OpenFile(request);
    if (!chosen || chosen->empty()) {
        return;
    }

    OpenArchiveFile(*chosen);
}

bool CLumoApp::OpenArchiveFile(const std::string& path) {
    if (m_pMainFrame == nullptr || path.empty()) {
        return false;
    }
    // The buffers follow the chosen file even when it then fails to load: the next
    // dialog starts in its folder with its name filled in, ready to be corrected.
    const size_t folderLength = FolderPartLength(path);
    m_szPathName = path;
    m_szFileName = path.substr(folderLength);
    m_szInitialDir = path.substr(0, folderLength);

    CStatusBar& statusBar = m_pMainFrame->m_wndStatusBar;
    statusBar.SetPaneText(0, QCoreApplication::translate("CLumoApp", "Loading..."));
    theArchive.Load(m_szPathName.c_str());
    const LgpLoadStatus status = theArchive.GetLastLoadStatus();
    if (status != LgpLoadStatus::Ok) {
        ReportFailedLoad(statusBar, m_szPathName, m_szFileName, status);
        return false;
    }
    FillIndex(*m_pMainFrame, m_szFileName);
    return true;
}
