// SPDX-License-Identifier: MIT
#include "indexbar/find_field.h"

#include <QKeyEvent>

namespace {
constexpr int kFieldWidth = 160;
constexpr int kFieldHeight = 20;  // fits the 24-pixel tool bar row
}  // namespace

CFindField::CFindField(QWidget* parent) : QLineEdit(parent) {
    setObjectName(QStringLiteral("FindField"));
    setPlaceholderText(tr("Find entry (Ctrl+F)"));
    setToolTip(
        tr("Show only the entries whose names contain this text; with * (any "
           "characters) or ? (any one character) the whole name must match"));
    setFixedSize(kFieldWidth, kFieldHeight);
    // The clear button shows only over text, and its icon comes from the desktop's icon
    // theme, a lookup that costs more than the rest of the main window together; it is
    // made when the first text is typed rather than at start.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!text.isEmpty() && !isClearButtonEnabled()) {
            setClearButtonEnabled(true);
        }
    });
}

void CFindField::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            if (text().isEmpty()) {
                emit leaveRequested();
            } else {
                clear();
            }
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit acceptRequested();
            event->accept();
            return;
        case Qt::Key_Down:
            emit leaveRequested();
            event->accept();
            return;
        default:
            QLineEdit::keyPressEvent(event);
    }
}
