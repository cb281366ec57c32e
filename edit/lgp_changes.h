// SPDX-License-Identifier: MIT
#pragma once
// The changes waiting for the next save of the open archive: entries added, replaced,
// removed, renamed or moved to a folder, each undoable and redoable. Nothing touches the
// archive until it is saved; the list is the archive as the save will write it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "archive/lgp_archive.h"
#include "archive/lgp_writer.h"

struct EditedEntry {
    WriterEntry entry;
    int original = -1;  // index in the open archive, -1 for an added entry
    bool replaced = false;
    bool renamed = false;
    // An added entry's id, the same through every change, undo and redo, so that what
    // shows the archive can follow it (kept entries are known by `original`).
    uint32_t addedId = 0;
};

class ArchiveEdits {
public:
    // The entries of `archive` as they are, in its order; an archive never loaded gives
    // an empty list (a new archive).
    explicit ArchiveEdits(const CLgpArchive& archive);

    const std::vector<EditedEntry>& Entries() const { return m_entries; }
    // The list as the writer takes it.
    std::vector<WriterEntry> ForWriter() const;
    // The position of the entry with this name and folder (folder "" matches any folder
    // when only one entry has the name).
    std::optional<size_t> Find(const std::string& name, const std::string& folder) const;

    // Each returns "" or why it was refused (then nothing changed).
    // Adds an entry, or replaces the bytes of the entry with the same name and folder.
    std::string Add(const std::string& name, const std::string& folder, EntrySource source);
    std::string Replace(size_t position, EntrySource source);
    std::string Remove(size_t position);
    // Removes every entry at these positions, as one change.
    std::string RemoveAll(const std::vector<size_t>& positions);
    // Whether an entry has this name and folder.
    bool Has(const std::string& name, const std::string& folder) const {
        return m_keys.count(Key(name, folder)) != 0;
    }
    std::string Rename(size_t position, const std::string& name, const std::string& folder);

    // Changes made between BeginBatch and EndBatch undo and redo as one (an insert of
    // many files, a command line's run); nests.
    void BeginBatch();
    void EndBatch();

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    bool Undo();
    bool Redo();
    // How many changes wait for a save.
    size_t PendingChanges() const { return m_undo.size(); }

private:
    // Keeps the state before a change for Undo (once per batch) and forgets Redo.
    void Remember();
    static std::string Key(const std::string& name, const std::string& folder);
    void Reindex();

    std::vector<EditedEntry> m_entries;
    std::unordered_map<std::string, size_t> m_keys;  // name and folder -> how many
    int m_batchDepth = 0;
    bool m_batchRemembered = false;
    uint32_t m_nextAddedId;
    std::vector<std::vector<EditedEntry>> m_undo;
    std::vector<std::vector<EditedEntry>> m_redo;
};
