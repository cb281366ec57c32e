// SPDX-License-Identifier: MIT
// The extraction run: each entry read, checked and written aside in batches, placed once
// durable, and reported in the order of the jobs. Where each entry goes, and which
// targets clash, is run_targets.cpp.
#include "extract/extract_engine.h"

#include <algorithm>
#include <set>

#include "archive/lgp_snapshot.h"
#include "extract/durable_batch.h"
#include "extract/host_names.h"
#include "extract/run_targets.h"
#include "platform/file_output.h"
#include "platform/host_calls.h"
#include "platform/temporary_place.h"

namespace extract {

namespace {

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
          m_identity(source.ArchiveIdentity()),
          m_targets(options.folder, options.namesIgnoreCase) {}

    Summary Go(const std::vector<Job>& jobs) {
        m_summary.total = jobs.size();
        m_targets.ListFolder(jobs);
        // Each file written aside holds a handle until its batch is placed; some room
        // is left for everything else the program has open.
        // Two batches hold handles at once: the one being placed and the one being written.
        constexpr size_t kOtherHandles = 64;
        const size_t limit = host::RaiseOpenFileLimit(2 * m_options.batchFiles + kOtherHandles);
        m_batchFiles =
            std::max<size_t>(1, std::min(m_options.batchFiles,
                                         limit > kOtherHandles ? (limit - kOtherHandles) / 2 : 1));
        size_t batchNow = std::max<size_t>(1, std::min(m_batchFiles, m_options.firstBatchFiles));
        size_t sent = 0;
        for (size_t done = 0;
             done < jobs.size() && !m_stop && !m_state.Cancelled() && !m_replaceCancelled; ++done) {
            if (!m_state.Continue(done, jobs.size(), jobs[done].entry)) {
                break;
            }
            One(jobs[done]);
            if (m_batch.PendingFiles() >= batchNow ||
                m_batch.PendingBytes() >= m_options.batchBytes ||
                m_waiting.size() >= 4 * batchNow) {
                sent += m_batch.PendingFiles();
                Commit(false);
                // Each batch may hold as many files as all before it.
                batchNow = std::min(m_batchFiles, std::max(batchNow, sent));
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
        const std::string key = m_targets.Key(result.target);
        if (const char* clash = m_targets.Clash(result.target, key)) {
            return Finish(result, Outcome::Refused, RunReason::SameTargetInRun, clash);
        }
        const InTheWay existing = m_targets.MayExist(job, key) ? LookAt(result.target) : InTheWay{};
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
        m_targets.Take(result.target, key);
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
    RunTargets m_targets;
    Summary m_summary;
    std::vector<Waiting> m_waiting;
    std::vector<Waiting> m_inFlight;  // the entries of the batch being placed
    std::vector<uint8_t> m_bytes;
    size_t m_batchFiles = 1;
    bool m_stop = false;                                   // the archive changed
    bool m_replaceCancelled = false;                       // Cancel when asked about a target
    ReplaceDecision m_replace = ReplaceDecision::Replace;  // the last answer about a target
};

}  // namespace

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
