// SPDX-License-Identifier: MIT
#include "edit/lgp_save.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>

#include "archive/lgp_soundness.h"
#include "edit/atomic_sink.h"
#include "platform/file_output.h"

namespace {

constexpr size_t kPiece = size_t{1} << 20;

std::string ChangedOnDisk(const CLgpArchive& archive) {
    return std::string(archive.GetArchivePath()) +
           ": the archive changed on disk since it was opened; open it again";
}

// What the check reads: the written file through a window of a piece, so that a run of
// small entries costs one read a piece rather than one an entry, and a piece's room for
// the bytes they are compared with. Made once per check: a fresh megabyte for every entry
// costs more in page faults and clearing than the comparing does.
class CompareRoom {
public:
    explicit CompareRoom(const ReadOnlyFile& written) : m_written(written) {}

    // The `n` (at most a piece) written bytes at `offset`, or null past the file's end.
    const uint8_t* Written(uint64_t offset, size_t n) {
        if (offset < m_start || offset + n > m_start + m_filled) {
            m_start = offset;
            m_filled = static_cast<size_t>(m_written.ReadAt(offset, m_window.get(), kPiece));
        }
        return offset + n <= m_start + m_filled ? m_window.get() + (offset - m_start) : nullptr;
    }
    uint8_t* Want() { return m_want.get(); }

private:
    const ReadOnlyFile& m_written;
    std::unique_ptr<uint8_t[]> m_window{new uint8_t[kPiece]};
    std::unique_ptr<uint8_t[]> m_want{new uint8_t[kPiece]};
    uint64_t m_start = 0;
    size_t m_filled = 0;
};

// Whether `length` written bytes at `offset` are the source's: those of `origin` from
// `originOffset` on, or without an origin, the source's bytes in memory.
bool SameBytes(uint64_t offset, const EntrySource& source, const ReadOnlyFile* origin,
               uint64_t originOffset, uint64_t length, CompareRoom& room) {
    for (uint64_t done = 0; done < length;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(length - done, kPiece));
        const uint8_t* got = room.Written(offset + done, n);
        if (got == nullptr) {
            return false;
        }
        const uint8_t* expected = nullptr;
        if (origin) {
            if (origin->ReadAt(originOffset + done, room.Want(), n) != n) {
                return false;
            }
            expected = room.Want();
        } else {
            expected = source.bytes->data() + done;
        }
        if (std::memcmp(got, expected, n) != 0) {
            return false;
        }
        done += n;
    }
    return true;
}

// Whether `length` written bytes at `offset` have the digest taken while writing.
bool SameDigest(uint64_t offset, uint64_t length, uint64_t digest, CompareRoom& room) {
    uint64_t got = ContentDigest(nullptr, 0);
    for (uint64_t done = 0; done < length;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(length - done, kPiece));
        const uint8_t* bytes = room.Written(offset + done, n);
        if (bytes == nullptr) {
            return false;
        }
        got = ContentDigest(bytes, n, got);
        done += n;
    }
    return got == digest;
}

using Digests = std::vector<std::optional<uint64_t>>;

// Reads the written file back: it must be sound and hold every entry as planned.
std::string CheckWritten(const std::string& path, const std::string& target,
                         const std::vector<WriterEntry>& entries, const LgpPlan& plan,
                         const ReadOnlyFile* archiveFile, const Digests& digests) {
    CLgpArchive written;
    const uint16_t count = written.Load(path.c_str());
    if (written.GetLastLoadStatus() != LgpLoadStatus::Ok || count != plan.order.size() ||
        written.GetArchiveLength() != plan.size) {
        return target + ": the archive written aside does not read back as written";
    }
    const std::vector<SoundFault> faults = CheckSoundArchive(written);
    if (!faults.empty()) {
        return target + ": the archive written aside is not sound: " + faults.front().problem;
    }
    ReadOnlyFile file(path);
    CompareRoom room(file);
    for (size_t pos = 0; pos < plan.order.size(); ++pos) {
        const WriterEntry& entry = entries[plan.order[pos]];
        const std::optional<uint64_t>& digest = digests[plan.order[pos]];
        const auto i = static_cast<uint16_t>(pos);
        std::unique_ptr<ReadOnlyFile> hostFile;
        const ReadOnlyFile* origin = nullptr;
        uint64_t originOffset = 0;
        if (entry.source.kind == EntrySource::Kind::HostFile && !digest) {
            hostFile = std::make_unique<ReadOnlyFile>(entry.source.path);
            if (!hostFile->Identity().Unchanged(entry.source.identity)) {
                return entry.source.path + ": the file changed while it was being added";
            }
            origin = hostFile.get();
        } else if (entry.source.kind == EntrySource::Kind::Archive) {
            origin = archiveFile;
            originOffset = entry.source.offset;
        }
        const uint64_t dataAt = uint64_t{written.GetEntryOffset(i)} + lgp::kDataHeaderSize;
        const bool same = entry.name == written.GetEntryName(i) &&
                          plan.folders[pos] == written.GetEntryFolder(i) &&
                          entry.checkCode == written.GetEntryCheckCode(i) &&
                          entry.source.size == written.GetEntrySize(i) &&
                          (entry.source.size == 0 ||
                           entry.source.kind != EntrySource::Kind::Memory || entry.source.bytes) &&
                          (digest ? SameDigest(dataAt, entry.source.size, *digest, room)
                                  : SameBytes(dataAt, entry.source, origin, originOffset,
                                              entry.source.size, room));
        if (!same) {
            return target + ": entry `" + entry.name +
                   "` does not read back as it was written; nothing was saved";
        }
    }
    return "";
}

}  // namespace

