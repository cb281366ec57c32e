// SPDX-License-Identifier: MIT
#include "edit/lgp_changes.h"

#include <utility>

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

ArchiveEdits::ArchiveEdits(const CLgpArchive& archive) {
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
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].entry.name == name && m_entries[i].entry.folder == folder) {
            return Replace(i, std::move(source));
        }
    }
    if (m_entries.size() >= lgp::kMaxEntries) {
        return "`" + name + "`: an archive holds at most " + std::to_string(lgp::kMaxEntries) +
               " entries";
    }
    std::vector<EditedEntry> next = m_entries;
    EditedEntry added;
    added.entry.name = name;
    added.entry.folder = folder;
    added.entry.source = std::move(source);
    next.push_back(std::move(added));
    return Apply(std::move(next));
}

std::string ArchiveEdits::Replace(size_t position, EntrySource source) {
    if (position >= m_entries.size()) {
        return "no such entry";
    }
    std::vector<EditedEntry> next = m_entries;
    next[position].entry.source = std::move(source);
    next[position].replaced = true;
    return Apply(std::move(next));
}

std::string ArchiveEdits::Remove(size_t position) {
    if (position >= m_entries.size()) {
        return "no such entry";
    }
    std::vector<EditedEntry> next = m_entries;
    next.erase(next.begin() + static_cast<std::ptrdiff_t>(position));
    return Apply(std::move(next));
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
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (i != position && m_entries[i].entry.name == name &&
            m_entries[i].entry.folder == folder) {
            return "`" + name + "`: another entry has that name and folder";
        }
    }
    std::vector<EditedEntry> next = m_entries;
    WriterEntry& entry = next[position].entry;
    // An entry whose slot changes joins the end of its new slot's run.
    entry.keepPlace = entry.keepPlace && lgp::SlotOf(name) == lgp::SlotOf(entry.name);
    entry.name = name;
    entry.folder = folder;
    entry.isNew = true;
    next[position].renamed = true;
    return Apply(std::move(next));
}

std::string ArchiveEdits::Apply(std::vector<EditedEntry> next) {
    m_undo.push_back(std::move(m_entries));
    m_entries = std::move(next);
    m_redo.clear();
    return "";
}

bool ArchiveEdits::Undo() {
    if (m_undo.empty()) {
        return false;
    }
    m_redo.push_back(std::move(m_entries));
    m_entries = std::move(m_undo.back());
    m_undo.pop_back();
    return true;
}

bool ArchiveEdits::Redo() {
    if (m_redo.empty()) {
        return false;
    }
    m_undo.push_back(std::move(m_entries));
    m_entries = std::move(m_redo.back());
    m_redo.pop_back();
    return true;
}
