// SPDX-License-Identifier: MIT
#pragma once
// The open archive as it will be once saved: the loaded snapshot with the change list
// laid over it. The index, the viewers, Extract and drag-out read it like any source and
// so show what an entry will hold, without knowing about changes.
//
// Entries kept from the archive keep the snapshot's ids; entries the list added get ids
// from kFirstAddedEntryId up. Like every source it never changes: each change makes a
// new one.
#include <memory>
#include <unordered_map>
#include <vector>

#include "archive/entry_source.h"
#include "edit/lgp_changes.h"

class EditedSource : public IEntrySource {
public:
    // `base` is the snapshot the changes apply to (it has a catalogue).
    EditedSource(EntrySourcePtr base, const std::vector<EditedEntry>& entries);

    size_t Count() const override { return m_entries.size(); }
    EntryId IdAt(size_t position) const override;
    size_t PositionOf(EntryId id) const override;
    std::string Name(EntryId id) const override;
    std::string Extension(EntryId id) const override;
    std::string Folder(EntryId id) const override;
    uint8_t Type(EntryId id) const override;
    uint32_t Size(EntryId id) const override;
    EntryId Find(std::string_view name) const override;
    EntryCheck Check(EntryId id, bool decoded) const override;
    std::unique_ptr<IEntryReader> OpenReader() const override;
    EntryState State(EntryId id) const override;
    const std::string& ArchivePath() const override { return m_base->ArchivePath(); }
    const FileIdentity& ArchiveIdentity() const override { return m_base->ArchiveIdentity(); }
    uint64_t ArchiveLength() const override { return m_base->ArchiveLength(); }
    // The layout is not yet the file's: there is no catalogue for it.
    const CLgpArchive* Catalogue() const override { return nullptr; }

    const EntrySourcePtr& Base() const { return m_base; }
    // The entry at `position`, as the change list holds it.
    const EditedEntry& Edited(size_t position) const { return m_entries[position]; }

private:
    const EditedEntry* EntryOf(EntryId id) const;

    EntrySourcePtr m_base;
    std::vector<EditedEntry> m_entries;
    std::vector<EntryId> m_ids;
    std::unordered_map<uint32_t, size_t> m_positions;  // id -> position
};
