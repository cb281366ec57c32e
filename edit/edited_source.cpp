// SPDX-License-Identifier: MIT
#include "edit/edited_source.h"

#include "archive/lgp_layout.h"
#include "archive/lzss.h"
#include "platform/ascii.h"

namespace {

EntryCheck Problem(EntryProblem problem) {
    EntryCheck check;
    check.problem = problem;
    return check;
}

// The bytes an entry's own source holds (memory, or a file that must not have changed
// since it was chosen).
EntryCheck ReadOwnBytes(const EntrySource& source, std::vector<uint8_t>* out) {
    out->clear();
    if (source.kind == EntrySource::Kind::Memory) {
        if (source.bytes) {
            *out = *source.bytes;
        }
    } else {
        ReadOnlyFile file(source.path);
        if (!file.Identity().Unchanged(source.identity)) {
            return Problem(EntryProblem::ArchiveChanged);
        }
        out->resize(static_cast<size_t>(source.size));
        if (file.ReadAt(0, out->data(), out->size()) != out->size()) {
            out->clear();
            return Problem(EntryProblem::CannotRead);
        }
    }
    EntryCheck check;
    check.storedBytes = static_cast<uint32_t>(out->size());
    return check;
}

// A field entry's stored bytes decoded in place, with the check that says whether the
// stream was whole.
EntryCheck Decode(std::vector<uint8_t>* bytes) {
    EntryCheck check = CheckStoredBytes(static_cast<uint32_t>(bytes->size()), bytes->data(),
                                        static_cast<uint32_t>(bytes->size()), true);
    if (!check.Whole()) {
        bytes->clear();
        return check;
    }
    const uint8_t* stream = bytes->data() + lgp::kStreamLengthSize;
    std::vector<uint8_t> decoded(static_cast<size_t>(check.decodedSize));
    LzssDecode(stream, check.streamLength, decoded.data(), static_cast<uint32_t>(decoded.size()));
    bytes->swap(decoded);
    return check;
}

class EditedReader : public IEntryReader {
public:
    explicit EditedReader(const EditedSource& source)
        : m_source(source), m_base(source.Base()->OpenReader()) {}
    EntryProblem OpenProblem() const override { return m_base->OpenProblem(); }
    bool StillUnchanged() const override { return m_base->StillUnchanged(); }
    EntryCheck Read(EntryId id, bool decoded, std::vector<uint8_t>* out) override {
        const size_t position = m_source.PositionOf(id);
        if (position >= m_source.Count()) {
            out->clear();
            return Problem(EntryProblem::CannotRead);
        }
        const EntrySource& own = m_source.Edited(position).entry.source;
        if (own.kind == EntrySource::Kind::Archive) {
            return m_base->Read(EntryId{own.index}, decoded, out);
        }
        EntryCheck check = ReadOwnBytes(own, out);
        if (check.Whole() && decoded && IsCompressedType(m_source.Type(id))) {
            check = Decode(out);
        }
        return check;
    }

private:
    const EditedSource& m_source;
    std::unique_ptr<IEntryReader> m_base;
};

}  // namespace

EditedSource::EditedSource(EntrySourcePtr base, const std::vector<EditedEntry>& entries)
    : m_base(std::move(base)), m_entries(entries) {
    uint32_t added = kFirstAddedEntryId;
    for (const EditedEntry& edited : m_entries) {
        m_ids.push_back(edited.original >= 0 ? EntryId{static_cast<uint32_t>(edited.original)}
                                             : EntryId{added++});
    }
}

EntryId EditedSource::IdAt(size_t position) const {
    return position < m_ids.size() ? m_ids[position] : EntryId{};
}

size_t EditedSource::PositionOf(EntryId id) const {
    for (size_t i = 0; i < m_ids.size(); ++i) {
        if (m_ids[i] == id) {
            return i;
        }
    }
    return m_ids.size();
}

const EditedEntry* EditedSource::EntryOf(EntryId id) const {
    const size_t position = PositionOf(id);
    return position < m_entries.size() ? &m_entries[position] : nullptr;
}

std::string EditedSource::Name(EntryId id) const {
    const EditedEntry* edited = EntryOf(id);
    return edited ? edited->entry.name : "";
}

std::string EditedSource::Extension(EntryId id) const {
    const std::string name = Name(id);
    const size_t dot = name.find('.');
    return dot == std::string::npos ? "" : name.substr(dot + 1);
}

std::string EditedSource::Folder(EntryId id) const {
    const EditedEntry* edited = EntryOf(id);
    return edited ? edited->entry.folder : "";
}

// A kept entry keeps its type; an added one gets the type its name will have once saved.
uint8_t EditedSource::Type(EntryId id) const {
    const EditedEntry* edited = EntryOf(id);
    if (!edited) {
        return LGP_TYPE_OTHER;
    }
    if (edited->original >= 0) {
        return m_base->Type(EntryId{static_cast<uint32_t>(edited->original)});
    }
    const std::string& path = m_base->ArchivePath();
    const size_t slash = path.find_last_of("/\\");
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    return EntryTypeOfName(edited->entry.name, SameIgnoringCase(file, "flevel.lgp"));
}

uint32_t EditedSource::Size(EntryId id) const {
    const EditedEntry* edited = EntryOf(id);
    return edited ? static_cast<uint32_t>(edited->entry.source.size) : 0;
}

EntryId EditedSource::Find(std::string_view name) const {
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (name == m_entries[i].entry.name) {
            return m_ids[i];
        }
    }
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (SameIgnoringCase(name, m_entries[i].entry.name)) {
            return m_ids[i];
        }
    }
    return EntryId{};
}

EntryCheck EditedSource::Check(EntryId id, bool decoded) const {
    const EditedEntry* edited = EntryOf(id);
    if (!edited) {
        return Problem(EntryProblem::CannotRead);
    }
    if (edited->entry.source.kind == EntrySource::Kind::Archive) {
        return m_base->Check(EntryId{edited->entry.source.index}, decoded);
    }
    std::vector<uint8_t> bytes;
    return Read(id, decoded, &bytes);
}

std::unique_ptr<IEntryReader> EditedSource::OpenReader() const {
    return std::make_unique<EditedReader>(*this);
}

EntryState EditedSource::State(EntryId id) const {
    const EditedEntry* edited = EntryOf(id);
    if (!edited || edited->original < 0) {
        return edited ? EntryState::Added : EntryState::Saved;
    }
    return edited->replaced || edited->renamed ? EntryState::Changed : EntryState::Saved;
}
