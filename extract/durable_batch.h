// SPDX-License-Identifier: MIT
#pragma once
// Writes files so that a crash, a power cut or a killed run leaves every target either
// as it was or wholly new, without paying for a disk sync per file.
//
// Files are written aside and collected in a batch; placing it makes the whole batch
// durable with one sync of the file system (one per file where the host has no such
// call), then moves each file into place and syncs each folder once. That runs on a
// thread of its own while the caller writes the next batch, so the disk's wait and the
// caller's work overlap. Each file is an AtomicFile, with its promises: anonymous where
// the host allows, otherwise in a private temporary place per folder; what is in the way
// is replaced only by its rules, keeping a regular file's permission bits.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/temporary_place.h"

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

    // Writes `size` bytes aside for `target` (a UTF-8 path); false with `error` set when
    // that failed, and then nothing of it remains. What is in the way when the batch is
    // placed is replaced only as `rules` allow.
    bool Add(const std::string& target, const void* data, size_t size, const PlaceRules& rules,
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
        AtomicFile file;
        uint64_t device = 0;
    };
    // What the batch keeps per folder until it is placed.
    struct Folder {
        int handle = -1;
        std::shared_ptr<TemporaryPlace> place;
    };
    // A batch on its way into place, owned by its thread until collected.
    struct Flight {
        std::vector<Pending> files;
        std::map<std::string, Folder> folders;
        std::vector<CommitResult> results;
        unsigned syncCalls = 0;
    };
    const Folder& FolderFor(const std::string& path);
    void Land(Flight& flight) const;
    bool SyncData(Flight& flight, std::string* error) const;
    static void CloseFolders(std::map<std::string, Folder>& folders);

    bool m_anonymous;
    std::vector<Pending> m_pending;
    uint64_t m_pendingBytes = 0;
    unsigned m_syncCalls = 0;
    std::string m_lastFolder;
    uint64_t m_lastDevice = 0;
    std::map<std::string, Folder> m_folders;
    std::unique_ptr<Flight> m_flight;
    std::thread m_placing;
};

// The folder part of a path, with its separator ("" for a bare name).
std::string FolderOf(const std::string& path);

}  // namespace extract
