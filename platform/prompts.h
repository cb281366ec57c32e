// SPDX-License-Identifier: MIT
#pragma once
// Every dialog and message box the program shows goes through this interface, so that
// the commands can be driven by a script in tests and the host's own dialogs are used
// on the desktop. Texts and paths are UTF-8.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace platform {

// SkipSkipAllCancel: a failure in the middle of a run of many; Escape means Cancel.
// ReplaceSkipAllCancel: a target of such a run exists (Replace, Skip, Replace All, Skip
// All, Cancel); Escape means Cancel.
// SaveDiscardCancel: unsaved changes are about to go; Yes saves, No discards them.
// CompressStoreCancel: how files go into a field archive; Yes compresses, No stores them as
// they are.
enum class MessageButtons {
    Ok,
    YesNo,
    SkipSkipAllCancel,
    ReplaceSkipAllCancel,
    SaveDiscardCancel,
    CompressStoreCancel
};
enum class MessageIcon { None, Question, Exclamation };
enum class MessageAnswer { Ok, Yes, No, Cancel, Skip, SkipAll, Replace, ReplaceAll };

struct OpenFileRequest {
    std::string initialDir{};  // empty: the host's default folder
    std::string fileName;      // pre-filled name, may be empty
    // Filter in the "Description|pattern|Description|pattern|" form; the first pair is
    // selected.
    std::string filter;
    bool mustExist = true;
    QWidget* owner = nullptr;  // null: the program's main window
};

struct SaveFileRequest {
    std::string initialDir;
    std::string fileName;
    std::string defaultExtension;  // without the dot; appended when the name has none
    std::string filter;
    bool overwritePrompt = true;
    QWidget* owner = nullptr;
};

struct FolderRequest {
    std::string title;
    std::string initialDir{};  // empty: the host's default folder
    QWidget* owner = nullptr;
};

// A line of text to type, such as what to find.
struct TextRequest {
    std::string title;
    std::string label;
    std::string text;  // pre-filled
    QWidget* owner = nullptr;
};

struct MessageRequest {
    std::string text;
    std::string caption;  // empty: the program's name
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
    QWidget* owner = nullptr;
    std::string detail{};  // shown under the text when not empty: the reason, say
    // The button Enter presses; unset, the first one.
    std::optional<MessageAnswer> defaultAnswer{};
};

// A file operation that failed, reported the way the file layer reports it: the file's
// name and the reason in words.
struct FileErrorReport {
    std::string fileName;
    std::string reason;
};

// A long run's progress: shown as a modal dialog with Cancel once the run has taken
// about half a second, never for runs shorter than that. A message box shown while it
// runs comes up in front of it and takes the input until it is answered.
struct ProgressRequest {
    std::string title;
    size_t total = 0;
    QWidget* owner = nullptr;
};

class IProgress {
public:
    virtual ~IProgress() = default;
    // Reports `done` of the total and what is being done now (empty: the text stays as
    // it was); false once the user has asked to cancel. Cheap enough to call per entry:
    // the dialog is brought up to date about thirty times a second.
    virtual bool Step(size_t done, const std::string& text) = 0;
};

class IPrompts {
public:
    virtual ~IPrompts() = default;

    // Each returns the chosen full path, or nothing when the user cancelled.
    virtual std::optional<std::string> OpenFile(const OpenFileRequest& request) = 0;
    // Any number of existing files at once; by default the one OpenFile chooses.
    virtual std::optional<std::vector<std::string>> OpenFiles(const OpenFileRequest& request);
    virtual std::optional<std::string> SaveFile(const SaveFileRequest& request) = 0;
    virtual std::optional<std::string> BrowseFolder(const FolderRequest& request) = 0;

    // The text typed, or nothing when the user cancelled.
    virtual std::optional<std::string> AskText(const TextRequest& request) = 0;
    virtual MessageAnswer ShowMessage(const MessageRequest& request) = 0;
    virtual void ReportFileError(const FileErrorReport& report) = 0;
    // Progress of one run; the dialog goes when the object does.
    virtual std::unique_ptr<IProgress> BeginProgress(const ProgressRequest& request) = 0;

    // Opens the page in the user's web browser; false when that could not be started.
    virtual bool OpenWebPage(const std::string& url) = 0;
};

// The prompts in use: the desktop ones unless a test installed others.
IPrompts& Prompts();
// Installs `prompts` (not owned; null restores the desktop ones) and returns the previous.
IPrompts* SetPrompts(IPrompts* prompts);

// A filter pair of the "Description|pattern|" form, as the host's file dialog wants it.
struct FileFilter {
    std::string description;            // shown as it is
    std::vector<std::string> patterns;  // host patterns, e.g. "*.lgp", "*.LGP"
};
// Splits "A (*.a)|*.a|All files (*.*)|*.*|" into its pairs. "*.*" means every file and
// becomes "*"; a pattern with letters also matches its upper-case spelling, since the
// archives come from a host whose file names ignore case. Pairs without a pattern are
// dropped.
std::vector<FileFilter> ParseFileFilter(const std::string& filter);

// The message the file layer shows for a failed file operation.
std::string FormatFileErrorMessage(const FileErrorReport& report);

}  // namespace platform