std::string UnsavableEntries(const CLgpArchive& archive, const std::vector<WriterEntry>& entries) {
    const uint64_t length = archive.GetArchiveLength();
    for (const WriterEntry& entry : entries) {
        if (entry.source.kind == EntrySource::Kind::Archive &&
            entry.source.offset + entry.source.size > length) {
            return "entry `" + entry.name +
                   "` is cut short in the archive; remove or replace it before saving";
        }
    }
    return "";
}

namespace {

// A link is followed, so that the file it names is replaced and the link stays.
std::string FollowLinks(const std::string& target) {
    std::error_code error;
    if (!std::filesystem::is_symlink(HostPath(target), error)) {
        return target;
    }
    const std::filesystem::path real = std::filesystem::canonical(HostPath(target), error);
    return error ? target : real.u8string();
}

}  // namespace

SaveResult SaveArchive(const CLgpArchive& archive, const std::vector<WriterEntry>& entries,
                       const std::string& linkOrTarget, const SaveOptions& options) {
    const std::string target = FollowLinks(linkOrTarget);
    SaveResult result;
    LgpPlan plan;
    result.error = PlanArchive(entries, &plan);
    if (result.error.empty()) {
        result.error = UnsavableEntries(archive, entries);
    }
    if (!result.error.empty()) {
        return result;
    }
    const bool fromArchive = std::any_of(entries.begin(), entries.end(), [](const WriterEntry& e) {
        return e.source.kind == EntrySource::Kind::Archive;
    });
    std::unique_ptr<ReadOnlyFile> archiveFile;
    if (fromArchive) {
        archiveFile = std::make_unique<ReadOnlyFile>(archive.GetArchivePath());
        if (!archive.IsLoadedFile(*archiveFile)) {
            result.error = ChangedOnDisk(archive);
            return result;
        }
    }
    AtomicSink aside;
    Digests digests(entries.size());
    WriteOptions write;
    write.archive = archiveFile.get();
    write.digests = &digests;
    write.progress = options.progress;
    if (!aside.Begin(target)) {
        result.error = aside.Error();
        return result;
    }
    aside.JoinCopiesFrom(archiveFile.get());
    result.error = WriteArchive(entries, plan, aside, write);
    // Placing has the file checked while the disk takes it, makes it durable, and renames
    // it over the target, which keeps its permission bits; until then the target is
    // untouched. A cancel is still heard after the check and after the sync, the long
    // waits before the rename.
    const auto cancelled = [&] {
        return options.progress && !options.progress(plan.size, plan.size);
    };
    const auto beforePlacing = [&] { return std::string(cancelled() ? kWriteCancelled : ""); };
    const auto check = [&](const std::string& path) {
        std::string why =
            cancelled() ? kWriteCancelled
                        : CheckWritten(path, target, entries, plan, archiveFile.get(), digests);
        if (why.empty() && fromArchive && archive.ArchiveChangedOnDisk()) {
            why = ChangedOnDisk(archive);
        }
        if (why.empty() && cancelled()) {
            why = kWriteCancelled;
        }
        // Every byte of the old archive is read by now. Windows replaces no file
        // that is open, and the target is often the archive itself.
        archiveFile.reset();
        return why;
    };
    if (result.error.empty() && !aside.Place(check, beforePlacing)) {
        result.error = aside.Error();
    }
    result.cancelled = result.error == kWriteCancelled;
    result.ok = result.error.empty();
    result.size = result.ok ? plan.size : 0;
    return result;
}
