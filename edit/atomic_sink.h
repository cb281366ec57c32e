// SPDX-License-Identifier: MIT
#pragma once
// The new archive while Save writes it: the program's one atomic file, fed by the
// writer, with the bytes of unchanged entries copied inside the host where it can.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "archive/lgp_writer.h"
#include "platform/atomic_file.h"

class AtomicSink : public LgpSink {
public:
    // Creates the file aside for `target`; false with Error() set.
    bool Begin(const std::string& target);
    // Copies from `file`, which stays open until Place, may wait and join the next: a run
    // of unchanged entries of the open archive, with the headers between them where they
    // are the same bytes, then goes in one call.
    void JoinCopiesFrom(const ReadOnlyFile* file) { m_joinable = file; }
    bool Write(const uint8_t* data, size_t size) override;
    bool Copy(const ReadOnlyFile& file, uint64_t offset, uint64_t length) override;
    // Makes the file durable, has `check` look at it (given a path it can be read back
    // through; "" accepts it) and moves it into place; false with Error() set.
    // `beforePlacing`, when given, is asked once the file is durable ("" places it).
    bool Place(const std::function<std::string(const std::string& path)>& check,
               const std::function<std::string()>& beforePlacing = {});

private:
    bool Flush();
    bool FlushCopy();
    void HandOn(uint64_t written);
    bool ContinuesWith(const uint8_t* data, size_t size) const;
    bool CopyInHost(const ReadOnlyFile& file, uint64_t& offset, uint64_t& length);

    AtomicFile m_file;
    std::function<std::string(const std::string&)> m_check;
    std::function<std::string()> m_beforePlacing;
    // Small writes gather here: an archive of many small entries would otherwise cost
    // two system calls an entry.
    std::vector<uint8_t> m_buffer;
    // The copy from the joinable file that waits; none while m_waiting is null.
    const ReadOnlyFile* m_joinable = nullptr;
    const ReadOnlyFile* m_waiting = nullptr;
    uint64_t m_waitingOffset = 0;
    uint64_t m_waitingLength = 0;
    uint64_t m_written = 0;        // bytes in the file so far
    uint64_t m_handedOn = 0;       // of them, those the disk was told to start on
    bool m_hostCopyFails = false;  // copying inside the host failed once: not tried again
};
