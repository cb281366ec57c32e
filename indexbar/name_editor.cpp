// SPDX-License-Identifier: MIT
#include "indexbar/name_editor.h"

#include <QLineEdit>
#include <QToolTip>
#include <QValidator>

namespace {

// Names that cannot be given are Intermediate, never Invalid: the user can type through
// them (an empty name on the way to another), but Enter does not take them.
class NameValidator : public QValidator {
public:
    NameValidator(std::function<QString(const QString&)> check, QObject* parent)
        : QValidator(parent), m_check(std::move(check)) {}
    State validate(QString& input, int&) const override {
        return !m_check || m_check(input).isEmpty() ? Acceptable : Intermediate;
    }

private:
    std::function<QString(const QString&)> m_check;
};

}  // namespace

CNameEditor::CNameEditor(QObject* parent) : QStyledItemDelegate(parent) {}

void CNameEditor::Begin(NameEdit edit) {
    m_edit = std::move(edit);
    m_hasAccepted = false;
}

QWidget* CNameEditor::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    QWidget* widget = QStyledItemDelegate::createEditor(parent, option, index);
    auto* line = qobject_cast<QLineEdit*>(widget);
    if (line == nullptr) {
        return widget;
    }
    line->setObjectName(QStringLiteral("NameEditor"));
    line->setValidator(new NameValidator(m_edit.check, line));
    connect(line, &QLineEdit::textChanged, line, [this, line](const QString& text) {
        Tell(line, m_edit.check ? m_edit.check(text) : QString());
    });
    return widget;
}

void CNameEditor::Tell(QWidget* editor, const QString& why) const {
    if (editor->toolTip() == why) {
        return;
    }
    editor->setToolTip(why);
    if (why.isEmpty()) {
        QToolTip::hideText();
    } else {
        QToolTip::showText(editor->mapToGlobal(QPoint(0, editor->height())), why, editor);
    }
    if (m_edit.told) {
        m_edit.told(why);
    }
}

void CNameEditor::setModelData(QWidget* editor, QAbstractItemModel*,
                               const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line == nullptr) {
        return;
    }
    const QString name = line->text();
    const bool acceptable = !m_edit.check || m_edit.check(name).isEmpty();
    if (acceptable && name != index.data(Qt::DisplayRole).toString()) {
        m_accepted = name;
        m_hasAccepted = true;
    }
}

void CNameEditor::Finish() {
    NameEdit edit = std::move(m_edit);
    m_edit = {};
    const bool accepted = m_hasAccepted;
    m_hasAccepted = false;
    if (edit.told) {
        edit.told(QString());
    }
    if (accepted && edit.commit) {
        edit.commit(m_accepted);
    }
}
