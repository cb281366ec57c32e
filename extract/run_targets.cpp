// SPDX-License-Identifier: MIT
#include "extract/run_targets.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "extract/host_names.h"
#include "platform/file_output.h"
#include "platform/host_calls.h"

namespace extract {

// The target of an entry that has a folder: every level a plain name, created when
// missing. "" with `why` when it cannot be.
std::string FolderTarget(const std::string& base, const IEntrySource& source, EntryId entry,
                         std::string* why) {
    const std::string folder = HostNameFromLatin1(source.Folder(entry));
    std::string path = base;
    size_t start = 0;
    while (start <= folder.size()) {
        const size_t end = std::min(folder.find('/', start), folder.size());
        const std::string level = folder.substr(start, end - start);
        if (!IsPlainFileName(level)) {
            *why = "its folder is not a plain folder name";
            return "";
        }
        path = JoinPath(path, level);
        start = end + 1;
    }
    std::error_code error;
    std::filesystem::create_directories(HostPath(path), error);
    if (error) {
        *why = "cannot create its folder " + path + ": " + error.message();
        return "";
    }
    const std::string name = EntryHostName(source, entry);
    if (!IsPlainFileName(name)) {
        *why = "not a plain file name";
        return "";
    }
    return JoinPath(path, name);
}

// The names the run's folder holds when it starts, so that only those targets are
// looked at one by one; a file appearing later is looked at when it is in the way.
void RunTargets::ListFolder(const std::vector<Job>& jobs) {
    if (std::none_of(jobs.begin(), jobs.end(), [](const Job& job) { return job.target.empty(); })) {
        return;  // every job names its own target
    }
    std::error_code error;
    for (std::filesystem::directory_iterator it(host::FolderPath(m_folder), error), end;
         !error && it != end; it.increment(error)) {
        m_present.insert(
            CollisionKey(JoinPath(m_folder, it->path().filename().u8string()), m_ignoreCase));
    }
    m_listed = !error;
}

// Whether the folder of `target` takes names differing in case for one file: a probe
// file with a lower-case name is looked up under its upper-case name. A folder where
// the probe cannot be made counts as ignoring case, which loses nothing.
bool RunTargets::FolderIgnoresCase(const std::string& target) {
    const std::string folder = target.substr(0, FolderPartLength(target));
    const auto known = m_ignoresCase.find(folder);
    if (known != m_ignoresCase.end()) {
        return known->second;
    }
    const std::string probe =
        ".lumo-case-probe-" +
        std::to_string(std::chrono::steady_clock::now().time_since_epoch().count());
    std::string upper = probe;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    });
    bool ignores = true;
    const int fd = host::CreateExclusive(JoinPath(folder, probe));
    if (fd >= 0) {
        host::CloseFile(fd);
        ignores = IdentifyFile(JoinPath(folder, upper)).known;
        host::RemoveFile(JoinPath(folder, probe));
    }
    return m_ignoresCase[folder] = ignores;
}

std::string RunTargets::FoldedAscii(std::string text) {
    for (char& c : text) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return text;
}

bool RunTargets::MayExist(const Job& job, const std::string& key) const {
    return !job.target.empty() || !m_listed || m_present.count(key) != 0;
}

const char* RunTargets::Clash(const std::string& target, const std::string& key) {
    if (m_targets.count(key) != 0) {
        return "another entry of this run was written to that file";
    }
    // Names that differ only in letter case are different entries; in a folder that
    // ignores case the later one would replace the earlier, so it is refused there.
    const auto folded = m_folded.find(FoldedAscii(target));
    if (folded != m_folded.end() && folded->second != key && FolderIgnoresCase(target)) {
        return "another entry of this run differs from it only in letter case, "
               "and this folder ignores case";
    }
    return nullptr;
}

void RunTargets::Take(const std::string& target, const std::string& key) {
    m_targets.insert(key);
    m_folded.emplace(FoldedAscii(target), key);
}

std::vector<Job> JobsForEntries(const IEntrySource& source,
                                const std::vector<uint16_t>& positions) {
    std::vector<Job> jobs(positions.size());
    for (size_t i = 0; i < positions.size(); ++i) {
        jobs[i].entry = source.IdAt(positions[i]);
    }
    return jobs;
}

std::vector<Job> JobsForEntries(const std::vector<uint16_t>& entries) {
    std::vector<Job> jobs(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        jobs[i].entry = EntryId{entries[i]};  // the snapshot's ids are its table positions
    }
    return jobs;
}

std::string EntryHostName(const IEntrySource& source, EntryId entry) {
    return HostNameFromLatin1(source.Name(entry));
}

bool IsArchiveFile(const IEntrySource& source, const std::string& path) {
    return IdentifyFile(path).SameFile(source.ArchiveIdentity());
}

}  // namespace extract
