// SPDX-License-Identifier: MIT
#include "extract/extract_engine.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "archive/lgp_snapshot.h"
#include "extract/durable_batch.h"
#include "extract/host_names.h"
#include "platform/file_output.h"
#include "platform/host_calls.h"
#include "platform/temporary_place.h"

namespace extract {

namespace {

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

// One run: the archive opened once, the batch of files written aside, and the entries
// waiting for that batch before their fate is final.
class Run {
public:
    Run(const IEntrySource& source, const Options& options)
        : m_source(source),
          m_options(options),
          m_reader(source.OpenReader()),
          m_state(options.run),
          m_batch(options.anonymousTemporaries),
          m_identity(source.ArchiveIdentity()) {}

    Summary Go(const std::vector<Job>& jobs) {
        m_summary.total = jobs.size();
        ListFolder(jobs);
        // Each file written aside holds a handle until its batch is placed; some room
        // is left for everything else the program has open.
        // Two batches hold handles at once: the one being placed and the one being written.
        constexpr size_t kOtherHandles = 64;
        const size_t limit = host::RaiseOpenFileLimit(2 * m_options.batchFiles + kOtherHandles);
        m_batchFiles =
            std::max<size_t>(1, std::min(m_options.batchFiles,
                                         limit > kOtherHandles ? (limit - kOtherHandles) / 2 : 1));
        for (size_t done = 0;
             done < jobs.size() && !m_stop && !m_state.Cancelled() && !m_replaceCancelled; ++done) {
            if (!m_state.Continue(done, jobs.size(), jobs[done].entry)) {
                break;
            }
            One(jobs[done]);
            if (m_batch.PendingFiles() >= m_batchFiles ||
                m_batch.PendingBytes() >= m_options.batchBytes ||
                m_waiting.size() >= 4 * m_batchFiles) {
                Commit(false);
            }
        }
        Commit(true);
        m_summary.cancelled = m_state.Cancelled() || m_replaceCancelled;
        m_summary.syncCalls = m_batch.SyncCalls();
        return m_summary;
    }

private:
    struct Waiting {
        EntryResult result;
        bool inBatch;  // written aside, to be placed by the batch's commit
    };

    void One(const Job& given) {
        EntryResult result;
        result.entry = given.entry;
        Job job = given;
        if (job.target.empty() && !m_source.Folder(job.entry).empty()) {
            // Entries sharing a name go into their folders, so none refuses another.
            std::string why;
            job.target = FolderTarget(m_options.folder, m_source, job.entry, &why);
            if (job.target.empty()) {
                result.target = EntryHostName(m_source, job.entry);
                return Finish(result, Outcome::Refused, RunReason::NotPlainName, why);
            }
        }
        const std::string name = EntryHostName(m_source, job.entry);
        result.target = job.target.empty() ? JoinPath(m_options.folder, name) : job.target;
        if (job.target.empty() && !IsPlainFileName(name)) {
            return Finish(result, Outcome::Refused, RunReason::NotPlainName,
                          "not a plain file name");
        }
        const std::string key = CollisionKey(result.target, m_options.namesIgnoreCase);
        if (m_targets.count(key) != 0) {
            return Finish(result, Outcome::Refused, RunReason::SameTargetInRun,
                          "another entry of this run was written to that file");
        }
        // Names that differ only in letter case are different entries; in a folder that
        // ignores case the later one would replace the earlier, so it is refused there.
        const auto folded = m_folded.find(FoldedAscii(result.target));
        if (folded != m_folded.end() && folded->second != key && FolderIgnoresCase(result.target)) {
            return Finish(result, Outcome::Refused, RunReason::SameTargetInRun,
                          "another entry of this run differs from it only in letter case, "
                          "and this folder ignores case");
        }
        const InTheWay existing = MayExist(job, key) ? LookAt(result.target) : InTheWay{};
        if (IsTheArchive(existing, result.target)) {
            return Finish(result, Outcome::Refused, RunReason::TargetIsArchive,
                          kTargetIsTheArchive);
        }
        if (existing.writeProtected && !m_options.replaceWriteProtected) {
            return Finish(result, Outcome::Refused, RunReason::TargetWriteProtected,
                          kTargetWriteProtected);
        }
        const EntryCheck check = m_reader->Read(job.entry, m_options.decompress, &m_bytes);
        result.check = check;
        const RunReason code = ReasonOf(check.problem);
        const std::string why = DescribeEntryProblem(check.problem);
        if (check.problem == EntryProblem::ArchiveChanged) {
            StopForChangedArchive();  // what was read may be the new file's bytes
            return Finish(result, Outcome::Failed, code, why);
        }
        if (check.problem == EntryProblem::CannotRead) {
            return Finish(result, Outcome::Failed, code, why);
        }
        Outcome outcome = Outcome::Written;
        if (!check.Whole()) {
            if (!m_options.partial) {
                return Finish(result, Outcome::Refused, code, why);
            }
            if (existing.kind != PathKind::Nothing) {
                return Finish(result, Outcome::Refused, RunReason::NotOverExisting,
                              why + "; not written over the existing file");
            }
            outcome = Outcome::Partial;
            result.code = code;
            result.reason = why;
        }
        // A folder in the way is no file to replace: the write fails, and asking first
        // would only add a question.
        const bool aFile =
            existing.kind == PathKind::RegularFile || existing.kind == PathKind::Link;
        if (aFile && !MayReplace(result)) {
            return Keep(result);
        }
        PlaceRules rules;
        rules.protect = m_identity;
        rules.mayReplace = outcome != Outcome::Partial;
        rules.replaceWriteProtected = m_options.replaceWriteProtected;
        std::string error;
        if (!m_batch.Add(result.target, m_bytes.data(), m_bytes.size(), rules, &error)) {
            return Finish(result, Outcome::Failed, WriteReason(error), error);
        }
        m_targets.insert(key);
        m_folded.emplace(FoldedAscii(result.target), key);
        result.outcome = outcome;
        result.bytes = m_bytes.size();
        m_waiting.push_back({result, true});
    }

