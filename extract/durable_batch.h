#pragma once
// Writes files so that a crash, a power cut or a killed run leaves every target either
// as it was or wholly new, without paying for a disk sync per file.
//
// Files are written aside and collected in a batch; placing it makes the whole batch
// durable with one sync of the file system (one per file where the host has no such
// call), then moves each file into place and syncs each folder once. That runs on a
// thread of its own while the caller writes the next batch, so the disk's wait and the
// caller's work overlap. Where the file system allows,
// the files written aside are anonymous (Linux O_TMPFILE) and vanish with the process;
// elsewhere they are hidden ".NAME.lumo-PID-N" files, which RemoveStaleTemporaries
// deletes once their process is gone. A file replaced keeps its permission bits.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "archive/archive_file.h"

namespace extract {

// Why a target is refused when it is the protected file (the archive being read).
inline constexpr const char* kTargetIsTheArchive = "that file is the archive being read";

// What the caller found at a target before writing it.
struct TargetFacts {
    bool exists = false;       // a file was there (then the caller looked at it)
    uint32_t permissions = 0;  // its permission bits, which the new file takes
    // false: a file found at the target when the batch places it stays, and this one
    // fails instead.
    bool mayReplace = true;
};

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

    // A file never replaced, whatever name it turns up under (the archive being read).
    void Protect(const FileIdentity& file) { m_protected = file; }

    // Writes `size` bytes aside for `target` (a UTF-8 path); false with `error` set when
    // that failed, and then nothing of it remains. A target that was free when the caller
    // looked but is taken when placed is looked at then: never the protected file, never
    // when `mayReplace` is false, and its permission bits are kept.
    bool Add(const std::string& target, const void* data, size_t size, const TargetFacts& facts,
             std::string* error);

    // Starts making the pending files durable and moving them into place, in the order
    // added, and returns at once. Collect the batch sent before first: its results are
    // dropped otherwise.
    void Send();
    // Waits for the batch sent last and returns what became of each of its files; empty
    // when none is on its way.
    std::vector<CommitResult> Collect();
    // Drops the pending files; their targets stay as they were.
    void Discard();

    size_t PendingFiles() const { return m_pending.size(); }
    uint64_t PendingBytes() const { return m_pendingBytes; }
    // Sync calls made by the batches collected so far (file, file system and folder syncs).
    unsigned SyncCalls() const { return m_syncCalls; }

private:
    struct Pending {
        std::string target;
        std::string temporary;  // empty for an anonymous file
        int handle = -1;
        int folder = -1;  // the target's folder, for anonymous files
        uint64_t device = 0;
        TargetFacts facts;
    };
    // A batch on its way into place, owned by its thread until collected.
    struct Flight {
        std::vector<Pending> files;
        std::map<std::string, int> folders;  // folder path -> open handle
        std::vector<CommitResult> results;
        unsigned syncCalls = 0;
    };
    int Folder(const std::string& path);
    void Land(Flight& flight) const;
    bool SyncData(Flight& flight, std::string* error) const;
    bool Place(Pending& file, std::string* error) const;
    bool MayTakeOver(Pending& file, std::string* error) const;
    static void Drop(Pending& file);
    static void CloseFolders(std::map<std::string, int>& folders);

    bool m_anonymous;
    std::vector<Pending> m_pending;
    uint64_t m_pendingBytes = 0;
    unsigned m_syncCalls = 0;
    std::string m_lastFolder;
    uint64_t m_lastDevice = 0;
    std::map<std::string, int> m_folders;  // folder path -> open handle
    FileIdentity m_protected;
    std::unique_ptr<Flight> m_flight;
    std::thread m_placing;
};

// Deletes the hidden temporaries of runs whose process is gone from `folder`; returns
// how many it deleted. Those of live processes, this one included, stay.
size_t RemoveStaleTemporaries(const std::string& folder);

// The folder part of a path, with its separator ("" for a bare name).
std::string FolderOf(const std::string& path);

}  // namespace extract
