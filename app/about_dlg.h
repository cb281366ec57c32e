// SPDX-License-Identifier: MIT
#pragma once
// The About box: version line and disclaimer on white, and a link control that opens
// the project's home page in the user's browser. "OK" and "Check web site for updates"
// both just close it; only the link opens the page.
#include <QAbstractButton>
#include <QDialog>
#include <string>

class QPushButton;

// The owner-drawn link: the address in blue on white, a focus rectangle while it has
// the focus, and the pointing-hand cursor.
class CLinkButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CLinkButton(const QString& text, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    // The address the link shows and opens.
    static std::string HomePage();
    static const char* const kVersionLine;
    static const char* const kDisclaimer;
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 360;

    explicit CAboutDlg(QWidget* parent = nullptr);

    // Runs the box modally; returns the result of the modal loop.
    int DoModal();

    CLinkButton* m_btnLink;
    QPushButton* m_btnOK;
    QPushButton* m_btnCancel;  // "Check web site for updates": closes like Escape

    void OnLinkClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void OnInitDialog();
    void FitFrame();
};

// The font of the box's buttons for a screen scale (device pixels per pixel): the face
// the layout was made for at 1, a scalable one of the same size elsewhere.
QFont AboutControlsFont(qreal scale);

// A font of the family whose character cell (ascent + descent) is at most cellHeight
// pixels, as a font asked for by cell height is.
QFont CellHeightFont(const QString& family, int cellHeight);
