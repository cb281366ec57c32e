// SPDX-License-Identifier: MIT
#pragma once
// The prompts on a desktop: the host's file dialogs, message boxes and web browser.
#include "platform/prompts.h"

namespace platform {

class DesktopPrompts : public IPrompts {
public:
    std::optional<std::string> OpenFile(const OpenFileRequest& request) override;
    std::optional<std::vector<std::string>> OpenFiles(const OpenFileRequest& request) override;
    std::optional<std::string> SaveFile(const SaveFileRequest& request) override;
    std::optional<std::string> BrowseFolder(const FolderRequest& request) override;
    std::optional<std::string> AskText(const TextRequest& request) override;
    MessageAnswer ShowMessage(const MessageRequest& request) override;
    void ReportFileError(const FileErrorReport& report) override;
    std::unique_ptr<IProgress> BeginProgress(const ProgressRequest& request) override;
    bool OpenWebPage(const std::string& url) override;
};

}  // namespace platform
