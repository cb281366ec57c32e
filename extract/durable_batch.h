#pragma once
// Writes files so that a crash, a power cut or a killed run leaves every target either
// as it was or wholly new, without paying for a disk sync per file.
//
// Files are written aside and collected in a batch; Commit makes the whole batch durable
// with one sync of the file system (one per file where the host has no such call), then
// moves each file into place and syncs each folder once. Where the file system allows,
// the files written aside are anonymous (Linux O_TMPFILE) and vanish with the process;
// elsewhere they are hidden ".NAME.lumo-PID-N" files, which RemoveStaleTemporaries
// deletes once their process is gone. A file replaced keeps its permission bits.
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace extract {

struct CommitResult {
    std::string target;
    bool ok = false;
    std::string error;  // why it failed, with the system's message
};

class DurableBatch {
public:
    // `anonymous` = false always uses named temporaries (the fallback, for tests).
    explicit DurableBatch(bool anonymous = true) : m_anonymous(anonymous) {}
    ~DurableBatch();
    DurableBatch(const DurableBatch&) = delete;
    DurableBatch& operator=(const DurableBatch&) = delete;

    // Writes `size` bytes aside for `target` (a UTF-8 path), with the permission bits of
    // the file it replaces (`keepPermissions`, 0 for none); false with `error` set when
    // that failed, and then nothing of it remains.
    bool Add(const std::string& target, const void* data, size_t size, uint32_t keepPermissions,
             std::string* error);

    // Makes the pending files durable and moves them into place, in the order added.
    std::vector<CommitResult> Commit();
    // Drops the pending files; their targets stay as they were.
    void Discard();

    size_t PendingFiles() const { return m_pending.size(); }
    uint64_t PendingBytes() const { return m_pendingBytes; }
    // Sync calls made so far (file, file system and folder syncs).
    unsigned SyncCalls() const { return m_syncCalls; }

private:
    struct Pending {
        std::string target;
        std::string temporary;  // empty for an anonymous file
        int handle = -1;
        uint64_t device = 0;
    };
    bool SyncData(std::string* error);
    bool Place(Pending& file, std::string* error);
    void Drop(Pending& file);

    bool m_anonymous;
    std::vector<Pending> m_pending;
    uint64_t m_pendingBytes = 0;
    unsigned m_syncCalls = 0;
    std::string m_lastFolder;
    uint64_t m_lastDevice = 0;
};

// Deletes the hidden temporaries of runs whose process is gone from `folder`; returns
// how many it deleted. Those of live processes, this one included, stay.
size_t RemoveStaleTemporaries(const std::string& folder);

// The folder part of a path, with its separator ("" for a bare name).
std::string FolderOf(const std::string& path);

}  // namespace extract
