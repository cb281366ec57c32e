// SPDX-License-Identifier: MIT
#pragma once
// The loaded catalogue as an entry source: a copy of its table, path and file identity
// taken when it is asked for, so it stays true to that archive after the catalogue loads
// another one. Its ids are EntryId{table position}: it never changes, so they are stable.
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "archive/entry_source.h"
#include "archive/lgp_archive.h"

class LgpSnapshot : public IEntrySource {
public:
    // Takes the catalogue as it stands (its own copy, loaded or not).
    explicit LgpSnapshot(std::unique_ptr<const CLgpArchive> catalogue);

    size_t Count() const override;
    EntryId IdAt(size_t position) const override;
    size_t PositionOf(EntryId id) const override;
    std::string Name(EntryId id) const override;
    std::string Extension(EntryId id) const override;
    std::string Folder(EntryId id) const override;
    uint8_t Type(EntryId id) const override;
    uint32_t Size(EntryId id) const override;
    EntryId Find(std::string_view name) const override;
    void ListEntries(const std::function<void(const Listing&)>& visit) const override;
    EntryCheck Check(EntryId id, bool decoded) const override;
    std::unique_ptr<IEntryReader> OpenReader() const override;
    const std::string& ArchivePath() const override { return m_path; }
    const FileIdentity& ArchiveIdentity() const override;
    uint64_t ArchiveLength() const override;
    const CLgpArchive* Catalogue() const override { return m_catalogue.get(); }

private:
    // Names to positions, the first of each name winning, exact and in folded case: built
    // once a run has asked for a few names, as model assembly and export do by the hundred.
    struct NameIndex {
        std::unordered_map<std::string, uint16_t> exact;
        std::unordered_map<std::string, uint16_t> folded;
    };
    const NameIndex* Index() const;

    std::unique_ptr<const CLgpArchive> m_catalogue;
    std::string m_path;
    mutable std::atomic<unsigned> m_finds{0};
    mutable std::once_flag m_indexOnce;
    mutable NameIndex m_index;
};

// While it lives, the checks and reads of a source with a catalogue behind it go to one
// open file (CLgpArchive::ReadScope), as a run over many entries wants; for a source with
// no catalogue it does nothing.
class SourceReadScope {
public:
    explicit SourceReadScope(const IEntrySource& source) {
        if (const CLgpArchive* catalogue = source.Catalogue()) {
            m_scope.emplace(*catalogue);
        }
    }

private:
    std::optional<CLgpArchive::ReadScope> m_scope;
};
