// SPDX-License-Identifier: MIT
#include "edit/files_to_add.h"

#include <algorithm>
#include <filesystem>

#include "platform/file_output.h"

namespace {

// The files in path order, folder by folder, compared as plain strings (far quicker than
// paths) with the separator turned into the lowest byte, which no name holds.
std::vector<std::filesystem::path> SortedAsPaths(const std::vector<std::filesystem::path>& files) {
    std::vector<std::pair<std::string, size_t>> keys;
    keys.reserve(files.size());
    for (size_t i = 0; i < files.size(); ++i) {
        std::string key = files[i].generic_u8string();
        std::replace(key.begin(), key.end(), '/', '\0');
        keys.emplace_back(std::move(key), i);
    }
    std::sort(keys.begin(), keys.end());
    std::vector<std::filesystem::path> sorted;
    sorted.reserve(files.size());
    for (const auto& key : keys) {
        sorted.push_back(files[key.second]);
    }
    return sorted;
}

}  // namespace

bool IsFolderPath(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_directory(HostPath(path), error);
}

std::string ExpandPath(const std::string& path, const std::string& folder,
                       std::vector<FileToAdd>* files) {
    const std::filesystem::path host = HostPath(path);
    if (!IsFolderPath(path)) {
        files->push_back({path, std::string(FileNamePart(path)), folder});
        return "";
    }
    std::error_code error;
    std::vector<std::filesystem::path> found;
    for (std::filesystem::recursive_directory_iterator it(host, error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error)) {
            found.push_back(it->path());
        }
    }
    if (error) {
        return error.message();
    }
    for (const std::filesystem::path& file : SortedAsPaths(found)) {
        const std::string below = file.parent_path().lexically_relative(host).generic_u8string();
        std::string sub = below == "." ? "" : below;
        if (!folder.empty()) {
            sub = sub.empty() ? folder : folder + "/" + sub;
        }
        files->push_back({file.u8string(), file.filename().u8string(), sub});
    }
    return "";
}
