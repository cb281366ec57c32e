// SPDX-License-Identifier: MIT
// What every entry source offers on top of its reader.
#include "archive/entry_source.h"

#include <algorithm>

namespace {

// Pieces small enough that a sink writing them never holds much twice.
constexpr size_t kSinkPiece = size_t{1} << 20;

}  // namespace

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
