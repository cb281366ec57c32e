#include "extract/durable_batch.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

#include <fcntl.h>
#include <sys/stat.h>

#include "extract/host_files.h"
#include "platform/file_output.h"

namespace extract {

namespace {

std::string Failure(const std::string& target, int error) {
    return "cannot write " + target + ": " + std::strerror(error);
}

// A hidden name next to the target that tells whose it is: ".NAME.lumo-PID-N". Long
// names are cut (never inside a UTF-8 sequence) so the temporary's name stays within
// the file system's limit wherever the target's does.
std::string TemporaryName(const std::string& target) {
    static unsigned counter = 0;
    const std::string folder = FolderOf(target);
    std::string base = target.substr(folder.size());
    if (base.size() > 64) {
        size_t cut = 64;
        while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        base.resize(cut);
    }
    return folder + "." + base + ".lumo-" + std::to_string(ProcessId()) + "-" +
           std::to_string(++counter);
}

int CreateNamedTemporary(const std::string& target, std::string* temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = TemporaryName(target);
        int fd = CreateExclusive(*temporary);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Links an anonymous file under a fresh hidden name next to its target.
bool CreateLinkName(int fd, const std::string& target, std::string* temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = TemporaryName(target);
        if (LinkAnonymous(fd, *temporary)) {
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
    Discard();
}

bool DurableBatch::Add(const std::string& target, const void* data, size_t size,
                       uint32_t keepPermissions, std::string* error) {
    Pending file;
    file.target = target;
    file.handle = m_anonymous ? CreateAnonymous(FolderOf(target)) : -1;
    if (file.handle < 0) {
        file.handle = CreateNamedTemporary(target, &file.temporary);
    }
    if (file.handle < 0) {
        *error = Failure(target, errno);
        return false;
    }
    // A file replaced keeps the permissions its owner gave it.
    if (keepPermissions != 0) {
        SetPermissions(file.handle, keepPermissions);
    }
    if (!WriteAllToDescriptor(file.handle, data, size)) {
        *error = Failure(target, errno);
        Drop(file);
        return false;
    }
    // Files of one folder share its file system; asking once per folder is enough.
    const std::string folder = FolderOf(target);
    if (folder != m_lastFolder || m_pending.empty()) {
        m_lastFolder = folder;
        m_lastDevice = DeviceOf(file.handle);
    }
    file.device = m_lastDevice;
    m_pending.push_back(file);
    m_pendingBytes += size;
    return true;
}

// One sync per file system the batch writes to; one per file where the host has no
// whole-file-system sync.
bool DurableBatch::SyncData(std::string* error) {
    std::set<uint64_t> synced;
    for (const Pending& file : m_pending) {
        if (HasFileSystemSync() && !synced.insert(file.device).second) {
            continue;
        }
        ++m_syncCalls;
        if (!(HasFileSystemSync() ? SyncFileSystem(file.handle) : SyncFile(file.handle))) {
            *error = Failure(file.target, errno);
            return false;
        }
    }
    return true;
}

bool DurableBatch::Place(Pending& file, std::string* error) {
    bool ok = true;
    if (file.temporary.empty() && !LinkAnonymous(file.handle, file.target)) {
        // The target exists (or appeared): link under a hidden name and rename that over
        // it, which replaces it in one step.
        ok = errno == EEXIST && CreateLinkName(file.handle, file.target, &file.temporary);
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
    if (!ok) {
        *error = Failure(file.target, errno);
    }
    Drop(file);
    return ok;
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

std::vector<CommitResult> DurableBatch::Commit() {
    std::vector<CommitResult> results(m_pending.size());
    std::string syncError;
    const bool synced = SyncData(&syncError);
    std::set<std::string> folders;
    for (size_t i = 0; i < m_pending.size(); ++i) {
        results[i].target = m_pending[i].target;
        if (!synced) {
            results[i].error = syncError;
            Drop(m_pending[i]);
            continue;
        }
        results[i].ok = Place(m_pending[i], &results[i].error);
        folders.insert(FolderOf(m_pending[i].target));
    }
    for (const std::string& folder : folders) {
        m_syncCalls += SyncFolder(folder) ? 1 : 0;
    }
    m_pending.clear();
    m_pendingBytes = 0;
    return results;
}

void DurableBatch::Discard() {
    for (Pending& file : m_pending) {
        Drop(file);
    }
    m_pending.clear();
    m_pendingBytes = 0;
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
