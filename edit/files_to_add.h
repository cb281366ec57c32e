// SPDX-License-Identifier: MIT
#pragma once
// What a path given to create, add, Insert, a drop or a paste stands for: a file is
// itself; a folder is every file below it, the folders under it (not its own name)
// becoming each entry's folder. Both front ends expand paths here, so a folder goes in
// the same way whichever of them adds it.
#include <string>
#include <vector>

struct FileToAdd {
    std::string path;    // the host file, UTF-8
    std::string name;    // its file name, UTF-8
    std::string folder;  // '/' between levels, "" at the top
};

// Appends the files `path` stands for to `files`, a folder's in path order (folder by
// folder), each under `folder` when that is not "". Links to files are followed, links
// to folders are not, and a link that leads nowhere is left out. Returns "" or why the
// folder could not be walked; then nothing was appended.
std::string ExpandPath(const std::string& path, const std::string& folder,
                       std::vector<FileToAdd>* files);

// Whether `path` is a folder (a link to one included).
bool IsFolderPath(const std::string& path);
