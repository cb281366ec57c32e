// SPDX-License-Identifier: MIT
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
#include <utility>
#include <vector>

namespace platform {

namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// The progress dialog of the run under way, if any: a message box of that run belongs
// in front of it.
QProgressDialog* g_runProgress = nullptr;

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

std::optional<std::vector<std::string>> DesktopPrompts::OpenFiles(const OpenFileRequest& request) {
    QFileDialog dialog(OwnerOf(request.owner), QObject::tr("Open"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (!RunFileDialog(dialog, request.initialDir, request.fileName, request.filter)) {
        return std::nullopt;
    }
    std::vector<std::string> files;
    for (const QString& file : dialog.selectedFiles()) {
        files.push_back(QDir::toNativeSeparators(file).toStdString());
    }
    return files;
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
    QString folder = QFileDialog::getExistingDirectory(
        OwnerOf(request.owner), FromUtf8(request.title), FromUtf8(request.initialDir));
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

// The owner of a message box: while a run shows its progress, that dialog, shown now if
// its half second has not passed yet. Otherwise the progress would come up later on top
// of the box, modal, and keep every click and key from it.
QWidget* MessageOwner(QWidget* owner) {
    if (owner || !g_runProgress) {
        return OwnerOf(owner);
    }
    if (!g_runProgress->isVisible()) {
        g_runProgress->show();
    }
    return g_runProgress;
}

// The buttons of a question asked in the middle of a run, with their answers; the first
// is the default unless another is named, Escape is Cancel.
MessageAnswer AskInRun(QMessageBox& box,
                       const std::vector<std::pair<QString, MessageAnswer>>& choices,
                       std::optional<MessageAnswer> preferred = std::nullopt) {
    box.setStandardButtons(QMessageBox::NoButton);
    std::vector<std::pair<QAbstractButton*, MessageAnswer>> buttons;
    QAbstractButton* chosenDefault = nullptr;
    for (const auto& [text, answer] : choices) {
        buttons.emplace_back(box.addButton(text, QMessageBox::AcceptRole), answer);
        if (preferred == answer) {
            chosenDefault = buttons.back().first;
        }
    }
    QPushButton* cancel = box.addButton(QMessageBox::Cancel);
    box.setDefaultButton(
        static_cast<QPushButton*>(chosenDefault ? chosenDefault : buttons.front().first));
    box.setEscapeButton(cancel);
    box.show();
    box.raise();
    box.activateWindow();
    box.exec();
    for (const auto& [button, answer] : buttons) {
        if (box.clickedButton() == button) {
            return answer;
        }
    }
    return MessageAnswer::Cancel;
}

MessageAnswer AskSkip(QMessageBox& box) {
    return AskInRun(box, {{QObject::tr("&Skip"), MessageAnswer::Skip},
                          {QObject::tr("Skip &All"), MessageAnswer::SkipAll}});
}

MessageAnswer AskReplace(QMessageBox& box) {
    return AskInRun(box, {{QObject::tr("&Replace"), MessageAnswer::Replace},
                          {QObject::tr("&Skip"), MessageAnswer::Skip},
                          {QObject::tr("Replace A&ll"), MessageAnswer::ReplaceAll},
                          {QObject::tr("Skip &All"), MessageAnswer::SkipAll}});
}

MessageAnswer AskCompress(QMessageBox& box, std::optional<MessageAnswer> preferred) {
    return AskInRun(box,
                    {{QObject::tr("&Compress"), MessageAnswer::Yes},
                     {QObject::tr("&Store as they are"), MessageAnswer::No}},
                    preferred);
}

constexpr qint64 kStepMilliseconds = 33;

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
        m_previous = std::exchange(g_runProgress, &m_dialog);
    }
    ~DesktopProgress() override { g_runProgress = m_previous; }

    bool Step(size_t done, const std::string& text) override {
        // Each value given to a modal progress dialog runs the event loop; thirty times a
        // second keeps the bar moving without costing the run more than its writing.
        if (!text.empty()) {
            m_text = text;
        }
        if (done != 0 && m_clock.elapsed() < kStepMilliseconds) {
            return !m_dialog.wasCanceled();
        }
        if (!m_text.empty()) {
            m_dialog.setLabelText(FromUtf8(m_text));
            m_text.clear();
        }
        m_dialog.setValue(static_cast<int>(done));
        m_clock.restart();
        return !m_dialog.wasCanceled();
    }

private:
    QProgressDialog m_dialog;
    QElapsedTimer m_clock;
    QProgressDialog* m_previous = nullptr;
    std::string m_text;  // the latest text, not shown yet
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
    QMessageBox box(icon, caption, FromUtf8(request.text), buttons, MessageOwner(request.owner));
    if (!request.detail.empty()) {
        box.setInformativeText(FromUtf8(request.detail));
    }
    if (request.buttons == MessageButtons::SkipSkipAllCancel) {
        return AskSkip(box);
    }
    if (request.buttons == MessageButtons::ReplaceSkipAllCancel) {
        return AskReplace(box);
    }
    if (request.buttons == MessageButtons::CompressStoreCancel) {
        return AskCompress(box, request.defaultAnswer);
    }
    if (request.buttons == MessageButtons::SaveDiscardCancel) {
        box.setStandardButtons(QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        const int chosen = box.exec();
        return chosen == QMessageBox::Save      ? MessageAnswer::Yes
               : chosen == QMessageBox::Discard ? MessageAnswer::No
                                                : MessageAnswer::Cancel;
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
    QMessageBox::critical(MessageOwner(nullptr), QApplication::applicationName(),
                          FromUtf8(FormatFileErrorMessage(report)));
}

bool DesktopPrompts::OpenWebPage(const std::string& url) {
    return QDesktopServices::openUrl(QUrl(FromUtf8(url)));
}

}  // namespace platform
