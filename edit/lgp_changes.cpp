// SPDX-License-Identifier: MIT
#include "edit/lgp_changes.h"

#include <utility>

#include "archive/entry_source.h"
#include "archive/lgp_rules.h"

namespace {

std::string Checked(const std::string& name, const std::string& folder) {
    std::string why = lgp::NameRefusal(name, true);
    if (why.empty()) {
        why = lgp::FolderRefusal(folder);
    }
    return why.empty() ? "" : "`" + name + "`: " + why;
}

}  // namespace

ArchiveEdits::ArchiveEdits(const CLgpArchive& archive) : m_nextAddedId(kFirstAddedEntryId) {
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        EditedEntry edited;
        edited.original = i;
        edited.entry.name = archive.GetEntryName(i);
        edited.entry.folder = archive.GetEntryFolder(i);
        edited.entry.checkCode = archive.GetEntryCheckCode(i);
        edited.entry.isNew = false;
        edited.entry.keepPlace = true;
        edited.entry.source = ArchiveSource(archive, i);
        m_entries.push_back(std::move(edited));
    }
    Reindex();
}

std::vector<WriterEntry> ArchiveEdits::ForWriter() const {
    std::vector<WriterEntry> entries;
    entries.reserve(m_entries.size());
    for (const EditedEntry& edited : m_entries) {
        entries.push_back(edited.entry);
    }
    return entries;
}

std::optional<size_t> ArchiveEdits::Find(const std::string& name, const std::string& folder) const {
    std::optional<size_t> only;
    size_t named = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const WriterEntry& entry = m_entries[i].entry;
        if (entry.name != name) {
            continue;
        }
        if (entry.folder == folder) {
            return i;
        }
        ++named;
        only = i;
    }
    return folder.empty() && named == 1 ? only : std::nullopt;
}

std::string ArchiveEdits::Add(const std::string& name, const std::string& rawFolder,
                              EntrySource source) {
    const std::string folder = lgp::NormalFolder(rawFolder);
    const std::string why = Checked(name, folder);
    if (!why.empty()) {
        return why;
    }
    if (m_keys.count(Key(name, folder)) != 0) {
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].entry.name == name && m_entries[i].entry.folder == folder) {
                return Replace(i, std::move(source));
            }
        }
    }
    if (m_entries.size() >= lgp::kMaxEntries) {
        return "`" + name + "`: an archive holds at most " + std::to_string(lgp::kMaxEntries) +
               " entries";
    }
    Remember();
    EditedEntry added;
    added.entry.name = name;
    added.entry.folder = folder;
    added.entry.source = std::move(source);
    added.addedId = m_nextAddedId++;
    m_entries.push_back(std::move(added));
    ++m_keys[Key(name, folder)];
    return "";
}

std::string ArchiveEdits::Replace(size_t position, EntrySource source) {
    if (position >= m_entries.size()) {
        return "no such entry";
    }
    Remember();
    m_entries[position].entry.source = std::move(source);
    m_entries[position].replaced = true;
    return "";
}

std::string ArchiveEdits::Remove(size_t position) {
    if (position >= m_entries.size()) {
        return "no such entry";
    }
    Remember();
    const WriterEntry& entry = m_entries[position].entry;
    if (--m_keys[Key(entry.name, entry.folder)] == 0) {
        m_keys.erase(Key(entry.name, entry.folder));
    }
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(position));
    return "";
}

std::string ArchiveEdits::Rename(size_t position, const std::string& name,
                                 const std::string& rawFolder) {
    if (position >= m_entries.size()) {
        return "no such entry";
    }
    const std::string folder = lgp::NormalFolder(rawFolder);
    const std::string why = Checked(name, folder);
    if (!why.empty()) {
        return why;
    }
    WriterEntry& entry = m_entries[position].entry;
    if (entry.name == name && entry.folder == folder) {
        return "";
    }
    if (m_keys.count(Key(name, folder)) != 0) {
        return "`" + name + "`: another entry has that name and folder";
    }
    Remember();
    if (--m_keys[Key(entry.name, entry.folder)] == 0) {
        m_keys.erase(Key(entry.name, entry.folder));
    }
    // An entry whose slot changes joins the end of its new slot's run.
    entry.keepPlace = entry.keepPlace && lgp::SlotOf(name) == lgp::SlotOf(entry.name);
    entry.name = name;
    entry.folder = folder;
    entry.isNew = true;
    m_entries[position].renamed = true;
    ++m_keys[Key(name, folder)];
    return "";
}

std::string ArchiveEdits::RemoveAll(const std::vector<size_t>& positions) {
    std::vector<bool> gone(m_entries.size(), false);
    for (size_t position : positions) {
        if (position >= m_entries.size()) {
            return "no such entry";
        }
        gone[position] = true;
    }
    Remember();
    std::vector<EditedEntry> kept;
    kept.reserve(m_entries.size());
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (!gone[i]) {
            kept.push_back(std::move(m_entries[i]));
        }
    }
    m_entries = std::move(kept);
    Reindex();
    return "";
}

void ArchiveEdits::BeginBatch() {
    if (m_batchDepth++ == 0) {
        m_batchRemembered = false;
    }
}

void ArchiveEdits::EndBatch() {
    if (m_batchDepth > 0) {
        --m_batchDepth;
    }
}

void ArchiveEdits::Remember() {
    if (m_batchDepth > 0 && m_batchRemembered) {
        return;
    }
    m_batchRemembered = m_batchDepth > 0;
    m_undo.push_back(m_entries);
    m_redo.clear();
}

std::string ArchiveEdits::Key(const std::string& name, const std::string& folder) {
    return name + '\0' + folder;
}

void ArchiveEdits::Reindex() {
    m_keys.clear();
    for (const EditedEntry& edited : m_entries) {
        ++m_keys[Key(edited.entry.name, edited.entry.folder)];
    }
}

bool ArchiveEdits::Undo() {
    if (m_undo.empty()) {
        return false;
    }
    m_redo.push_back(std::move(m_entries));
    m_entries = std::move(m_undo.back());
    m_undo.pop_back();
    Reindex();
    return true;
}

bool ArchiveEdits::Redo() {
    if (m_redo.empty()) {
        return false;
    }
    m_undo.push_back(std::move(m_entries));
    m_entries = std::move(m_redo.back());
    m_redo.pop_back();
    Reindex();
    return true;
}
