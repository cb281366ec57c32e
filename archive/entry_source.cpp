// SPDX-License-Identifier: MIT
// What every entry source offers on top of its reader.
#include "archive/entry_source.h"

#include <algorithm>

#include "archive/lgp_archive.h"
#include "archive/lgp_layout.h"
#include "archive/stream_out.h"

namespace {

// Pieces small enough that a sink writing them never holds much twice.
constexpr size_t kSinkPiece = size_t{1} << 20;

}  // namespace

void IEntrySource::ListEntries(const std::function<void(const Listing&)>& visit) const {
    const size_t count = Count();
    for (size_t i = 0; i < count; ++i) {
        const EntryId id = IdAt(i);
        const std::string name = Name(id);
        visit({id, name, Size(id), Type(id), State(id)});
    }
}

EntryCheck IEntrySource::Read(EntryId id, bool decoded, std::vector<uint8_t>* out) const {
    std::unique_ptr<IEntryReader> reader = OpenReader();
    return reader->Read(id, decoded, out);
}

EntryCheck IEntrySource::CopyStored(EntryId id, const EntrySink& sink) const {
    std::vector<uint8_t> bytes;
    EntryCheck check = Read(id, false, &bytes);
    for (size_t at = 0; at < bytes.size(); at += kSinkPiece) {
        if (!sink(bytes.data() + at, std::min(kSinkPiece, bytes.size() - at))) {
            check.problem = EntryProblem::CannotRead;
            break;
        }
    }
    return check;
}

namespace {

bool SinkPieces(const uint8_t* data, size_t size, const EntrySink& sink) {
    for (size_t at = 0; at < size; at += kSinkPiece) {
        if (!sink(data + at, std::min(kSinkPiece, size - at))) {
            return false;
        }
    }
    return true;
}

}  // namespace

EntryCheck CopyEntryOut(IEntryReader& reader, const IEntrySource& source, EntryId id, bool decoded,
                        bool partial, const EntrySink& sink) {
    std::vector<uint8_t> stored;
    EntryCheck check = reader.Read(id, false, &stored);
    if (check.problem == EntryProblem::CannotRead ||
        check.problem == EntryProblem::ArchiveChanged) {
        return check;
    }
    const bool stream = decoded && source.Type(id) == LGP_TYPE_FIELD;
    if (stream && check.problem != EntryProblem::HeaderMissing) {
        return CopyStreamOut(stored, source.Size(id), partial, sink);
    }
    if (!check.Whole() && !partial) {
        return check;
    }
    const bool sunk =
        stream ? SinkDecoded(stored, check, sink) : SinkPieces(stored.data(), stored.size(), sink);
    if (!sunk) {
        check.problem = EntryProblem::CannotRead;
    }
    return check;
}
