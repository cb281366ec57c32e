// SPDX-License-Identifier: MIT
#include "app/about_dlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>
#include <QUrl>

#include "platform/prompts.h"
#include "res/resource_tables.h"
#include "res/scaled_icons.h"

const char* const CAboutDlg::kVersionLine =
    QT_TRANSLATE_NOOP("CAboutDlg", "Lumo LGP archive viewer, version %1");
const char* const CAboutDlg::kDisclaimer =
    QT_TRANSLATE_NOOP("CAboutDlg",
                      "Use this program at your own risk. The author cannot\n"
                      "be held responsible for any damage to your data files.");

namespace {

const QColor kVersionColour(64, 64, 64);
const QColor kDisclaimerColour(128, 128, 128);
const QColor kLinkColour(64, 64, 192);
constexpr int kFontCellHeight = 14;

// Makes a face that Wine ships outside fontconfig's folders known, once per face.
void RegisterShippedFace(const QString& family, const char* file) {
    const QString path = QStringLiteral("/usr/share/wine/fonts/") + QLatin1String(file);
    if (!QFontDatabase::hasFamily(family) && QFile::exists(path)) {
        QFontDatabase::addApplicationFont(path);
    }
}

}  // namespace

// At scale 1: MS Sans Serif at 8 points, the face the controls' places were measured in
// (with the host's larger default font "Check web site for updates" would not fit its
// button). That face is a bitmap font with three sizes, which at any other scale shows
// as small letters spread apart, so there a scalable face of the same size is used:
// Tahoma (the same design, drawn from outlines), or Arial's metric twin.
QFont AboutControlsFont(qreal scale) {
    const QString sansSerif = QStringLiteral("MS Sans Serif");
    const QString tahoma = QStringLiteral("Tahoma");
    QString family = QStringLiteral("Arial");
    if (scale == 1.0) {
        RegisterShippedFace(sansSerif, "ms_sans_serif.ttf");
        if (QFontDatabase::hasFamily(sansSerif)) {
            family = sansSerif;
        }
    } else {
        RegisterShippedFace(tahoma, "tahoma.ttf");
        if (QFontDatabase::hasFamily(tahoma) && QFontDatabase::isSmoothlyScalable(tahoma)) {
            family = tahoma;
        }
    }
    QFont font(family);
    font.setPointSize(8);
    return font;
}

QFont CellHeightFont(const QString& family, int cellHeight) {
    QFont font(family);
    int pixelSize = cellHeight;
    font.setPixelSize(pixelSize);
    while (pixelSize > 1 && QFontMetrics(font).height() > cellHeight) {
        font.setPixelSize(--pixelSize);
    }
    return font;
}

CLinkButton::CLinkButton(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    setText(text);
    setFocusPolicy(Qt::StrongFocus);
    const QPixmap hand = QPixmap::fromImage(ReadPng(QString::fromUtf8(kHandCursorPath)));
    if (!hand.isNull()) {
        setCursor(QCursor(hand, kHandCursorHotX, kHandCursorHotY));
    } else {
        setCursor(Qt::PointingHandCursor);
    }
}

void CLinkButton::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    QRect item = rect();
    dc.fillRect(item, Qt::white);
    dc.setFont(CellHeightFont(QStringLiteral("Arial"), kFontCellHeight));
    dc.setPen(kLinkColour);
    // Centred across, from the top down: the text is not laid out as a single line.
    dc.drawText(item, Qt::AlignHCenter | Qt::AlignTop, text());
    if (hasFocus()) {
        // The dotted focus rectangle, drawn whether the focus came by key or by mouse;
        // some styles draw theirs only after a key press.
        dc.setPen(QPen(Qt::black, 1, Qt::DotLine));
        dc.setBrush(Qt::NoBrush);
        dc.drawRect(item.adjusted(0, 0, -1, -1));
    }
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Lumo"));
    // A tool window: the small caption, with its close box and nothing else.
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setAutoFillBackground(false);
    setFont(AboutControlsFont(devicePixelRatioF()));

    // Controls in tab order, at the places the dialog template gives them.
    m_btnOK = new QPushButton(QStringLiteral("OK"), this);
    m_btnOK->setGeometry(220, 297, 77, 23);
    m_btnCancel = new QPushButton(tr("Check web site for updates"), this);
    m_btnCancel->setGeometry(50, 297, 162, 23);
    m_btnLink = new CLinkButton(QString::fromStdString(HomePage()), this);
    m_btnLink->setGeometry(100, 263, 188, 15);
    setTabOrder(m_btnOK, m_btnCancel);
    setTabOrder(m_btnCancel, m_btnLink);

    m_btnOK->setAutoDefault(false);
    m_btnCancel->setAutoDefault(false);
    m_btnOK->setDefault(true);
    connect(m_btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_btnLink, &QAbstractButton::clicked, this, [this] { OnLinkClicked(); });

    OnInitDialog();
}

// A page that works offline and says what the program does: the README installed with
// it, as a file: address.
std::string CAboutDlg::HomePage() {
    QString path =
        QDir::cleanPath(QDir(QCoreApplication::applicationDirPath())
                            .absoluteFilePath(QStringLiteral(LUMO_DOC_FROM_BIN "/README.md")));
    if (!QFile::exists(path) && QFile::exists(QStringLiteral(LUMO_SOURCE_README))) {
        path = QStringLiteral(LUMO_SOURCE_README);
    }
    return QUrl::fromLocalFile(path).toString().toStdString();
}

void CAboutDlg::OnInitDialog() {
    // Fixed, so the window manager offers no resizing; the frame is taken off once it is
    // known (FitFrame).
    setFixedSize(kWidth, kHeight);
    m_btnOK->setFocus();
}

int CAboutDlg::DoModal() {
    return exec();
}

void CAboutDlg::OnLinkClicked() {
    // A browser that cannot be started is not reported: the box just stays open.
    platform::Prompts().OpenWebPage(HomePage());
}

void CAboutDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FitFrame();
}

// The window manager frames the box after it is shown, and the box moves when that
// happens; measuring only at show time would leave it a frame's width too large.
void CAboutDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    FitFrame();
}

// The box is 320 x 360 from outer edge to outer edge, whatever the host's frame takes.
void CAboutDlg::FitFrame() {
    const QSize frameExtra = frameGeometry().size() - size();
    const QSize wanted(kWidth - frameExtra.width(), kHeight - frameExtra.height());
    if (wanted != size() && wanted.isValid()) {
        setFixedSize(wanted);
    }
}

void CAboutDlg::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    QRect client = rect();
    dc.fillRect(client, Qt::white);
    dc.setFont(CellHeightFont(QStringLiteral("Arial"), kFontCellHeight));
    dc.setBackgroundMode(Qt::TransparentMode);

    QRect text(QPoint(client.left() + 20, client.top() + 195),
               QPoint(client.right() - 20, client.top() + 394));
    // A line wider than the rectangle runs on to the left rather than losing its first
    // letters: the disclaimer is a few pixels wider than the 280 it is given.
    const int flags = Qt::AlignRight | Qt::AlignTop | Qt::TextDontClip;
    dc.setPen(kVersionColour);
    dc.drawText(text, flags, tr(kVersionLine).arg(QLatin1String(LUMO_VERSION)));

    text.setTop(text.top() + 20);
    dc.setPen(kDisclaimerColour);
    dc.drawText(text, flags, tr(kDisclaimer));
}
