// SPDX-License-Identifier: MIT
#pragma once
// Reads many entries of a loaded catalogue from one open of its file, as a run that
// writes them out needs: the file is opened once and must be the one Load read. A caller
// asks StillUnchanged() before it trusts what it read, so that bytes of an archive
// rewritten in the middle of the run are never taken for the entries of the old one.
#include <cstdint>
#include <vector>

#include "archive/entry_check.h"
#include "archive/lgp_archive.h"
#include "platform/host_file.h"

class LgpEntryReader {
public:
    explicit LgpEntryReader(const CLgpArchive& archive);

    // None, CannotRead (no file), or ArchiveChanged (another file, or rewritten).
    EntryProblem OpenProblem() const { return m_openProblem; }
    // Whether the file still looks as Load found it.
    bool StillUnchanged() const;

    // The entry as it is written out: its stored bytes, or, with `decompress` and a field
    // entry, the bytes its stream decodes to. `out` receives what can be recovered also
    // when the entry is not whole (the stored bytes there are; the stream decoded as far
    // as the entry holds it); nothing when the archive cannot be read or changed.
    EntryCheck Read(uint16_t index, bool decompress, std::vector<uint8_t>* out) const;

private:
    void Decode(const EntryCheck& check, std::vector<uint8_t>* out) const;
    bool ReadBytes(uint64_t offset, uint8_t* buffer, uint64_t count) const;

    const CLgpArchive& m_archive;
    LgpBytes m_file;
    EntryProblem m_openProblem = EntryProblem::None;
    // Small entries lying one after the other are read a window at a time, not one call
    // each.
    mutable std::vector<uint8_t> m_window;
    mutable uint64_t m_windowStart = 0;
};
