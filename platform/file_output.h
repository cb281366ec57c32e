// SPDX-License-Identifier: MIT
#pragma once
// Host paths and the outputs files are written to.
//
// Entry names come from untrusted archives, so a name is used as a file name only when
// IsPlainFileName accepts it, and every file is written atomically (atomic_file.h): a
// failed write never leaves a half-written target and never destroys an existing one.
//
// Paths are UTF-8 text on every host, as the desktop program's dialogs give them.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/atomic_file.h"

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

// `folder` and `name` joined with one separator (the host's own, so that "\\?\" folders
// work on Windows); `folder` may or may not end in one.
// An empty folder yields `name` alone (the current folder).
std::string JoinPath(const std::string& folder, std::string_view name);

// Writes all `size` bytes to an open file descriptor, going on after interrupted and
// short writes. False with errno set when the system refuses (EIO when a write makes no
// progress).
bool WriteAllToDescriptor(int fd, const void* data, size_t size);

// Writes one output the user named: "-" is standard output; a path that names no regular
// file but a stream of this process, a device or a FIFO (such as /dev/stdout) is written
// directly, never through a temporary and never replaced by a regular file; anything
// else is written as one atomic file. The protected file is refused either way.
AtomicWriteResult WriteOutputFile(const std::string& path, const void* data, size_t size,
                                  const PlaceRules& rules = {});
