// SPDX-License-Identifier: MIT
#include "app/lumo_app.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QPixmap>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>

#include "app/about_dlg.h"
#include "app/globals.h"
#include "app/main_frame.h"
#include "environment/game_environment.h"
#include "res/resource.h"
#include "res/resource_tables.h"
#include "res/scaled_icons.h"

namespace {

// The application's own command map; the document's (commands/) comes before it on the
// route. No ID is in both. ID_APP_EXIT stands for the framework's own map behind it.
const CommandMapEntry<CLumoApp> kAppCommands[] = {
    {ID_APP_ABOUT, &CLumoApp::OnAppAbout, nullptr},
    {ID_APP_EXIT, &CLumoApp::OnAppExit, nullptr},
    {ID_OPTIONS_ALWAYSDECOMPRESS, &CLumoApp::OnOptionsAlwaysDecompress,
     &CLumoApp::OnUpdateOptionsAlwaysDecompress},
};

// The pictures Fusion shows on a tool bar's extension button, from Qt's own resources.
// Fusion reads them letting the format be guessed, which loads every image format plugin
// at start; they are read here as PNG.
QIcon ExtensionButtonIcon(const char* direction) {
    QIcon icon;
    // 8, 16 and 32 px wide across the bar; 5, 10 and 20 down it.
    const int smallest = direction[0] == 'v' ? 5 : 8;
    for (int size : {smallest, 2 * smallest, 4 * smallest}) {
        const QImage image = ReadPng(
            QStringLiteral(":/qt-project.org/styles/commonstyle/images/toolbar-ext-%1-%2.png")
                .arg(QLatin1String(direction))
                .arg(size));
        if (!image.isNull()) {
            icon.addPixmap(QPixmap::fromImage(image));
        }
    }
    return icon;
}

// The host's look, except that a grayed menu item can be highlighted like any other:
// pane 0 then shows its prompt, which is the only place its wording is ever read.
class CLumoStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_Menu_AllowActiveAndDisabled) {
            return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
    // Every tool bar makes its extension button's icon as it is made (see above).
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option,
                       const QWidget* widget) const override {
        const bool rightToLeft =
            option ? option->direction == Qt::RightToLeft : QGuiApplication::isRightToLeft();
        const char* name = icon == SP_ToolBarHorizontalExtensionButton
                               ? (rightToLeft ? "h-rtl" : "h")
                           : icon == SP_ToolBarVerticalExtensionButton ? "v"
                                                                       : nullptr;
        if (name != nullptr && baseStyle()->name() == QLatin1String("fusion")) {
            if (QIcon own = ExtensionButtonIcon(name); !own.isNull()) {
                return own;
            }
        }
        return QProxyStyle::standardIcon(icon, option, widget);
    }
};

void UseProgramStyle() {
    if (dynamic_cast<CLumoStyle*>(QApplication::style())) {
        return;
    }
    QApplication::setStyle(new CLumoStyle(QStyleFactory::create(QApplication::style()->name())));
}

}  // namespace

CLumoApp::CLumoApp() {
    m_szPathName.clear();
    m_szFileName.clear();
    m_szInitialDir.clear();
}

CLumoApp::~CLumoApp() = default;

bool CLumoApp::InitInstance() {
    UseProgramStyle();
    // Names the per-user settings; nothing is ever stored there.
    QCoreApplication::setOrganizationName(QStringLiteral("Korvath"));
    QCoreApplication::setApplicationName(QString::fromUtf8(LoadResString(AFX_IDS_APP_TITLE)));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMO_VERSION));

    // Entry windows show the program's icon in their title bars.
    QApplication::setWindowIcon(ApplicationIcon());

    const char* dataFolder = theEnvironment.GetGameDataFolder();
    m_szInitialDir = dataFolder ? dataFolder : "";

    auto* frame = new CMainFrame;
    if (!frame->LoadFrame(IDR_MAINFRAME)) {
        delete frame;
        return false;
    }
    m_pMainFrame = frame;
    QObject::connect(frame, &QObject::destroyed, [this, frame] {
        if (m_pMainFrame == frame) {
            m_pMainFrame = nullptr;
        }
    });
    frame->show();
    return true;
}

int CLumoApp::ExitInstance() {
    return m_nLoopResult;
}

bool CLumoApp::OnCmdMsg(int id, CommandQuery query, CCmdUI* ui) {
    return DispatchCommand(*this, kAppCommands, id, query, ui);
}

void CLumoApp::OnAppAbout() {
    CAboutDlg aboutDlg(m_pMainFrame);
    aboutDlg.DoModal();
}

void CLumoApp::OnAppExit() {
    if (m_pMainFrame) {
        m_pMainFrame->close();
    }
}

void CLumoApp::OnNothing() {}

bool CLumoApp::OpenArchiveFile(const std::string& path) {
    return m_openArchiveFile && m_openArchiveFile(path);
}

void CLumoApp::OnOptionsAlwaysDecompress() {
    m_bAlwaysDecompress = !m_bAlwaysDecompress;
}

void CLumoApp::OnUpdateOptionsAlwaysDecompress(CCmdUI* pCmdUI) {
    pCmdUI->SetCheck(m_bAlwaysDecompress);
}
