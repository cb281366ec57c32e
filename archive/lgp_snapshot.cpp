// SPDX-License-Identifier: MIT
// The loaded catalogue as an entry source.
#include "archive/lgp_snapshot.h"

#include "archive/entry_reader.h"
#include "platform/ascii.h"

namespace {

std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        c = ToLowerAscii(c);
    }
    return folded;
}

class SnapshotReader : public IEntryReader {
public:
    explicit SnapshotReader(const CLgpArchive& catalogue) : m_reader(catalogue) {}
    EntryProblem OpenProblem() const override { return m_reader.OpenProblem(); }
    bool StillUnchanged() const override { return m_reader.StillUnchanged(); }
    EntryCheck Read(EntryId id, bool decoded, std::vector<uint8_t>* out) override {
        if (id.value > UINT16_MAX) {
            out->clear();
            EntryCheck check;
            check.problem = EntryProblem::CannotRead;
            return check;
        }
        return m_reader.Read(static_cast<uint16_t>(id.value), decoded, out);
    }

private:
    LgpEntryReader m_reader;
};

}  // namespace

LgpSnapshot::LgpSnapshot(std::unique_ptr<const CLgpArchive> catalogue)
    : m_catalogue(std::move(catalogue)), m_path(m_catalogue->GetArchivePath()) {}

size_t LgpSnapshot::Count() const {
    return m_catalogue->GetEntryCount();
}

EntryId LgpSnapshot::IdAt(size_t position) const {
    return position < Count() ? EntryId{static_cast<uint32_t>(position)} : EntryId{};
}

size_t LgpSnapshot::PositionOf(EntryId id) const {
    return id.value < Count() ? id.value : Count();
}

// Every lookup below goes through PositionOf: an id of another source, or none, answers
// as an empty entry, never as some other entry of this table.
std::string LgpSnapshot::Name(EntryId id) const {
    return Contains(id) ? m_catalogue->GetEntryName(static_cast<uint16_t>(id.value)) : "";
}

std::string LgpSnapshot::Extension(EntryId id) const {
    return Contains(id) ? m_catalogue->GetEntryExtension(static_cast<uint16_t>(id.value)) : "";
}

std::string LgpSnapshot::Folder(EntryId id) const {
    return Contains(id) ? m_catalogue->GetEntryFolder(static_cast<uint16_t>(id.value)) : "";
}

uint8_t LgpSnapshot::Type(EntryId id) const {
    return Contains(id) ? m_catalogue->GetEntryType(static_cast<uint16_t>(id.value))
                        : uint8_t{LGP_TYPE_OTHER};
}

uint32_t LgpSnapshot::Size(EntryId id) const {
    return Contains(id) ? m_catalogue->GetEntrySize(static_cast<uint16_t>(id.value)) : 0;
}

EntryId LgpSnapshot::Find(std::string_view name) const {
    // Stored names are at most 20 bytes and end at their first NUL: a longer name, or one
    // holding a NUL, names no entry.
    if (name.find('\0') != std::string_view::npos) {
        return EntryId{};
    }
    if (const NameIndex* index = Index()) {
        const auto exact = index->exact.find(std::string(name));
        if (exact != index->exact.end()) {
            return EntryId{exact->second};
        }
        const auto loose = index->folded.find(Folded(name));
        return loose != index->folded.end() ? EntryId{loose->second} : EntryId{};
    }
    const uint16_t count = m_catalogue->GetEntryCount();
    for (uint16_t i = 0; i < count; ++i) {
        if (name == m_catalogue->GetEntryName(i)) {
            return EntryId{i};
        }
    }
    for (uint16_t i = 0; i < count; ++i) {
        if (SameIgnoringCase(name, m_catalogue->GetEntryName(i))) {
            return EntryId{i};
        }
    }
    return EntryId{};
}

const LgpSnapshot::NameIndex* LgpSnapshot::Index() const {
    // A few lookups scan the table; more than that pay for the index once.
    constexpr unsigned kScansBeforeIndex = 8;
    constexpr size_t kSmallTable = 256;
    if (Count() <= kSmallTable ||
        (m_finds.load() < kScansBeforeIndex && m_finds.fetch_add(1) < kScansBeforeIndex)) {
        return nullptr;
    }
    std::call_once(m_indexOnce, [this] {
        const uint16_t count = m_catalogue->GetEntryCount();
        m_index.exact.reserve(count);
        m_index.folded.reserve(count);
        for (uint16_t i = 0; i < count; ++i) {
            const char* name = m_catalogue->GetEntryName(i);
            m_index.exact.emplace(name, i);
            m_index.folded.emplace(Folded(name), i);
        }
    });
    return &m_index;
}

// Straight from the table: a list of 65,535 entries is made on every open.
void LgpSnapshot::ListEntries(const std::function<void(const Listing&)>& visit) const {
    const CLgpArchive& table = *m_catalogue;
    const uint16_t count = table.GetEntryCount();
    for (uint16_t i = 0; i < count; ++i) {
        visit({EntryId{i}, table.GetEntryName(i), table.GetEntrySize(i), table.GetEntryType(i),
               EntryState::Saved});
    }
}

EntryCheck LgpSnapshot::Check(EntryId id, bool decoded) const {
    if (!Contains(id)) {
        EntryCheck check;
        check.problem = EntryProblem::CannotRead;
        return check;
    }
    return CheckEntry(*m_catalogue, static_cast<uint16_t>(id.value), decoded);
}

std::unique_ptr<IEntryReader> LgpSnapshot::OpenReader() const {
    return std::make_unique<SnapshotReader>(*m_catalogue);
}

const FileIdentity& LgpSnapshot::ArchiveIdentity() const {
    return m_catalogue->GetArchiveIdentity();
}

uint64_t LgpSnapshot::ArchiveLength() const {
    return m_catalogue->GetArchiveLength();
}
