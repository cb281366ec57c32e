// SPDX-License-Identifier: MIT
#include "viewers/viewer_modules.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QStringList>

namespace {

QString s_testFolder;

QStringList Folders() {
    if (!s_testFolder.isEmpty()) {
        return {s_testFolder};
    }
    return {QDir(QCoreApplication::applicationDirPath())
                .filePath(QStringLiteral(LUMO_MODULES_FROM_PROGRAM)),
            QStringLiteral(LUMO_MODULES_BUILD_DIR)};
}

}  // namespace

void* ResolveViewerModule(const char* module, const char* symbol, QString* error) {
    QString reasons;
    for (const QString& folder : Folders()) {
        QLibrary library(QDir(folder).filePath(QString::fromLatin1(module)));
        if (void* entry = reinterpret_cast<void*>(library.resolve(symbol))) {
            return entry;  // the library is never unloaded: its objects live on
        }
        reasons += (reasons.isEmpty() ? QString() : QStringLiteral("; ")) + library.errorString();
    }
    if (error != nullptr) {
        *error = QCoreApplication::translate("ViewerModules", "The module %1 cannot be loaded: %2")
                     .arg(QString::fromLatin1(module), reasons);
    }
    return nullptr;
}

void SetViewerModuleFolderForTests(const QString& folder) {
    s_testFolder = folder;
}
