#pragma once
// Writing extracted files safely.
//
// Entry names come from untrusted archives, so a name is used as a file name only when
// IsPlainFileName accepts it, and every file is written atomically: a failed write never
// leaves a half-written target and never destroys an existing one.
//
// Paths are UTF-8 text on every host, as the desktop program's dialogs give them.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// A UTF-8 path as the host's file system functions take it; on Windows the narrow forms
// would read it in the ANSI code page. Text that is not UTF-8 gives an empty path there.
std::filesystem::path HostPath(const std::string& path);

// True when `name` can be used as a file name inside a chosen folder without reaching
// anywhere else. Refused: the empty name, "." and "..", any name containing '/', '\\' or
// a NUL byte. On Windows also what IsPlainWindowsFileName refuses.
bool IsPlainFileName(std::string_view name);

// The Windows rules, on every host so they can be tried anywhere: besides the above, a
// name with a character Windows does not allow in names (control characters and
// < > : " | ? *), a name ending in '.' or ' ' (Windows would drop them and write another
// file, or ".. " the parent folder), and device names such as "CON" or "nul.txt".
bool IsPlainWindowsFileName(std::string_view name);

// Length of the folder part of `path`, its last separator included; 0 when the path names
// no folder. '/' separates everywhere; on Windows '\\' does too, and the ':' of a drive
// prefix ends the folder part ("C:x.lgp" is x.lgp in drive C's current folder). Elsewhere
// '\\' and ':' are ordinary characters of a name.
size_t FolderPartLength(std::string_view path);

// The last component of `path`: what follows its folder part.
std::string_view FileNamePart(std::string_view path);

// A fresh hidden name next to `path` for a file written aside, which tells whose it is:
// ".NAME.lumo-PID-N", N counting up in this process. Long names are cut (never inside a
// UTF-8 sequence) so the temporary's name stays within the file system's limit wherever
// the target's own name does.
std::string HiddenTemporaryName(const std::string& path);

// `folder` and `name` joined with one separator (the host's own, so that "\\?\" folders
// work on Windows); `folder` may or may not end in one.
// An empty folder yields `name` alone (the current folder).
std::string JoinPath(const std::string& folder, std::string_view name);

// Writes all `size` bytes to an open file descriptor, going on after interrupted and
// short writes. False with errno set when the system refuses (EIO when a write makes no
// progress).
bool WriteAllToDescriptor(int fd, const void* data, size_t size);

// Writes `size` bytes to a temporary file in the target's folder, flushes it to disk and
// renames it over `path`. On failure the temporary is removed, an existing file at `path`
// is left exactly as it was, `error` (when not null) receives a reason naming the file
// and the system's message, and the result is false.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size,
                         std::string* error);

// The step at which an atomic write stopped. Callers that treat "could not be created"
// differently from "failed while writing" (a full disk) tell them apart by it.
enum class AtomicWriteStep {
    None,     // written
    Create,   // the temporary could not be created: no such folder, no permission, ...
    Write,    // writing, flushing or closing the temporary failed: disk full, I/O error
    Replace,  // the temporary could not be renamed over the target: a folder there, ...
};

struct AtomicWriteResult {
    AtomicWriteStep failedStep = AtomicWriteStep::None;
    int systemError = 0;  // the system's error number of the failure
    std::string message;  // the same text WriteFileAtomically gives as its error
    bool Ok() const { return failedStep == AtomicWriteStep::None; }
};

// WriteFileAtomically, telling which step failed. Same guarantees.
AtomicWriteResult WriteFileAtomicallyDetailed(const std::string& path, const void* data,
                                              size_t size);
