#include "extract/extract_engine.h"

#include <algorithm>
#include <set>

#include "archive/entry_reader.h"
#include "extract/durable_batch.h"
#include "extract/host_files.h"
#include "extract/host_names.h"
#include "platform/file_output.h"

namespace extract {

namespace {

// One run: the archive opened once, the batch of files written aside, and the entries
// waiting for that batch before their fate is final.
class Run {
public:
    Run(const CLgpArchive& archive, const Options& options)
        : m_archive(archive),
          m_options(options),
          m_reader(archive),
          m_batch(options.anonymousTemporaries),
          m_identity(archive.GetArchiveIdentity()) {}

    Summary Go(const std::vector<Job>& jobs) {
        m_summary.total = jobs.size();
        // Each file written aside holds a handle until its batch is placed; some room
        // is left for everything else the program has open.
        constexpr size_t kOtherHandles = 64;
        const size_t limit = RaiseOpenFileLimit(m_options.batchFiles + kOtherHandles);
        m_batchFiles = std::max<size_t>(
            1, std::min(m_options.batchFiles, limit > kOtherHandles ? limit - kOtherHandles : 1));
        for (size_t done = 0; done < jobs.size() && !m_stop; ++done) {
            if (m_options.progress && !m_options.progress(done, jobs.size(), jobs[done].index)) {
                m_summary.cancelled = true;
                break;
            }
            One(jobs[done]);
            if (m_batch.PendingFiles() >= m_batchFiles ||
                m_batch.PendingBytes() >= m_options.batchBytes ||
                m_waiting.size() >= 4 * m_batchFiles) {
                Commit();
            }
        }
        Commit();
        m_summary.syncCalls = m_batch.SyncCalls();
        return m_summary;
    }

private:
    void One(const Job& job) {
        EntryResult result;
        result.index = job.index;
        const std::string name = EntryHostName(m_archive, job.index);
        result.target = job.target.empty() ? JoinPath(m_options.folder, name) : job.target;
        if (job.target.empty() && !IsPlainFileName(name)) {
            return Finish(result, Outcome::Refused, "not a plain file name");
        }
        const std::string key = CollisionKey(result.target);
        if (m_targets.count(key) != 0) {
            return Finish(result, Outcome::Refused,
                          "another entry of this run was written to that file");
        }
        const FileIdentity existing = IdentifyFile(result.target);
        if (existing.SameFile(m_identity)) {
            return Finish(result, Outcome::Refused, "that file is the archive being read");
        }
        const EntryCheck check = m_reader.Read(job.index, m_options.decompress, &m_bytes);
        result.check = check;
        if (check.problem == EntryProblem::ArchiveChanged) {
            m_summary.archiveChanged = true;
            m_stop = true;
            FailPending(DescribeEntryProblem(check.problem));  // may be the new file's bytes
            return Finish(result, Outcome::Failed, DescribeEntryProblem(check.problem));
        }
        if (check.problem == EntryProblem::CannotRead) {
            return Finish(result, Outcome::Failed, DescribeEntryProblem(check.problem));
        }
        Outcome outcome = Outcome::Written;
        if (!check.Whole()) {
            const std::string why = DescribeEntryProblem(check.problem);
            if (!m_options.partial) {
                return Finish(result, Outcome::Refused, why);
            }
            if (existing.known) {
                return Finish(result, Outcome::Refused,
                              why + "; not written over the existing file");
            }
            outcome = Outcome::Partial;
            result.reason = why;
        }
        std::string error;
        if (!m_batch.Add(result.target, m_bytes.data(), m_bytes.size(), existing.permissions,
                         &error)) {
            return Finish(result, Outcome::Failed, error);
        }
        m_targets.insert(key);
        result.outcome = outcome;
        result.bytes = m_bytes.size();
        m_waiting.push_back({result, true});
    }

    // Entries written aside get their fate once the batch is in place; the others wait
    // with them, so that reports keep the order of the jobs. An archive that changed
    // while the batch was read makes all of it suspect: none of it is placed.
    void Commit() {
        if (m_batch.PendingFiles() != 0 && !m_reader.StillUnchanged()) {
            m_summary.archiveChanged = true;
            m_stop = true;
            FailPending(DescribeEntryProblem(EntryProblem::ArchiveChanged));
        }
        const std::vector<CommitResult> placed = m_batch.Commit();
        size_t next = 0;
        for (Waiting& waiting : m_waiting) {
            if (waiting.inBatch && next < placed.size() && !placed[next++].ok) {
                Fail(waiting.result, placed[next - 1].error);
                Decide(waiting.result);
            }
            Count(waiting.result);
        }
        m_waiting.clear();
    }

    // Nothing written aside is placed: the batch is dropped and its entries fail.
    void FailPending(const std::string& why) {
        m_batch.Discard();
        for (Waiting& waiting : m_waiting) {
            if (waiting.inBatch) {
                Fail(waiting.result, why);
                waiting.inBatch = false;
            }
        }
    }

    static void Fail(EntryResult& result, const std::string& why) {
        result.outcome = Outcome::Failed;
        result.reason = why;
        result.bytes = 0;
    }

    void Finish(EntryResult& result, Outcome outcome, const std::string& why) {
        result.outcome = outcome;
        result.reason = why;
        Decide(result);
        m_waiting.push_back({result, false});
    }

    void Decide(const EntryResult& result) {
        if (!m_options.decide || m_quiet || m_stop) {
            return;
        }
        switch (m_options.decide(result)) {
            case Decision::Skip:
                break;
            case Decision::SkipAll:
                m_quiet = true;
                break;
            case Decision::Cancel:
                m_summary.cancelled = true;
                m_stop = true;
                break;
        }
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
        }
        if (m_options.report) {
            m_options.report(result);
        }
    }

    const CLgpArchive& m_archive;
    const Options& m_options;
    LgpEntryReader m_reader;
    DurableBatch m_batch;
    FileIdentity m_identity;
    Summary m_summary;
    std::set<std::string> m_targets;
    struct Waiting {
        EntryResult result;
        bool inBatch;  // written aside, to be placed by the batch's commit
    };
    std::vector<Waiting> m_waiting;
    std::vector<uint8_t> m_bytes;
    size_t m_batchFiles = 1;
    bool m_quiet = false;
    bool m_stop = false;
};

}  // namespace

std::vector<Job> JobsForEntries(const std::vector<uint16_t>& entries) {
    std::vector<Job> jobs(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        jobs[i].index = entries[i];
    }
    return jobs;
}

std::string EntryHostName(const CLgpArchive& archive, uint16_t index) {
    return HostNameFromLatin1(archive.GetEntryName(index));
}

bool IsArchiveFile(const CLgpArchive& archive, const std::string& path) {
    return IdentifyFile(path).SameFile(archive.GetArchiveIdentity());
}

Summary ExtractEntries(const CLgpArchive& archive, const std::vector<Job>& jobs,
                       const Options& options) {
    std::set<std::string> folders;
    for (const Job& job : jobs) {
        folders.insert(job.target.empty() ? options.folder : FolderOf(job.target));
    }
    for (const std::string& folder : folders) {
        RemoveStaleTemporaries(folder);
    }
    return Run(archive, options).Go(jobs);
}

}  // namespace extract
