// SPDX-License-Identifier: MIT
#pragma once
// Where files written aside get a name while they wait to be placed, when the host has
// no anonymous files (or a file must be renamed over one in the way).
//
// Names next to the user's files could be anybody's, so none is ever deleted on a guess.
// Instead each writer makes a private folder of its own in the target's folder, named
// ".lumo-temporary-" and a random token, holding a lock file that says whose it is and
// that stays locked while the writer lives. Only such a folder, owned by this user, with
// its lock free, is swept after a crash, and only the names this program gives inside it.
#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

class TemporaryPlace {
public:
    // The place for files of `folder` ("" the current one); nothing is made on disk until
    // Ready() is first called, so that writers sharing a place pay for it only when one
    // of them needs a name.
    static std::shared_ptr<TemporaryPlace> In(const std::string& folder);
    ~TemporaryPlace();  // removes what is left of its own, and then itself

    // Makes the private folder on first call; false with errno set when none can be made
    // (no permission, no such folder). Safe to call from several threads.
    bool Ready();
    TemporaryPlace(const TemporaryPlace&) = delete;
    TemporaryPlace& operator=(const TemporaryPlace&) = delete;

    const std::string& Path() const { return m_path; }
    // A fresh name inside, never given before; Path() joined with it is where it goes.
    std::string NewName();
    std::string PathOf(const std::string& name) const;
    // A handle on the folder for linking anonymous files into it; -1 where the host has
    // none.
    int Handle() const { return m_handle; }

private:
    TemporaryPlace() = default;
    bool Make();
    std::mutex m_making;
    bool m_tried = false;
    int m_error = 0;
    std::string m_folder;
    std::string m_path;
    int m_lock = -1;
    int m_handle = -1;
    std::atomic<unsigned> m_next{0};
};

// Removes the private folders in `folder` that writers which are gone left behind, with
// the files they named inside; anything else in them, and everything outside them, stays.
// Returns how many folders it removed.
size_t SweepAbandonedTemporaries(const std::string& folder);
