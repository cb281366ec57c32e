// SPDX-License-Identifier: MIT
#include "tests/support/qt/prompts_scripted.h"

namespace platform {

namespace {

class ScriptedProgress : public IProgress {
public:
    explicit ScriptedProgress(ScriptedPrompts& owner) : m_owner(owner) {}
    bool Step(size_t done, const std::string& text) override {
        if (!text.empty()) {
            m_owner.progressTexts.push_back(text);
        }
        return !m_owner.cancelProgressAt || done < *m_owner.cancelProgressAt;
    }

private:
    ScriptedPrompts& m_owner;
};

std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers) {
    if (answers.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace

std::optional<std::string> ScriptedPrompts::OpenFile(const OpenFileRequest& request) {
    openRequests.push_back(request);
    return Next(openAnswers);
}

std::optional<std::vector<std::string>> ScriptedPrompts::OpenFiles(const OpenFileRequest& request) {
    openRequests.push_back(request);
    if (openFilesAnswers.empty()) {
        return std::nullopt;
    }
    std::optional<std::vector<std::string>> answer = openFilesAnswers.front();
    openFilesAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPrompts::SaveFile(const SaveFileRequest& request) {
    saveRequests.push_back(request);
    if (whileDialogOpen) {
        whileDialogOpen();
    }
    return Next(saveAnswers);
}

std::optional<std::string> ScriptedPrompts::BrowseFolder(const FolderRequest& request) {
    folderRequests.push_back(request);
    if (whileDialogOpen) {
        whileDialogOpen();
    }
    return Next(folderAnswers);
}

std::optional<std::string> ScriptedPrompts::AskText(const TextRequest& request) {
    textRequests.push_back(request);
    return Next(textAnswers);
}

MessageAnswer ScriptedPrompts::ShowMessage(const MessageRequest& request) {
    messages.push_back(request);
    if (messageAnswers.empty() && request.defaultAnswer) {
        return *request.defaultAnswer;
    }
    if (messageAnswers.empty()) {
        switch (request.buttons) {
            case MessageButtons::YesNo:
            case MessageButtons::SaveDiscardCancel:
                return MessageAnswer::No;
            case MessageButtons::SkipSkipAllCancel:
            case MessageButtons::ReplaceSkipAllCancel:
                return MessageAnswer::Skip;
            case MessageButtons::CompressStoreCancel:
                return MessageAnswer::Yes;
            case MessageButtons::Ok:
                break;
        }
        return MessageAnswer::Ok;
    }
    MessageAnswer answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

void ScriptedPrompts::ReportFileError(const FileErrorReport& report) {
    fileErrors.push_back(report);
}

bool ScriptedPrompts::OpenWebPage(const std::string& url) {
    webPages.push_back(url);
    return webPagesOpen;
}

std::unique_ptr<IProgress> ScriptedPrompts::BeginProgress(const ProgressRequest& request) {
    progressRequests.push_back(request);
    return std::make_unique<ScriptedProgress>(*this);
}

}  // namespace platform
