// SPDX-License-Identifier: MIT
#include "commands/open_as_dialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

std::optional<ViewerKind> AskViewer(QWidget* owner, size_t entryCount) {
    QDialog dialog(owner);
    dialog.setObjectName("OpenAsDialog");
    dialog.setWindowTitle(QObject::tr("Open as"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(
        entryCount == 1 ? QObject::tr("Open the selected file in:")
                        : QObject::tr("Open the %1 selected files in:").arg(entryCount)));
    auto* list = new QListWidget;
    for (const ViewerInfo& viewer : Viewers()) {
        list->addItem(QObject::tr(viewer.label));
    }
    list->setCurrentRow(0);
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) {
        return std::nullopt;
    }
    return Viewers()[static_cast<size_t>(list->currentRow())].kind;
}
