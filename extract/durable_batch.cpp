// SPDX-License-Identifier: MIT
#include "extract/durable_batch.h"

#include <cerrno>
#include <cstring>
#include <set>
#include <system_error>

#include "platform/file_output.h"
#include "platform/host_calls.h"
#include "platform/message_text.h"

namespace extract {

std::string FolderOf(const std::string& path) {
    return path.substr(0, FolderPartLength(path));
}

DurableBatch::~DurableBatch() {
    Collect();
    Discard();
}

bool DurableBatch::Add(const std::string& target, const void* data, size_t size,
                       const PlaceRules& rules, std::string* error) {
    const std::string folder = FolderOf(target);
    const Folder& where = FolderFor(folder);
    AtomicFileOptions options;
    options.rules = rules;
    options.anonymous = m_anonymous;
    options.callerSyncs = true;
    options.place = where.place;
    options.folder = where.handle;
    Pending pending;
    if (!pending.file.Begin(target, std::move(options)) || !pending.file.Write(data, size)) {
        *error = pending.file.Result().message;
        return false;
    }
    // Files of one folder share its file system; asking once per folder is enough.
    if (folder != m_lastFolder || m_pending.empty()) {
        m_lastFolder = folder;
        m_lastDevice = host::DeviceOf(pending.file.Handle());
    }
    pending.device = m_lastDevice;
    m_pending.push_back(std::move(pending));
    m_pendingBytes += size;
    return true;
}

// The batch's handle on a folder and its temporary place, made on first use and kept
// until the batch is placed.
const DurableBatch::Folder& DurableBatch::FolderFor(const std::string& path) {
    auto found = m_folders.find(path);
    if (found == m_folders.end()) {
        Folder folder;
        folder.handle = m_anonymous ? host::OpenFolder(path) : -1;
        folder.place = TemporaryPlace::In(path);
        found = m_folders.emplace(path, std::move(folder)).first;
    }
    return found->second;
}

void DurableBatch::CloseFolders(std::map<std::string, Folder>& folders) {
    for (const auto& folder : folders) {
        if (folder.second.handle >= 0) {
            host::CloseFile(folder.second.handle);
        }
    }
    folders.clear();
}

// One sync per file system the batch writes to; one per file where the host has no
// whole-file-system sync.
bool DurableBatch::SyncData(Flight& flight, std::string* error) const {
    std::set<uint64_t> synced;
    for (const Pending& pending : flight.files) {
        if (host::HasFileSystemSync() && !synced.insert(pending.device).second) {
            continue;
        }
        ++flight.syncCalls;
        const int handle = pending.file.Handle();
        if (!(host::HasFileSystemSync() ? host::SyncFileSystem(handle) : host::SyncFile(handle))) {
            *error = "cannot write " + EscapePathForMessage(pending.file.Target()) + ": " +
                     std::strerror(errno);
            return false;
        }
    }
    return true;
}

void DurableBatch::Land(Flight& flight) const {
    flight.results.resize(flight.files.size());
    std::string syncError;
    const bool synced = SyncData(flight, &syncError);
    std::set<std::string> folders;
    for (size_t i = 0; i < flight.files.size(); ++i) {
        AtomicFile& file = flight.files[i].file;
        CommitResult& result = flight.results[i];
        result.target = file.Target();
        if (!synced) {
            result.error = syncError;
            file.Discard();
            continue;
        }
        result.ok = file.Place();
        if (!result.ok) {
            result.error = file.Result().failedStep == AtomicWriteStep::Refuse
                               ? file.Result().reason
                               : file.Result().message;
        }
        folders.insert(FolderOf(result.target));
    }
    // The folders' places go before the folders are synced, so that none is left behind.
    flight.files.clear();
    CloseFolders(flight.folders);
    for (const std::string& folder : folders) {
        flight.syncCalls += host::SyncFolder(folder) ? 1 : 0;
    }
}

void DurableBatch::Send() {
    Collect();  // one batch on its way at a time
    auto flight = std::make_unique<Flight>();
    flight->files.swap(m_pending);
    flight->folders.swap(m_folders);
    m_pendingBytes = 0;
    m_flight = std::move(flight);
    Flight* landing = m_flight.get();
    try {
        m_placing = std::thread([this, landing] { Land(*landing); });
    } catch (const std::system_error&) {
        Land(*landing);  // no thread to be had: place it here
    }
}

std::vector<CommitResult> DurableBatch::Collect() {
    if (m_placing.joinable()) {
        m_placing.join();
    }
    if (!m_flight) {
        return {};
    }
    std::vector<CommitResult> results = std::move(m_flight->results);
    m_syncCalls += m_flight->syncCalls;
    m_flight.reset();
    return results;
}

void DurableBatch::Discard() {
    m_pending.clear();  // each file discards itself
    m_pendingBytes = 0;
    CloseFolders(m_folders);
}

}  // namespace extract
