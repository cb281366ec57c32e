// SPDX-License-Identifier: MIT
#include "commands/insert_questions.h"

#include <QCoreApplication>
#include <QString>

#include "edit/field_entry.h"

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("CLumoApp", text);
}

}  // namespace

std::optional<bool> AskReplace(const std::string& shown,
                               std::optional<platform::MessageAnswer>& standing) {
    platform::MessageAnswer answer = standing.value_or(platform::MessageAnswer::Cancel);
    if (!standing) {
        platform::MessageRequest question;
        question.text = Tr("%1 is in the archive already. Replace it?")
                            .arg(QString::fromLatin1(shown.c_str()))
                            .toStdString();
        question.buttons = platform::MessageButtons::ReplaceSkipAllCancel;
        question.icon = platform::MessageIcon::Question;
        answer = platform::Prompts().ShowMessage(question);
        if (answer == platform::MessageAnswer::ReplaceAll ||
            answer == platform::MessageAnswer::SkipAll) {
            standing = answer;
        }
    }
    switch (answer) {
        case platform::MessageAnswer::Replace:
        case platform::MessageAnswer::ReplaceAll:
            return true;
        case platform::MessageAnswer::Skip:
        case platform::MessageAnswer::SkipAll:
            return false;
        default:
            return std::nullopt;
    }
}

std::optional<bool> AskCompress(const std::vector<std::string>& paths) {
    size_t whole = 0;
    for (const std::string& path : paths) {
        whole += IsFieldEntryFile(path) ? 1 : 0;
    }
    platform::MessageRequest question;
    question.text = Tr("Compress the %1 file(s) as the game reads the entries of flevel.lgp?")
                        .arg(static_cast<qulonglong>(paths.size()))
                        .toStdString();
    if (whole != 0) {
        question.detail = Tr("%1 of them already are compressed field entries; those are "
                             "stored as they are either way.")
                              .arg(static_cast<qulonglong>(whole))
                              .toStdString();
    }
    question.buttons = platform::MessageButtons::CompressStoreCancel;
    question.icon = platform::MessageIcon::Question;
    question.defaultAnswer =
        whole == paths.size() ? platform::MessageAnswer::No : platform::MessageAnswer::Yes;
    switch (platform::Prompts().ShowMessage(question)) {
        case platform::MessageAnswer::Yes:
            return true;
        case platform::MessageAnswer::No:
            return false;
        default:
            return std::nullopt;
    }
}

void TellInsertProblems(const std::vector<std::string>& problems) {
    if (problems.empty()) {
        return;
    }
    std::string detail;
    for (const std::string& problem : problems) {
        detail += problem + "\n";
    }
    platform::MessageRequest message;
    message.text = Tr("%1 file(s) could not be inserted.")
                       .arg(static_cast<qulonglong>(problems.size()))
                       .toStdString();
    message.detail = detail;
    message.icon = platform::MessageIcon::Exclamation;
    platform::Prompts().ShowMessage(message);
}
