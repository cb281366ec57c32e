// SPDX-License-Identifier: MIT
#pragma once
// The host's file calls the file layer needs, behind one small interface so that the
// atomic file and the batch read the same on every host. Paths are UTF-8 text; handles
// are C file descriptors (the CRT's on Windows). Calls failing set errno.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace host {

// The folder as the standard library takes it; "" is the current folder.
std::filesystem::path FolderPath(const std::string& folder);

// A new file no one else uses, created with O_EXCL, open for reading and writing, with
// the default mode under the umask; -1 on failure.
int CreateExclusive(const std::string& path);
// A handle on `folder` ("" the current one) for the calls below that take one, so that
// the folder's path is walked once per run rather than once per file; -1 where the host
// has none (Windows) or the folder cannot be opened.
int OpenFolder(const std::string& folder);
// A file with no name in the folder, gone when closed unless linked; -1 where the host or
// the file system has none.
int CreateAnonymous(int folder);
// Gives an anonymous file the name `name` in the folder; fails with EEXIST when it is
// taken.
bool LinkAnonymous(int fd, int folder, const std::string& name);
// A path that opens the anonymous file `fd` again, for code that reads by path; "" where
// the host has no anonymous files.
std::string AnonymousPath(int fd);

// Writes what it can of `size` bytes; the count written, or -1.
long WriteSome(int fd, const char* data, size_t size);
void CloseFile(int fd);
void RemoveFile(const std::string& path);
// Renames over an existing file (or link) in one step.
bool MoveIntoPlace(const std::string& from, const std::string& to);
// Drops the host's cached pages of the regular file at `path` (not through a link), as
// far as they are written; nothing where the host has no such call.
void DropCachedPages(const std::string& path);
// Gives the open file these POSIX permission bits (nothing on Windows).
void SetPermissions(int fd, uint32_t permissions);
// Lets this process hold at least `wanted` files open, as far as the host allows; returns
// how many it may hold.
size_t RaiseOpenFileLimit(size_t wanted);
uint64_t DeviceOf(int fd);

// Whether one call makes every file of a file system durable (Linux syncfs).
bool HasFileSystemSync();
bool SyncFileSystem(int fd);
bool SyncFile(int fd);
// Starts the disk writing `length` bytes of the file from `offset` without waiting for
// it, so that a sync later has less left to wait for; nothing where the host has no
// such call.
void StartWriteback(int fd, uint64_t offset, uint64_t length);
// Makes renames in `folder` durable; false where the host has no such call (nothing
// was done).
bool SyncFolder(const std::string& folder);

// Makes a folder only this user may enter; false with errno set (EEXIST when taken).
bool MakePrivateFolder(const std::string& path);
bool RemoveFolder(const std::string& path);
// Whether `path` is a real folder (not a link) this user owns.
bool IsOwnFolder(const std::string& path);
// Creates or opens `path` and holds it against every other holder, this process's other
// handles included; -1 when someone holds it (EWOULDBLOCK) or it cannot be opened.
// `create` = false opens only an existing regular file, never through a link.
int HoldFile(const std::string& path, bool create);

}  // namespace host
