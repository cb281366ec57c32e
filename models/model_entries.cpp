// SPDX-License-Identifier: MIT
#include "models/model_entries.h"

#include "archive/entry_reader.h"
#include "archive/entry_source.h"
#include "archive/lgp_archive.h"
#include "models/model_text.h"

bool HasExtension(std::string_view name, std::string_view extension) {
    return name.size() > extension.size() &&
           LowerAscii(name.substr(name.size() - extension.size())) == extension;
}

ArchiveModelEntries::ArchiveModelEntries(const CLgpArchive& archive)
    : m_archive(archive), m_reader(std::make_unique<LgpEntryReader>(archive)) {
    for (uint16_t i = 0; i < archive.GetEntryCount(); ++i) {
        m_byName.emplace(LowerAscii(archive.GetEntryName(i)), i);
    }
}

ArchiveModelEntries::~ArchiveModelEntries() = default;

size_t ArchiveModelEntries::Count() const {
    return m_archive.GetEntryCount();
}

std::string ArchiveModelEntries::Name(size_t id) const {
    return m_archive.GetEntryName(static_cast<uint16_t>(id));
}

std::optional<size_t> ArchiveModelEntries::Find(std::string_view name) const {
    const auto it = m_byName.find(LowerAscii(name));
    if (it == m_byName.end()) {
        return std::nullopt;
    }
    return it->second;
}

bool ArchiveModelEntries::Read(size_t id, std::vector<uint8_t>& bytes, std::string* error) const {
    bytes.clear();
    if (id >= Count()) {
        *error = "no entry " + std::to_string(id);
        return false;
    }
    const EntryCheck check = m_reader->Read(static_cast<uint16_t>(id), false, &bytes);
    if (check.problem != EntryProblem::None) {
        *error = Name(id) + ": " + DescribeEntryProblem(check.problem);
        bytes.clear();
        return false;
    }
    return true;
}

SourceModelEntries::SourceModelEntries(const IEntrySource& source)
    : m_source(source), m_reader(source.OpenReader()) {}

SourceModelEntries::~SourceModelEntries() = default;

size_t SourceModelEntries::Count() const {
    return m_source.Count();
}

std::string SourceModelEntries::Name(size_t id) const {
    return m_source.Name(m_source.IdAt(id));
}

std::optional<size_t> SourceModelEntries::Find(std::string_view name) const {
    const EntryId found = m_source.Find(name);
    if (!found.Valid()) {
        return std::nullopt;
    }
    return m_source.PositionOf(found);
}

bool SourceModelEntries::Read(size_t id, std::vector<uint8_t>& bytes, std::string* error) const {
    bytes.clear();
    const EntryCheck check = m_reader ? m_reader->Read(m_source.IdAt(id), false, &bytes)
                                      : EntryCheck{EntryProblem::CannotRead};
    if (check.problem != EntryProblem::None) {
        *error = Name(id) + ": " + DescribeEntryProblem(check.problem);
        bytes.clear();
        return false;
    }
    return true;
}