    // The archive itself, or a link to it: replacing the link would spare the archive, but
    // whoever made it meant the archive.
    bool IsTheArchive(const InTheWay& existing, const std::string& target) const {
        return existing.identity.SameFile(m_identity) ||
               (existing.kind == PathKind::Link && IdentifyFile(target).SameFile(m_identity));
    }

    // The names the run's folder holds when it starts, so that only those targets are
    // looked at one by one; a file appearing later is looked at when it is in the way.
    void ListFolder(const std::vector<Job>& jobs) {
        if (std::none_of(jobs.begin(), jobs.end(),
                         [](const Job& job) { return job.target.empty(); })) {
            return;  // every job names its own target
        }
        std::error_code error;
        for (std::filesystem::directory_iterator it(host::FolderPath(m_options.folder), error), end;
             !error && it != end; it.increment(error)) {
            m_present.insert(
                CollisionKey(JoinPath(m_options.folder, it->path().filename().u8string()),
                             m_options.namesIgnoreCase));
        }
        m_listed = !error;
    }

    // Whether the folder of `target` takes names differing in case for one file: a probe
    // file with a lower-case name is looked up under its upper-case name. A folder where
    // the probe cannot be made counts as ignoring case, which loses nothing.
    bool FolderIgnoresCase(const std::string& target) {
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

    static std::string FoldedAscii(std::string text) {
        for (char& c : text) {
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        }
        return text;
    }

    bool MayExist(const Job& job, const std::string& key) const {
        return !job.target.empty() || !m_listed || m_present.count(key) != 0;
    }

    // Entries written aside get their fate once their batch is in place; the others wait
    // with them, so that reports keep the order of the jobs. A batch is placed while the
    // next one is written; its entries are told when that one is sent. An archive that
    // changed while the batch was read makes all of it suspect: none of it is placed.
    void Commit(bool last) {
        if (m_batch.PendingFiles() != 0 && !m_reader->StillUnchanged()) {
            StopForChangedArchive();
        }
        const std::vector<CommitResult> placed = m_batch.Collect();
        if (m_batch.PendingFiles() != 0) {
            m_batch.Send();
        }
        std::vector<Waiting> sent;
        sent.swap(m_waiting);
        Resolve(m_inFlight, placed);
        m_inFlight = std::move(sent);
        if (last) {
            Resolve(m_inFlight, m_batch.Collect());
        }
    }

    void Resolve(std::vector<Waiting>& waitingList, const std::vector<CommitResult>& placed) {
        size_t next = 0;
        for (Waiting& waiting : waitingList) {
            if (waiting.inBatch && next < placed.size() && !placed[next++].ok) {
                const std::string& error = placed[next - 1].error;
                Fail(waiting.result, WriteReason(error), error);
                Decide(waiting.result);
            }
            Count(waiting.result);
        }
        waitingList.clear();
    }

    // The run stops, and nothing written aside is placed: the batch is dropped and its
    // entries fail.
    void StopForChangedArchive() {
        m_summary.archiveChanged = true;
        m_stop = true;
        m_state.Stop();
        m_batch.Discard();
        for (Waiting& waiting : m_waiting) {
            if (waiting.inBatch) {
                Fail(waiting.result, RunReason::ArchiveChanged,
                     DescribeEntryProblem(EntryProblem::ArchiveChanged));
                waiting.inBatch = false;
            }
        }
    }

    // Whether the file at the entry's target may be replaced, as the user says.
    bool MayReplace(const EntryResult& result) {
        if (!m_options.replace || m_replace == ReplaceDecision::ReplaceAll) {
            return true;
        }
        if (m_replace != ReplaceDecision::SkipAll) {
            m_replace = m_options.replace(result);
        }
        switch (m_replace) {
            case ReplaceDecision::Replace:
            case ReplaceDecision::ReplaceAll:
                return true;
            case ReplaceDecision::Cancel:
                m_replaceCancelled = true;
                return false;
            case ReplaceDecision::Skip:
            case ReplaceDecision::SkipAll:
                return false;
        }
        return false;
    }

    void Keep(EntryResult& result) {
        result.outcome = Outcome::Kept;
        result.reason = "the existing file was kept";
        m_waiting.push_back({result, false});
    }

    // The code of a refusal by the placing rules; any other failure is the host's.
    static RunReason WriteReason(const std::string& error) {
        const std::pair<const char*, RunReason> kRefusals[] = {
            {kTargetIsTheArchive, RunReason::TargetIsArchive},
            {kTargetWriteProtected, RunReason::TargetWriteProtected},
            {kTargetTaken, RunReason::TargetTaken},
            {kTargetNotAFile, RunReason::TargetNotAFile},
        };
        for (const auto& [text, code] : kRefusals) {
            if (error == text) {
                return code;
            }
        }
        return RunReason::CannotWrite;
    }

    static void Fail(EntryResult& result, RunReason code, const std::string& why) {
        result.outcome = Outcome::Failed;
        result.code = code;
        result.reason = why;
        result.bytes = 0;
    }

    void Finish(EntryResult& result, Outcome outcome, RunReason code, const std::string& why) {
        result.outcome = outcome;
        result.code = code;
        result.reason = why;
        Decide(result);
        m_waiting.push_back({result, false});
    }

    void Decide(const EntryResult& result) {
        m_state.Failed({result.entry, result.code, result.reason});
    }

    void Count(const EntryResult& result) {
        switch (result.outcome) {
            case Outcome::Written:
                ++m_summary.written;
                break;
            case Outcome::Partial:
                ++m_summary.partial;
                break;
            case Outcome::Refused:
                ++m_summary.refused;
                break;
            case Outcome::Failed:
                ++m_summary.failed;
                break;
            case Outcome::Kept:
                ++m_summary.kept;
                break;
        }
        if (m_options.report) {
            m_options.report(result);
        }
    }

    const IEntrySource& m_source;
    const Options& m_options;
    std::unique_ptr<IEntryReader> m_reader;
    RunState m_state;
    DurableBatch m_batch;
    FileIdentity m_identity;
    Summary m_summary;
    std::unordered_set<std::string> m_targets;
    std::unordered_set<std::string> m_present;  // keys of the folder's names at the start
    bool m_listed = false;
    std::unordered_map<std::string, std::string> m_folded;  // ASCII-folded -> key
    std::unordered_map<std::string, bool> m_ignoresCase;    // per folder
    std::vector<Waiting> m_waiting;
    std::vector<Waiting> m_inFlight;  // the entries of the batch being placed
    std::vector<uint8_t> m_bytes;
    size_t m_batchFiles = 1;
    bool m_stop = false;                                   // the archive changed
    bool m_replaceCancelled = false;                       // Cancel when asked about a target
    ReplaceDecision m_replace = ReplaceDecision::Replace;  // the last answer about a target
};

}  // namespace

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

std::string EntryHostName(const CLgpArchive& archive, uint16_t index) {
    return HostNameFromLatin1(archive.GetEntryName(index));
}

bool IsArchiveFile(const IEntrySource& source, const std::string& path) {
    return IdentifyFile(path).SameFile(source.ArchiveIdentity());
}

bool IsArchiveFile(const CLgpArchive& archive, const std::string& path) {
    return IdentifyFile(path).SameFile(archive.GetArchiveIdentity());
}

Summary ExtractEntries(const CLgpArchive& archive, const std::vector<Job>& jobs,
                       const Options& options) {
    return ExtractEntries(*archive.Snapshot(), jobs, options);
}

Summary ExtractEntries(const IEntrySource& source, const std::vector<Job>& jobs,
                       const Options& options) {
    std::set<std::string> folders;
    for (const Job& job : jobs) {
        folders.insert(job.target.empty() ? options.folder : FolderOf(job.target));
    }
    for (const std::string& folder : folders) {
        SweepAbandonedTemporaries(folder);
    }
    return Run(source, options).Go(jobs);
}

}  // namespace extract
