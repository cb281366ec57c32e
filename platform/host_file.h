// SPDX-License-Identifier: MIT
#pragma once
// Files of the host as the program reads them: opened by their UTF-8 path, every read
// clamped to the file's length, and known by their identity so that a file replaced or
// rewritten since it was opened is told from the one that was. Also what a path holds
// before a file is written there, looked at without following a link.
#include <cstdint>
#include <string>

// Which file a path names and what it looked like: device and inode on POSIX hosts,
// volume serial number and file index on Windows; never the path's text, which many
// spellings share.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t file = 0;
    uint64_t size = 0;
    int64_t modified = 0;      // modification time in nanoseconds
    uint32_t permissions = 0;  // POSIX permission bits (07777); 0 elsewhere
    bool known = false;

    // The same file, whatever it holds now.
    bool SameFile(const FileIdentity& other) const {
        return known && other.known && device == other.device && file == other.file;
    }
    // The same file, with the same size and modification time.
    bool Unchanged(const FileIdentity& other) const {
        return SameFile(other) && size == other.size && modified == other.modified;
    }
};

// The identity of the regular file a path names (links followed); not known when it
// names none.
FileIdentity IdentifyFile(const std::string& path);

// What a path holds itself, a link not followed.
enum class PathKind { Nothing, RegularFile, Link, Folder, Other };

struct InTheWay {
    PathKind kind = PathKind::Nothing;
    FileIdentity identity;        // of a regular file
    uint32_t permissions = 0;     // a regular file's 0777 bits, which a replacement takes
    bool writeProtected = false;  // a regular file no one may write, or this user may not
};

// Looks at `path` itself (lstat): a link is reported as a link, whatever it leads to.
InTheWay LookAt(const std::string& path);

// A file opened once for reading; only regular files open, since a pipe could block and
// a folder holds no data.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path);
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // A reader of a file this process has open (a handle of its own), such as one still
    // being written aside.
    static ReadOnlyFile FromHandle(int handle);
    ReadOnlyFile(ReadOnlyFile&& other) noexcept;

    bool IsOpen() const { return m_handle >= 0; }
    uint64_t Length() const { return m_identity.size; }
    // The identity when opened; Current() asks again, to notice a rewrite in place.
    const FileIdentity& Identity() const { return m_identity; }
    FileIdentity Current() const;

    // Bytes the file holds from `offset` on, at most `wanted`.
    uint64_t Available(uint64_t offset, uint64_t wanted) const {
        return offset >= Length() ? 0 : (wanted < Length() - offset ? wanted : Length() - offset);
    }
    // Reads up to `count` bytes at `offset`; returns how many were read.
    uint64_t ReadAt(uint64_t offset, void* buffer, uint64_t count) const;

private:
    ReadOnlyFile() = default;
    int m_handle = -1;
    FileIdentity m_identity;
};
