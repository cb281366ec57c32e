// SPDX-License-Identifier: MIT
#include "platform/prompts.h"

#include <QCoreApplication>
#include <QString>
#include <algorithm>
#include <cctype>

#include "platform/prompts_desktop.h"

namespace platform {

namespace {

IPrompts*& InstalledPrompts() {
    static IPrompts* installed = nullptr;
    return installed;
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (start <= text.size()) {
        auto end = text.find(separator, start);
        if (end == std::string::npos) {
            end = text.size();
        }
        parts.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::string Trimmed(const std::string& text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

void AddPattern(std::vector<std::string>& patterns, const std::string& pattern) {
    if (std::find(patterns.begin(), patterns.end(), pattern) == patterns.end()) {
        patterns.push_back(pattern);
    }
}

std::vector<std::string> HostPatterns(const std::string& patternList) {
    std::vector<std::string> patterns;
    for (const std::string& part : SplitAt(patternList, ';')) {
        std::string pattern = Trimmed(part);
        if (pattern.empty()) {
            continue;
        }
        if (pattern == "*.*") {
            AddPattern(patterns, "*");
            continue;
        }
        AddPattern(patterns, pattern);
        std::string upper = pattern;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        AddPattern(patterns, upper);
    }
    return patterns;
}

}  // namespace

std::optional<std::vector<std::string>> IPrompts::OpenFiles(const OpenFileRequest& request) {
    std::optional<std::string> chosen = OpenFile(request);
    if (!chosen) {
        return std::nullopt;
    }
    return std::vector<std::string>{*chosen};
}

IPrompts& Prompts() {
    if (IPrompts* installed = InstalledPrompts()) {
        return *installed;
    }
    static DesktopPrompts desktop;
    return desktop;
}

IPrompts* SetPrompts(IPrompts* prompts) {
    IPrompts* previous = InstalledPrompts();
    InstalledPrompts() = prompts;
    return previous;
}

std::vector<FileFilter> ParseFileFilter(const std::string& filter) {
    std::vector<FileFilter> result;
    std::vector<std::string> parts = SplitAt(filter, '|');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() && parts[i + 1].empty()) {
            break;  // the "||" that ends the list
        }
        std::vector<std::string> patterns = HostPatterns(parts[i + 1]);
        if (!patterns.empty()) {
            result.push_back({parts[i], std::move(patterns)});
        }
    }
    return result;
}

std::string FormatFileErrorMessage(const FileErrorReport& report) {
    const QString name = report.fileName.empty()
                             ? QCoreApplication::translate("platform::IPrompts", "An unnamed file")
                             : QString::fromStdString(report.fileName);
    std::string message =
        QCoreApplication::translate("platform::IPrompts", "An error occurred while accessing %1.")
            .arg(name)
            .toStdString();
    if (!report.reason.empty()) {
        message += "\n" + report.reason;
    }
    return message;
}

}  // namespace platform
