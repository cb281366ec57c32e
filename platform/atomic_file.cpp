// SPDX-License-Identifier: MIT
// The atomic file: written aside, durable, checked, then placed by link or rename.
#include "platform/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <future>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/file_output.h"
#include "platform/host_calls.h"
#include "platform/message_text.h"
#include "platform/temporary_place.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

std::string FolderOf(const std::string& path) {
    return path.substr(0, FolderPartLength(path));
}

}  // namespace

AtomicFile::~AtomicFile() {
    Discard();
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept {
    *this = std::move(other);
}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
    if (this != &other) {
        Discard();
        m_target = std::move(other.m_target);
        m_options = std::move(other.m_options);
        m_result = std::move(other.m_result);
        m_temporary = std::move(other.m_temporary);
        m_handle = std::exchange(other.m_handle, -1);
        m_ownFolder = std::exchange(other.m_ownFolder, -1);
        other.m_temporary.clear();
    }
    return *this;
}

bool AtomicFile::Fail(AtomicWriteStep step, int error, const std::string& reason) {
    m_result.failedStep = step;
    m_result.systemError = error;
    m_result.reason = reason.empty() ? std::strerror(error) : reason;
    m_result.message = "cannot write " +
                       (m_target.empty() ? "\"\"" : EscapePathForMessage(m_target)) + ": " +
                       m_result.reason;
    Discard();
    return false;
}

bool AtomicFile::EnsurePlace() {
    if (!m_options.place) {
        m_options.place = TemporaryPlace::In(FolderOf(m_target));
    }
    return m_options.place->Ready();
}

bool AtomicFile::Begin(const std::string& target, AtomicFileOptions options) {
    Discard();
    m_target = target;
    m_options = std::move(options);
    m_result = AtomicWriteResult();
    if (target.empty()) {
        return Fail(AtomicWriteStep::Create, ENOENT);
    }
    if (m_options.anonymous) {
        if (m_options.folder < 0) {
            m_ownFolder = host::OpenFolder(FolderOf(target));
            m_options.folder = m_ownFolder;
        }
        m_handle = host::CreateAnonymous(m_options.folder);
    }
    if (m_handle < 0) {
        m_options.anonymous = false;
        if (!EnsurePlace()) {
            return Fail(AtomicWriteStep::Create, errno);
        }
        m_temporary = m_options.place->PathOf(m_options.place->NewName());
        m_handle = host::CreateExclusive(m_temporary);
        if (m_handle < 0) {
            const int error = errno;
            m_temporary.clear();
            return Fail(AtomicWriteStep::Create, error);
        }
    }
    return true;
}

bool AtomicFile::Write(const void* data, size_t size) {
    if (m_handle < 0) {
        return false;
    }
    return WriteAllToDescriptor(m_handle, data, size) || Fail(AtomicWriteStep::Write, errno);
}

// The check reads what the host holds of the file, the same bytes while the sync runs as
// after it, so the two run side by side; nothing is placed before both have ended well.
bool AtomicFile::SyncAndCheck() {
    std::future<int> synced;
    if (!m_options.callerSyncs) {
        const int handle = m_handle;
        const auto sync = [handle] { return host::SyncFile(handle) ? 0 : (errno ? errno : EIO); };
        synced = m_options.check ? std::async(std::launch::async, sync)
                                 : std::async(std::launch::deferred, sync);
    }
    const std::string refused =
        m_options.check ? m_options.check(ReadOnlyFile::FromHandle(m_handle)) : std::string();
    if (refused.empty() && m_options.check && !m_options.callerSyncs) {
        PrepareToReplace();
    }
    const int syncError = synced.valid() ? synced.get() : 0;
    if (syncError != 0) {
        return Fail(AtomicWriteStep::Write, syncError);
    }
    return refused.empty() || Fail(AtomicWriteStep::Check, 0, refused);
}

// The rename that replaces a large file frees it, and its cached pages with it, which
// takes milliseconds; they are dropped here instead, while the disk takes the new file.
// The old file loses only its cache and stays as it was. (The place the new file is
// renamed from is not made here: syncing its lock now would split the new file's commit
// in two.)
void AtomicFile::PrepareToReplace() {
    const InTheWay found = LookAt(m_target);
    if (found.kind == PathKind::RegularFile && !found.identity.SameFile(m_options.rules.protect) &&
        m_options.rules.mayReplace) {
        host::DropCachedPages(m_target);
    }
}

