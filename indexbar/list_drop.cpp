// SPDX-License-Identifier: MIT
// Files dropped on the list from a file manager. The list only says whether it takes
// them; what a drop does (insert them, open an archive) is the handler's.
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>

#include "indexbar/list_ctrl.h"

void CListCtrl::SetFileDropHandler(FileDropHandler handler) {
    m_fileDrops = std::move(handler);
    setAcceptDrops(static_cast<bool>(m_fileDrops));
    viewport()->setAcceptDrops(static_cast<bool>(m_fileDrops));
}

QStringList CListCtrl::DroppedFiles(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || CarriesOwnRows(data)) {
        return {};
    }
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) {
            return {};
        }
        paths << QFileInfo(url.toLocalFile()).absoluteFilePath();
    }
    return paths;
}

void CListCtrl::dragEnterEvent(QDragEnterEvent* event) {
    const QStringList paths = DroppedFiles(event->mimeData());
    if (m_fileDrops && !paths.isEmpty() && m_fileDrops(paths, false)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CListCtrl::dragMoveEvent(QDragMoveEvent* event) {
    const QStringList paths = DroppedFiles(event->mimeData());
    if (m_fileDrops && !paths.isEmpty() && m_fileDrops(paths, false)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CListCtrl::dropEvent(QDropEvent* event) {
    const QStringList paths = DroppedFiles(event->mimeData());
    if (!m_fileDrops || paths.isEmpty() || !m_fileDrops(paths, false)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    QTimer::singleShot(0, this, [this, paths] {
        if (m_fileDrops) {
            m_fileDrops(paths, true);
        }
    });
}
