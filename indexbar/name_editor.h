// SPDX-License-Identifier: MIT
#pragma once
// Renaming an entry in place: the editor on a row's Name cell. Whoever starts the edit
// says what a name may be; the editor checks every keystroke against that, shows why a
// name cannot be given (its tool tip, and `told` for the status bar), refuses Enter
// while it cannot, and hands on an acceptable name once the editor has closed, so that
// refilling the list for the change never pulls an open editor from under the view.
// Esc, or leaving the editor with a name it refuses, keeps the name as it was.
#include <QString>
#include <QStyledItemDelegate>
#include <functional>

struct NameEdit {
    // Why `name` cannot be given, "" when it can.
    std::function<QString(const QString& name)> check;
    // An acceptable name that differs from the one the row had.
    std::function<void(const QString& name)> commit;
    // The reason whenever it changes ("" once the name is acceptable again); optional.
    std::function<void(const QString& why)> told;
};

class CNameEditor : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CNameEditor(QObject* parent = nullptr);

    // The next editor this delegate makes follows `edit`.
    void Begin(NameEdit edit);
    // The editor has closed: runs the commit when it closed with an acceptable name.
    void Finish();

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    void Tell(QWidget* editor, const QString& why) const;

    NameEdit m_edit;
    mutable QString m_accepted;  // set by setModelData, taken by Finish
    mutable bool m_hasAccepted = false;
};