bool AtomicFile::Place() {
    if (m_handle < 0) {
        return false;
    }
    if (!SyncAndCheck()) {
        return false;
    }
    if (m_options.beforePlacing) {
        const std::string refused = m_options.beforePlacing();
        if (!refused.empty()) {
            return Fail(AtomicWriteStep::Check, 0, refused);
        }
    }
    if (!(m_options.anonymous ? PlaceAnonymous() : PlaceNamed())) {
        return false;
    }
    if (!m_options.callerSyncs) {
        host::SyncFolder(FolderOf(m_target));
    }
    Discard();
    return true;
}

// Where nothing is in the way the file simply takes the name; otherwise it is linked
// under a name aside and renamed over what is there, which replaces it in one step.
bool AtomicFile::PlaceAnonymous() {
    const std::string name(FileNamePart(m_target));
    if (host::LinkAnonymous(m_handle, m_options.folder, name)) {
        return true;
    }
    if (errno != EEXIST) {
        return Fail(AtomicWriteStep::Replace, errno);
    }
    return MayReplace(LookAt(m_target)) && NameAside() && PlaceNamed();
}

bool AtomicFile::NameAside() {
    if (!EnsurePlace()) {
        return Fail(AtomicWriteStep::Replace, errno);
    }
    const std::string name = m_options.place->NewName();
    if (!host::LinkAnonymous(m_handle, m_options.place->Handle(), name)) {
        return Fail(AtomicWriteStep::Replace, errno);
    }
    m_temporary = m_options.place->PathOf(name);
    return true;
}

bool AtomicFile::PlaceNamed() {
    if (!m_options.anonymous && !MayReplace(LookAt(m_target))) {
        return false;
    }
    Close();  // Windows renames no file that is still open; the data is on disk already
    if (!host::MoveIntoPlace(m_temporary, m_target)) {
        return Fail(AtomicWriteStep::Replace, errno);
    }
    m_temporary.clear();
    return true;
}

bool AtomicFile::MayReplace(const InTheWay& found) {
    switch (found.kind) {
        case PathKind::Nothing:
        case PathKind::Link:  // the link itself is replaced; what it leads to stays
            return true;
        case PathKind::Folder:
            return Fail(AtomicWriteStep::Replace, EISDIR);
        case PathKind::Other:
            return Fail(AtomicWriteStep::Refuse, 0, kTargetNotAFile);
        case PathKind::RegularFile:
            break;
    }
    const PlaceRules& rules = m_options.rules;
    if (found.identity.SameFile(rules.protect)) {
        return Fail(AtomicWriteStep::Refuse, 0, kTargetIsTheArchive);
    }
    if (!rules.mayReplace) {
        return Fail(AtomicWriteStep::Refuse, 0, kTargetTaken);
    }
    if (found.writeProtected && !rules.replaceWriteProtected) {
        return Fail(AtomicWriteStep::Refuse, 0, kTargetWriteProtected);
    }
    // A file replaced keeps the permissions its owner gave it.
    host::SetPermissions(m_handle, found.permissions);
    return true;
}

std::string AtomicFile::WrittenPath() const {
    if (m_handle < 0) {
        return "";
    }
    return m_temporary.empty() ? host::AnonymousPath(m_handle) : m_temporary;
}

void AtomicFile::Close() {
    if (m_handle >= 0) {
        host::CloseFile(m_handle);
        m_handle = -1;
    }
}

void AtomicFile::Discard() {
    Close();
    if (!m_temporary.empty()) {
        host::RemoveFile(m_temporary);
        m_temporary.clear();
    }
    if (m_ownFolder >= 0) {
        host::CloseFile(m_ownFolder);
        m_ownFolder = -1;
        m_options.folder = -1;
    }
    m_options.place.reset();
}

AtomicWriteResult WriteFileAtomicallyDetailed(const std::string& path, const void* data,
                                              size_t size, const PlaceRules& rules) {
    AtomicFileOptions options;
    options.rules = rules;
    AtomicFile file;
    if (file.Begin(path, options) && file.Write(data, size)) {
        file.Place();
    }
    return file.Result();
}

bool WriteFileAtomically(const std::string& path, const void* data, size_t size, std::string* error,
                         const PlaceRules& rules) {
    const AtomicWriteResult result = WriteFileAtomicallyDetailed(path, data, size, rules);
    if (error && !result.Ok()) {
        *error = result.message;
    }
    return result.Ok();
}
