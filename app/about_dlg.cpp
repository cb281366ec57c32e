#include "app/about_dlg.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPushButton>
#include <QShowEvent>

#include "platform/prompts.h"
#include "res/resource_tables.h"

const char* const CAboutDlg::kHomePage = "https://lumo.example.org/";
const char* const CAboutDlg::kVersionLine = "Lumo LGP archive viewer, version " LUMO_VERSION;
const char* const CAboutDlg::kDisclaimer =
    "Use this program at your own risk. The author cannot\n"
    "be held responsible for any damage to your data files.";

namespace {

const QColor kVersionColour(64, 64, 64);
const QColor kDisclaimerColour(128, 128, 128);
const QColor kLinkColour(64, 64, 192);
constexpr int kFontCellHeight = 14;

// The controls' font: MS Sans Serif at 8 points, the face the controls' places were
// measured in. With the host's larger default font "Check web site for updates" would not
// fit its button. Wine ships the face outside fontconfig's folders; Arial's metric twin is
// close enough where it is missing.
QFont ControlsFont() {
    const QString face = QStringLiteral("MS Sans Serif");
    const QString shipped = QStringLiteral("/usr/share/wine/fonts/ms_sans_serif.ttf");
    if (!QFontDatabase::hasFamily(face) && QFile::exists(shipped)) {
        QFontDatabase::addApplicationFont(shipped);
    }
    QFont font(QFontDatabase::hasFamily(face) ? face : QStringLiteral("Arial"));
    font.setPointSize(8);
    return font;
}

}  // namespace

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
    QPixmap hand(QString::fromUtf8(kHandCursorPath));
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
                   Qt::WindowCloseButtonHint);
    setAutoFillBackground(false);
    setFont(ControlsFont());

    // Controls in tab order, at the places the dialog template gives them.
    m_btnOK = new QPushButton(QStringLiteral("OK"), this);
    m_btnOK->setGeometry(220, 297, 77, 23);
    m_btnCancel = new QPushButton(tr("Check web site for updates"), this);
    m_btnCancel->setGeometry(50, 297, 162, 23);
    m_btnLink = new CLinkButton(QString::fromUtf8(kHomePage), this);
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

void CAboutDlg::OnInitDialog() {
    resize(kWidth, kHeight);
    m_btnOK->setFocus();
}

int CAboutDlg::DoModal() {
    return exec();
}

void CAboutDlg::OnLinkClicked() {
    // A browser that cannot be started is not reported: the box just stays open.
    platform::Prompts().OpenWebPage(kHomePage);
}

void CAboutDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The box is 320 x 360 from outer edge to outer edge, whatever the host's frame
    // takes.
    QSize frameExtra = frameGeometry().size() - size();
    QSize wanted(kWidth - frameExtra.width(), kHeight - frameExtra.height());
    if (wanted != size() && wanted.isValid()) {
        resize(wanted);
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
    dc.drawText(text, flags, QString::fromUtf8(kVersionLine));

    text.setTop(text.top() + 20);
    dc.setPen(kDisclaimerColour);
    dc.drawText(text, flags, QString::fromUtf8(kDisclaimer));
}
