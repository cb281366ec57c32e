// SPDX-License-Identifier: MIT
#include "archive/entry_check.h"

#include "archive/entry_buffer.h"
#include "archive/lgp_layout.h"
#include "archive/lzss.h"
#include "platform/byte_cursor.h"

namespace {

constexpr uint64_t kDataHeaderSize = lgp::kDataHeaderSize;
constexpr uint32_t kLengthFieldSize = lgp::kStreamLengthSize;

EntryCheck Problem(EntryProblem problem, EntryCheck check = {}) {
    check.problem = problem;
    return check;
}

}  // namespace

EntryCheck CheckStoredBytes(uint32_t entrySize, const unsigned char* bytes, uint32_t delivered,
                            bool stream, bool countDecoded) {
    EntryCheck check;
    check.storedBytes = delivered;
    if (stream && delivered >= kLengthFieldSize) {
        check.streamLength = LoadLe32(bytes);
    }
    if (delivered < entrySize) {
        return Problem(EntryProblem::CutShort, check);
    }
    if (!stream) {
        return check;
    }
    if (entrySize < kLengthFieldSize) {
        return Problem(EntryProblem::StreamLengthMissing, check);
    }
    if (check.streamLength > entrySize - kLengthFieldSize) {
        return Problem(EntryProblem::StreamPastEntry, check);
    }
    // No stream byte makes more than nine bytes of output.
    if (!countDecoded && check.streamLength <= UINT32_MAX / 9) {
        return LzssEndsOnItem(bytes + kLengthFieldSize, check.streamLength)
                   ? check
                   : Problem(EntryProblem::StreamCutShort, check);
    }
    const LzssMeasure measure = LzssMeasureStream(bytes + kLengthFieldSize, check.streamLength);
    check.decodedSize = measure.decodedSize;
    if (!measure.endsOnItem) {
        return Problem(EntryProblem::StreamCutShort, check);
    }
    if (measure.decodedSize > UINT32_MAX) {
        return Problem(EntryProblem::DecodedTooLarge, check);
    }
    return check;
}

EntryCheck CheckEntry(const CLgpArchive& archive, uint16_t index, bool decompress) {
    if (index >= archive.GetEntryCount()) {
        return Problem(EntryProblem::CannotRead);
    }
    if (archive.GetEntryOffset(index) + kDataHeaderSize > archive.GetArchiveLength()) {
        return Problem(EntryProblem::HeaderMissing);
    }
    const bool stream = decompress && IsCompressedType(archive.GetEntryType(index));
    // Stored entries need no reading when the file is long enough to hold them.
    if (!stream && archive.IsEntryWhole(index)) {
        EntryCheck check;
        check.storedBytes = archive.GetEntrySize(index);
        return check;
    }
    EntryBuffer bytes;
    const uint32_t delivered = archive.ReadEntry(index, bytes.Address());
    if (!bytes.Valid()) {
        return Problem(archive.ArchiveChangedOnDisk() ? EntryProblem::ArchiveChanged
                                                      : EntryProblem::CannotRead);
    }
    return CheckStoredBytes(archive.GetEntrySize(index), bytes.Data(), delivered, stream);
}

const char* DescribeEntryProblem(EntryProblem problem) {
    switch (problem) {
        case EntryProblem::None:
            return "whole";
        case EntryProblem::HeaderMissing:
            return "its data lies past the end of the archive";
        case EntryProblem::CutShort:
            return "cut short";
        case EntryProblem::StreamLengthMissing:
            return "too short to hold its compressed length";
        case EntryProblem::StreamPastEntry:
            return "its compressed length runs past the end of the entry";
        case EntryProblem::StreamCutShort:
            return "its compressed data ends inside an item";
        case EntryProblem::DecodedTooLarge:
            return "it decodes to 4 GiB or more";
        case EntryProblem::ArchiveChanged:
            return "the archive changed on disk since it was opened";
        case EntryProblem::CannotRead:
            return "cannot read the archive";
    }
    return "unknown problem";
}
