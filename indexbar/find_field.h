#pragma once
// The find field of the archive index: typing narrows the index to the entries whose
// names contain the text. Esc empties it (a second Esc, or Enter or Down, hands the
// keyboard to the list).
#include <QLineEdit>

class CFindField : public QLineEdit {
    Q_OBJECT
public:
    explicit CFindField(QWidget* parent = nullptr);

signals:
    // The user is done typing: the list should take the focus.
    void leaveRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
