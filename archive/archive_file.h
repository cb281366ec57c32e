#pragma once
// The archive file as the catalogue reads it: opened by its UTF-8 path, every read
// clamped to the file's length, and known by its identity so that a file replaced or
// rewritten since the catalogue was loaded is told from the one that was.
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

// The identity of the file a path names (links followed); not known when it names none.
FileIdentity IdentifyFile(const std::string& path);

// An archive file opened once for reading; only regular files open, since a pipe could
// block and a folder holds no archive.
class ArchiveFile {
public:
    explicit ArchiveFile(const std::string& path);
    ~ArchiveFile();
    ArchiveFile(const ArchiveFile&) = delete;
    ArchiveFile& operator=(const ArchiveFile&) = delete;

    bool IsOpen() const { return m_handle >= 0; }
    uint64_t Length() const { return m_identity.size; }
    // The identity when opened; Current() asks again, to notice a rewrite in place.
    const FileIdentity& Identity() const { return m_identity; }
    FileIdentity Current() const;

    // Bytes the file holds from `offset` on, at most `wanted`.
    uint64_t Available(uint64_t offset, uint64_t wanted) const {
        return offset >= Length() ? 0 : (wanted < Length() - offset ? wanted : Length() - offset);
    }
    // The C file descriptor, for copies between files that the host makes itself.
    int Handle() const { return m_handle; }
    // Reads up to `count` bytes at `offset`; returns how many were read.
    uint64_t ReadAt(uint64_t offset, void* buffer, uint64_t count) const;

private:
    int m_handle = -1;
    FileIdentity m_identity;
};
