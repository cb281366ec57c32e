// SPDX-License-Identifier: MIT
#pragma once
// The find field of the archive index: typing narrows the index to the entries whose
// names hold the text (see NameFilter). Esc empties it (a second Esc, or Down, hands the
// keyboard to the list); Enter hands it to the first entry shown, selected.
#include <QLineEdit>

class CFindField : public QLineEdit {
    Q_OBJECT
public:
    explicit CFindField(QWidget* parent = nullptr);

signals:
    // The user is done typing: the list should take the focus.
    void leaveRequested();
    // Enter: the user has found it; the first entry shown should be ready to open.
    void acceptRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
