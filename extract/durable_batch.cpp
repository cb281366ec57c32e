#include "extract/durable_batch.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>

#include "extract/host_files.h"
#include "platform/file_output.h"
#include "platform/message_text.h"

namespace extract {

namespace {

std::string Failure(const std::string& target, int error) {
    return "cannot write " + EscapeForMessage(target) + ": " + std::strerror(error);
}

int CreateNamedTemporary(const std::string& target, std::string* temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = HiddenTemporaryName(target);
        int fd = CreateExclusive(*temporary);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Links an anonymous file under a fresh hidden name in its target's folder.
bool CreateLinkName(int fd, int folder, const std::string& target, std::string* temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = HiddenTemporaryName(target);
        if (LinkAnonymous(fd, folder, temporary->substr(FolderPartLength(*temporary)))) {
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    temporary->clear();
    return false;
}

// The process id a hidden temporary's name carries, or 0 when it is not one of ours.
long OwnerOfTemporary(const std::string& name) {
    const size_t mark = name.rfind(".lumo-");
    if (name.empty() || name[0] != '.' || mark == std::string::npos || mark == 0) {
        return 0;
    }
    size_t i = mark + 6;
    long pid = 0;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && pid < 1000000000; ++i) {
        pid = pid * 10 + (name[i] - '0');
    }
    if (i == mark + 6 || i >= name.size() || name[i] != '-' || i + 1 == name.size()) {
        return 0;
    }
    for (++i; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') {
            return 0;
        }
    }
    return pid;
}

}  // namespace

std::string FolderOf(const std::string& path) {
    return path.substr(0, FolderPartLength(path));
}

DurableBatch::~DurableBatch() {
    Collect();
    Discard();
}

bool DurableBatch::Add(const std::string& target, const void* data, size_t size,
                       const TargetFacts& facts, std::string* error) {
    Pending file;
    file.target = target;
    file.facts = facts;
    const std::string folder = FolderOf(target);
    file.folder = m_anonymous ? Folder(folder) : -1;
    file.handle = CreateAnonymous(file.folder);
    if (file.handle < 0) {
        file.handle = CreateNamedTemporary(target, &file.temporary);
    }
    if (file.handle < 0) {
        *error = Failure(target, errno);
        return false;
    }
    // A file replaced keeps the permissions its owner gave it.
    if (facts.permissions != 0) {
        SetPermissions(file.handle, facts.permissions);
    }
    if (!WriteAllToDescriptor(file.handle, data, size)) {
        *error = Failure(target, errno);
        Drop(file);
        return false;
    }
    // Files of one folder share its file system; asking once per folder is enough.
    if (folder != m_lastFolder || m_pending.empty()) {
        m_lastFolder = folder;
        m_lastDevice = DeviceOf(file.handle);
    }
    file.device = m_lastDevice;
    m_pending.push_back(file);
    m_pendingBytes += size;
    return true;
}

// The batch's handle on a folder, opened on first use and kept until the batch is placed.
int DurableBatch::Folder(const std::string& path) {
    auto found = m_folders.find(path);
    if (found == m_folders.end()) {
        found = m_folders.emplace(path, OpenFolder(path)).first;
    }
    return found->second;
}

void DurableBatch::CloseFolders(std::map<std::string, int>& folders) {
    for (const auto& folder : folders) {
        if (folder.second >= 0) {
            CloseFile(folder.second);
        }
    }
    folders.clear();
}

// One sync per file system the batch writes to; one per file where the host has no
// whole-file-system sync.
bool DurableBatch::SyncData(Flight& flight, std::string* error) const {
    std::set<uint64_t> synced;
    for (const Pending& file : flight.files) {
        if (HasFileSystemSync() && !synced.insert(file.device).second) {
            continue;
        }
        ++flight.syncCalls;
        if (!(HasFileSystemSync() ? SyncFileSystem(file.handle) : SyncFile(file.handle))) {
            *error = Failure(file.target, errno);
            return false;
        }
    }
    return true;
}

bool DurableBatch::Place(Pending& file, std::string* error) const {
    error->clear();
    bool ok = true;
    if (file.temporary.empty()) {
        // Taken since the caller looked, or known to be there: link under a hidden name
        // and rename that over it, which replaces it in one step.
        const std::string name = file.target.substr(FolderPartLength(file.target));
        if (!LinkAnonymous(file.handle, file.folder, name)) {
            ok = errno == EEXIST && MayTakeOver(file, error) &&
                 CreateLinkName(file.handle, file.folder, file.target, &file.temporary);
        }
    } else if (!file.facts.exists) {
        ok = MayTakeOver(file, error);
    }
    if (ok && !file.temporary.empty()) {
        // Windows renames no file that is still open; the data is on disk already.
        CloseFile(file.handle);
        file.handle = -1;
        ok = MoveIntoPlace(file.temporary, file.target);
        if (ok) {
            file.temporary.clear();
        }
    }
    if (!ok && error->empty()) {
        *error = Failure(file.target, errno);
    }
    Drop(file);
    return ok;
}

// Whether a file found at the target may be replaced; one that was not there when the
// caller looked is checked as the caller would have: never the protected file, never when
// the caller said so, and its permission bits are kept.
bool DurableBatch::MayTakeOver(Pending& file, std::string* error) const {
    if (file.facts.exists) {
        return true;
    }
    const FileIdentity found = IdentifyFile(file.target);
    if (!found.known) {
        return true;
    }
    if (found.SameFile(m_protected)) {
        *error = kTargetIsTheArchive;
        return false;
    }
    if (!file.facts.mayReplace) {
        *error = "a file appeared at " + EscapeForMessage(file.target) +
                 " during the run; not written over it";
        return false;
    }
    if (found.permissions != 0) {
        SetPermissions(file.handle, found.permissions);
    }
    return true;
}

void DurableBatch::Drop(Pending& file) {
    if (file.handle >= 0) {
        CloseFile(file.handle);
        file.handle = -1;
    }
    if (!file.temporary.empty()) {
        RemoveFile(file.temporary);
        file.temporary.clear();
    }
}

void DurableBatch::Land(Flight& flight) const {
    flight.results.resize(flight.files.size());
    std::string syncError;
    const bool synced = SyncData(flight, &syncError);
    std::set<std::string> folders;
    for (size_t i = 0; i < flight.files.size(); ++i) {
        CommitResult& result = flight.results[i];
        result.target = flight.files[i].target;
        if (!synced) {
            result.error = syncError;
            Drop(flight.files[i]);
            continue;
        }
        result.ok = Place(flight.files[i], &result.error);
        folders.insert(FolderOf(result.target));
    }
    CloseFolders(flight.folders);
    for (const std::string& folder : folders) {
        flight.syncCalls += SyncFolder(folder) ? 1 : 0;
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
    for (Pending& file : m_pending) {
        Drop(file);
    }
    m_pending.clear();
    m_pendingBytes = 0;
    CloseFolders(m_folders);
}

size_t RemoveStaleTemporaries(const std::string& folder) {
    size_t removed = 0;
    std::error_code ec;
    const std::filesystem::path where = HostFolderPath(folder);
    for (std::filesystem::directory_iterator it(where, ec), end; !ec && it != end;
         it.increment(ec)) {
        const long owner = OwnerOfTemporary(it->path().filename().u8string());
        if (owner != 0 && owner != ProcessId() && !ProcessAlive(owner)) {
            std::error_code removeError;
            removed += std::filesystem::remove(it->path(), removeError) ? 1 : 0;
        }
    }
    return removed;
}

}  // namespace extract
