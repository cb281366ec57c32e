#include "platform/prompts_desktop.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QStringList>
#include <QUrl>

namespace platform {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

QWidget* OwnerOf(QWidget* owner) {
    return owner ? owner : QApplication::activeWindow();
}

// "LGP Archives (*.lgp)" keeps its words and gets the host patterns in parentheses,
// which is where the host dialog reads them from.
QStringList NameFilters(const std::string& filter) {
    QStringList filters;
    for (const FileFilter& pair : ParseFileFilter(filter)) {
        QString description = FromUtf8(pair.description).trimmed();
        if (description.endsWith(QLatin1Char(')'))) {
            int open = description.lastIndexOf(QLatin1Char('('));
            if (open >= 0) {
                description = description.left(open).trimmed();
            }
        }
        QStringList patterns;
        for (const std::string& pattern : pair.patterns) {
            patterns << FromUtf8(pattern);
        }
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

std::optional<std::string> RunFileDialog(QFileDialog& dialog, const std::string& initialDir,
                                         const std::string& fileName, const std::string& filter) {
    if (!initialDir.empty()) {
        dialog.setDirectory(FromUtf8(initialDir));
    }
    QStringList filters = NameFilters(filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.front());
    }
    if (!fileName.empty()) {
        dialog.selectFile(FromUtf8(fileName));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
}

}  // namespace

std::optional<std::string> DesktopPrompts::OpenFile(const OpenFileRequest& request) {
    QFileDialog dialog(OwnerOf(request.owner), QObject::tr("Open"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    return RunFileDialog(dialog, request.initialDir, request.fileName, request.filter);
}

std::optional<std::string> DesktopPrompts::SaveFile(const SaveFileRequest& request) {
    QFileDialog dialog(OwnerOf(request.owner), QObject::tr("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(FromUtf8(request.defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    return RunFileDialog(dialog, request.initialDir, request.fileName, request.filter);
}

std::optional<std::string> DesktopPrompts::BrowseFolder(const FolderRequest& request) {
    QString folder =
        QFileDialog::getExistingDirectory(OwnerOf(request.owner), FromUtf8(request.title));
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return QDir::toNativeSeparators(folder).toStdString();
}

std::optional<std::string> DesktopPrompts::AskText(const TextRequest& request) {
    bool ok = false;
    const QString text = QInputDialog::getText(OwnerOf(request.owner), FromUtf8(request.title),
                                               FromUtf8(request.label), QLineEdit::Normal,
                                               FromUtf8(request.text), &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text.toStdString();
}

namespace {

MessageAnswer AskSkip(QMessageBox& box) {
    box.setStandardButtons(QMessageBox::NoButton);
    QPushButton* skip = box.addButton(QObject::tr("&Skip"), QMessageBox::AcceptRole);
    QPushButton* skipAll = box.addButton(QObject::tr("Skip &All"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(skip);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == skip) {
        return MessageAnswer::Skip;
    }
    return box.clickedButton() == skipAll ? MessageAnswer::SkipAll : MessageAnswer::Cancel;
}

// A modal progress dialog that Qt shows only once the run has lasted half a second.
class DesktopProgress : public IProgress {
public:
    explicit DesktopProgress(const ProgressRequest& request)
        : m_dialog(FromUtf8(request.title), QObject::tr("Cancel"), 0,
                   static_cast<int>(request.total), OwnerOf(request.owner)) {
        m_dialog.setWindowModality(Qt::ApplicationModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoReset(false);
        m_dialog.setValue(0);
        m_clock.start();
    }

    bool Step(size_t done, const std::string& text) override {
        // A label change costs a layout; twenty a second is as many as anyone reads.
        if (m_clock.elapsed() >= 50 || done == 0) {
            m_dialog.setLabelText(FromUtf8(text));
            m_clock.restart();
        }
        m_dialog.setValue(static_cast<int>(done));
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_clock;
};

}  // namespace

std::unique_ptr<IProgress> DesktopPrompts::BeginProgress(const ProgressRequest& request) {
    return std::make_unique<DesktopProgress>(request);
}

MessageAnswer DesktopPrompts::ShowMessage(const MessageRequest& request) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    if (request.icon == MessageIcon::Question) {
        icon = QMessageBox::Question;
    } else if (request.icon == MessageIcon::Exclamation) {
        icon = QMessageBox::Warning;
    }
    QMessageBox::StandardButtons buttons = request.buttons == MessageButtons::YesNo
                                               ? QMessageBox::Yes | QMessageBox::No
                                               : QMessageBox::StandardButtons(QMessageBox::Ok);
    QString caption =
        request.caption.empty() ? QApplication::applicationName() : FromUtf8(request.caption);
    QMessageBox box(icon, caption, FromUtf8(request.text), buttons, OwnerOf(request.owner));
    if (request.buttons == MessageButtons::SkipSkipAllCancel) {
        return AskSkip(box);
    }
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        default:
            // Escape or the close box: a Yes/No box counts that as No, as the host does.
            return request.buttons == MessageButtons::YesNo ? MessageAnswer::No
                                                            : MessageAnswer::Cancel;
    }
}

void DesktopPrompts::ReportFileError(const FileErrorReport& report) {
    QMessageBox::critical(OwnerOf(nullptr), QApplication::applicationName(),
                          FromUtf8(FormatFileErrorMessage(report)));
}

bool DesktopPrompts::OpenWebPage(const std::string& url) {
    return QDesktopServices::openUrl(QUrl(FromUtf8(url)));
}

}  // namespace platform
