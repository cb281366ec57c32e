// SPDX-License-Identifier: MIT
#include "viewers/find_prompt.h"

#include <QCoreApplication>

#include "platform/prompts.h"

QString AskAndFind(QWidget* owner, const QString& label, const QString& last,
                   const std::function<bool(const QString&)>& findNext) {
    platform::TextRequest ask;
    ask.title = QCoreApplication::translate("CChildFrame", "Find").toStdString();
    ask.label = label.toStdString();
    ask.text = last.toStdString();
    ask.owner = owner;
    const std::optional<std::string> answer = platform::Prompts().AskText(ask);
    if (!answer || answer->empty()) {
        return last;
    }
    const QString text = QString::fromStdString(*answer);
    if (!findNext(text)) {
        platform::MessageRequest request;
        request.text = QCoreApplication::translate("CChildFrame", "Cannot find \"%1\".")
                           .arg(text)
                           .toStdString();
        request.owner = owner;
        platform::Prompts().ShowMessage(request);
    }
    return text;
}
