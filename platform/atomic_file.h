// SPDX-License-Identifier: MIT
#pragma once
// The one way this program writes a file: aside, in pieces, made durable, optionally
// checked, and only then placed, so that a failure, a crash or a killed process leaves
// whatever was at the target as it was and no temporary behind.
//
// Written aside means an anonymous file where the host allows (Linux O_TMPFILE), which
// vanishes with the process; elsewhere a file in a private temporary place (see
// temporary_place.h). Placing looks at what is in the way without following a link:
//  - nothing: the file takes the name, with the default mode under the umask;
//  - a regular file: replaced, keeping its 0777 permission bits (never set-ID or sticky
//    bits), unless it is the protected file, the rules forbid replacing, or it is
//    write-protected and the rules say to keep such files;
//  - a link: the link itself is replaced, never written through;
//  - a folder or anything else: refused.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/host_file.h"

class TemporaryPlace;

// The reasons placing refuses what is in the way, one text each.
inline constexpr const char* kTargetIsTheArchive = "that file is the archive being read";
inline constexpr const char* kTargetWriteProtected =
    "the file there is write-protected; not replaced";
inline constexpr const char* kTargetTaken = "a file is in the way; not written over it";
inline constexpr const char* kTargetNotAFile = "that is not a regular file; not replaced";

// The step at which an atomic write stopped. Callers that treat "could not be created"
// differently from "failed while writing" (a full disk) tell them apart by it.
enum class AtomicWriteStep {
    None,     // written
    Create,   // the temporary could not be created: no such folder, no permission, ...
    Write,    // writing, flushing or closing the temporary failed: disk full, I/O error
    Check,    // the check of what was written refused it
    Refuse,   // what is in the way may not be replaced (see the rules)
    Replace,  // the temporary could not be renamed over the target
};

struct AtomicWriteResult {
    AtomicWriteStep failedStep = AtomicWriteStep::None;
    int systemError = 0;  // the system's error number of the failure; 0 for a refusal
    std::string message;  // "cannot write PATH: why"
    std::string reason;   // the why alone
    bool Ok() const { return failedStep == AtomicWriteStep::None; }
};

// What may be replaced when the file is placed.
struct PlaceRules {
    FileIdentity protect;               // never placed over this file (the archive)
    bool mayReplace = true;             // false: any file in the way stays
    bool replaceWriteProtected = true;  // false: a write-protected file in the way stays
};

struct AtomicFileOptions {
    PlaceRules rules;
    bool anonymous = true;  // false: always a named temporary (tests the fallback)
    // The caller syncs the data and the target's folder itself (the batch does, once for
    // many files); Place then neither syncs the file nor the folder.
    bool callerSyncs = false;
    // Looks at what was written before it is placed: an empty text accepts it, any other
    // is the reason it is refused.
    std::function<std::string(const ReadOnlyFile& written)> check;
    // Asked once the data is durable, just before it is placed: "" places it, any other
    // text is the reason it is not (a cancel heard during the sync).
    std::function<std::string()> beforePlacing;
    // Where named temporaries go; a place of the file's own when none is given.
    std::shared_ptr<TemporaryPlace> place;
    // A handle on the target's folder to link anonymous files in; -1: opened here.
    int folder = -1;
};

class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();  // discards what was not placed
    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&& other) noexcept;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the file aside for `target` (a UTF-8 path); false with Result() set.
    bool Begin(const std::string& target, AtomicFileOptions options = {});
    // Appends bytes; false with Result() set, and then nothing of it remains.
    bool Write(const void* data, size_t size);
    // Makes the data durable, checks it and moves it into place; false with Result() set.
    bool Place();
    // Drops the file; the target stays as it was.
    void Discard();

    const std::string& Target() const { return m_target; }
    const AtomicWriteResult& Result() const { return m_result; }
    int Handle() const { return m_handle; }
    // A path the file written aside can be opened again by until it is placed (the named
    // temporary, or the host's name for an anonymous file); "" when there is none.
    std::string WrittenPath() const;

private:
    bool Fail(AtomicWriteStep step, int error, const std::string& reason = std::string());
    bool MayReplace(const InTheWay& found);
    bool PlaceNamed();
    bool PlaceAnonymous();
    bool NameAside();
    bool EnsurePlace();
    bool SyncAndCheck();
    void PrepareToReplace();
    void Close();

    std::string m_target;
    AtomicFileOptions m_options;
    AtomicWriteResult m_result;
    int m_handle = -1;
    int m_ownFolder = -1;     // the folder handle opened here, closed with the file
    std::string m_temporary;  // the named temporary's path; empty while anonymous
};

// Writes `size` bytes as one atomic file at `path`. On failure an existing file at
// `path` is left exactly as it was and nothing is left behind.
AtomicWriteResult WriteFileAtomicallyDetailed(const std::string& path, const void* data,
                                              size_t size, const PlaceRules& rules = {});
// The same; `error` (when not null) receives Result().message on failure.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size, std::string* error,
                         const PlaceRules& rules = {});
