// SPDX-License-Identifier: MIT
#pragma once
// Where an extraction run puts its entries: the file names entries get on the host, the
// folders of entries sharing a name, and the rule that no two entries of one run land on
// the same file. The run itself is extract_engine.cpp.
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "extract/extract_engine.h"

namespace extract {

// The target of an entry that has a folder: every level a plain name, created when
// missing. "" with `why` when it cannot be.
std::string FolderTarget(const std::string& base, const IEntrySource& source, EntryId entry,
                         std::string* why);

// The targets one run has taken, and what its folder held when it started.
class RunTargets {
public:
    RunTargets(std::string folder, bool namesIgnoreCase)
        : m_folder(std::move(folder)), m_ignoreCase(namesIgnoreCase) {}

    // The names the run's folder holds when it starts, so that only those targets are
    // looked at one by one; a file appearing later is looked at when it is in the way.
    void ListFolder(const std::vector<Job>& jobs);
    // The key two targets that are one file on this host share.
    std::string Key(const std::string& target) const { return CollisionKey(target, m_ignoreCase); }
    // Why `target` clashes with a target the run has taken already; null when it does not.
    const char* Clash(const std::string& target, const std::string& key);
    // Whether a file may be in the way at the job's target (false: the folder's listing
    // says none is).
    bool MayExist(const Job& job, const std::string& key) const;
    // The run writes to `target`.
    void Take(const std::string& target, const std::string& key);

private:
    bool FolderIgnoresCase(const std::string& target);
    static std::string FoldedAscii(std::string text);

    std::string m_folder;
    bool m_ignoreCase;
    std::unordered_set<std::string> m_targets;
    std::unordered_set<std::string> m_present;  // keys of the folder's names at the start
    bool m_listed = false;
    std::unordered_map<std::string, std::string> m_folded;  // ASCII-folded -> key
    std::unordered_map<std::string, bool> m_ignoresCase;    // per folder
};

}  // namespace extract
