// SPDX-License-Identifier: MIT
// The private folders for files written aside, and the sweep that removes those of
// writers that are gone.
#include "platform/temporary_place.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "platform/file_output.h"
#include "platform/host_calls.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr const char kPrefix[] = ".lumo-temporary-";
constexpr size_t kTokenLength = 16;
constexpr const char kLockName[] = "lock";
// What the lock file holds: a folder whose lock says anything else is not ours.
constexpr const char kLockText[] = "Lumo keeps files here while it writes them.\n";

std::string RandomToken() {
    static const char kDigits[] = "0123456789abcdef";
    std::random_device source;
    std::string token;
    while (token.size() < kTokenLength) {
        unsigned bits = source();
        for (int i = 0; i < 8 && token.size() < kTokenLength; ++i, bits >>= 4) {
            token += kDigits[bits & 15];
        }
    }
    return token;
}

bool IsPlaceName(const std::string& name) {
    const size_t prefix = sizeof kPrefix - 1;
    if (name.size() != prefix + kTokenLength || name.compare(0, prefix, kPrefix) != 0) {
        return false;
    }
    return name.find_first_not_of("0123456789abcdef", prefix) == std::string::npos;
}

// The names NewName gives: decimal counts.
bool IsOwnName(const std::string& name) {
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

bool WriteLockText(int fd) {
    return WriteAllToDescriptor(fd, kLockText, sizeof kLockText - 1) && host::SyncFile(fd);
}

bool HoldsLockText(int fd) {
    char text[sizeof kLockText] = {};
#ifdef _WIN32
    const long got = _read(fd, text, sizeof text);
#else
    const long got = static_cast<long>(pread(fd, text, sizeof text, 0));
#endif
    return got == static_cast<long>(sizeof kLockText - 1) &&
           std::string(text, static_cast<size_t>(got)) == kLockText;
}

// Removes the files this program named in `place`, then its lock and the folder itself,
// which stays when anything else is in it.
void Empty(const std::string& place, int lock) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(HostPath(place), error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().u8string();
        std::error_code kindError;
        if (IsOwnName(name) &&
            it->symlink_status(kindError).type() == std::filesystem::file_type::regular) {
            host::RemoveFile(JoinPath(place, name));
        }
    }
    host::CloseFile(lock);
    host::RemoveFile(JoinPath(place, kLockName));
    host::RemoveFolder(place);
}

}  // namespace

std::shared_ptr<TemporaryPlace> TemporaryPlace::In(const std::string& folder) {
    std::shared_ptr<TemporaryPlace> place(new TemporaryPlace);
    place->m_folder = folder;
    return place;
}

bool TemporaryPlace::Ready() {
    std::lock_guard<std::mutex> hold(m_making);
    if (!m_tried) {
        m_tried = true;
        m_error = Make() ? 0 : (errno != 0 ? errno : EIO);
    }
    errno = m_error;
    return m_error == 0;
}

bool TemporaryPlace::Make() {
    for (int attempt = 0; attempt < 16 && m_path.empty(); ++attempt) {
        const std::string path = JoinPath(m_folder, kPrefix + RandomToken());
        if (host::MakePrivateFolder(path)) {
            m_path = path;
        } else if (errno != EEXIST) {
            return false;
        }
    }
    if (m_path.empty()) {
        return false;
    }
    m_lock = host::HoldFile(JoinPath(m_path, kLockName), true);
    if (m_lock < 0 || !WriteLockText(m_lock)) {
        const int error = errno;
        if (m_lock >= 0) {
            host::CloseFile(m_lock);
            host::RemoveFile(JoinPath(m_path, kLockName));
        }
        m_lock = -1;
        host::RemoveFolder(m_path);
        errno = error;
        return false;
    }
    m_handle = host::OpenFolder(m_path);
    return true;
}

TemporaryPlace::~TemporaryPlace() {
    if (m_handle >= 0) {
        host::CloseFile(m_handle);
    }
    if (m_lock >= 0) {
        Empty(m_path, m_lock);
    }
}

std::string TemporaryPlace::NewName() {
    return std::to_string(++m_next);
}

std::string TemporaryPlace::PathOf(const std::string& name) const {
    return JoinPath(m_path, name);
}

size_t SweepAbandonedTemporaries(const std::string& folder) {
    size_t removed = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(host::FolderPath(folder), error), end;
         !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().u8string();
        const std::string place = JoinPath(folder, name);
        if (!IsPlaceName(name) || !host::IsOwnFolder(place)) {
            continue;
        }
        // A live writer holds its lock; one that cannot be held is in use.
        const int lock = host::HoldFile(JoinPath(place, kLockName), false);
        if (lock < 0) {
            continue;
        }
        if (!HoldsLockText(lock)) {
            host::CloseFile(lock);
            continue;
        }
        Empty(place, lock);
        removed += host::IsOwnFolder(place) ? 0 : 1;
    }
    return removed;
}
