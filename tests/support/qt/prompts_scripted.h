// SPDX-License-Identifier: MIT
#pragma once
// Prompts for tests: answers come from queues filled beforehand, and every question is
// recorded so that a test can check what the user would have been asked. A dialog with
// no queued answer counts as cancelled; a message box with none answers its default
// button when it names one, else No (Yes/No), Skip (Skip/Skip All/Cancel,
// Replace/Skip/.../Cancel), Yes (Compress/Store/Cancel) or OK.
#include <deque>
#include <functional>

#include "platform/prompts.h"

namespace platform {

class ScriptedPrompts : public IPrompts {
public:
    // Queued answers; std::nullopt stands for Cancel.
    std::deque<std::optional<std::string>> openAnswers;
    std::deque<std::optional<std::vector<std::string>>> openFilesAnswers;
    std::deque<std::optional<std::string>> saveAnswers;
    std::deque<std::optional<std::string>> folderAnswers;
    std::deque<std::optional<std::string>> textAnswers;
    std::deque<MessageAnswer> messageAnswers;
    bool webPagesOpen = true;  // what OpenWebPage reports
    // What happens elsewhere while a save or folder dialog is open (a file changing under
    // the program, say); run before the dialog answers.
    std::function<void()> whileDialogOpen;
    // Progress: the user presses Cancel once this many entries are done.
    std::optional<size_t> cancelProgressAt;

    // What was asked, in order.
    std::vector<OpenFileRequest> openRequests;
    std::vector<SaveFileRequest> saveRequests;
    std::vector<FolderRequest> folderRequests;
    std::vector<TextRequest> textRequests;
    std::vector<MessageRequest> messages;
    std::vector<FileErrorReport> fileErrors;
    std::vector<std::string> webPages;
    std::vector<ProgressRequest> progressRequests;
    std::vector<std::string> progressTexts;  // every step's text that was not empty

    std::optional<std::string> OpenFile(const OpenFileRequest& request) override;
    std::optional<std::vector<std::string>> OpenFiles(const OpenFileRequest& request) override;
    std::optional<std::string> SaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> BrowseFolder(const FolderRequest& request) override;
    std::optional<std::string> AskText(const TextRequest& request) override;
    MessageAnswer ShowMessage(const MessageRequest& request) override;
    void ReportFileError(const FileErrorReport& report) override;
    bool OpenWebPage(const std::string& url) override;
    std::unique_ptr<IProgress> BeginProgress(const ProgressRequest& request) override;
};

// Installs a scripted prompts object for the lifetime of this guard.
class ScopedPrompts {
public:
    explicit ScopedPrompts(IPrompts& prompts) : m_previous(SetPrompts(&prompts)) {}
    ~ScopedPrompts() { SetPrompts(m_previous); }
    ScopedPrompts(const ScopedPrompts&) = delete;
    ScopedPrompts& operator=(const ScopedPrompts&) = delete;

private:
    IPrompts* m_previous;
};

}  // namespace platform
