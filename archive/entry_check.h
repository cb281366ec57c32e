// SPDX-License-Identifier: MIT
#pragma once
// Whether an entry of the open archive is whole: the one rule every reader that writes
// or shows an entry goes by, so that a short or lying entry is never taken for the real
// thing by one front end and refused by another.
//
// An entry is whole when the file holds its 24-byte data header and every stored byte
// its size field gives. Read decompressed (compressed field entries only), it must also
// hold its 4-byte stream length L inside the stored bytes, a stream of L bytes that ends
// on a whole item, and a decoded size that fits 32 bits.
#include <cstdint>

#include "archive/lgp_archive.h"

enum class EntryProblem {
    None,
    HeaderMissing,        // the data header lies (partly) past the end of the file
    CutShort,             // the file ends inside the stored bytes
    StreamLengthMissing,  // fewer than 4 stored bytes: no room for the stream length
    StreamPastEntry,      // the stream length runs past the entry's stored bytes
    StreamCutShort,       // the stream ends inside an item
    DecodedTooLarge,      // the stream decodes to 4 GiB or more
    ArchiveChanged,       // the file is no longer the one that was opened
    CannotRead,           // the file could not be opened or read
};

struct EntryCheck {
    EntryProblem problem = EntryProblem::None;
    uint32_t storedBytes = 0;   // stored bytes the file really holds
    uint32_t streamLength = 0;  // compressed entries: the 4-byte length L
    uint64_t decodedSize = 0;   // compressed entries: size the stream decodes to
    bool Whole() const { return problem == EntryProblem::None; }
};

// decompress=false: header + all stored bytes present.
// decompress=true (type-3 entries): also L inside the stored bytes, the stream decodes
// to exactly its end, decoded size fits 32 bits. Other types ignore `decompress`.
EntryCheck CheckEntry(const CLgpArchive& archive, uint16_t index, bool decompress);

// The same rule for stored bytes already read (`delivered` of the entry's `entrySize`),
// so that a caller about to write them need not read the entry twice. The data header
// is taken as present. Without `countDecoded`, a stream too short to decode to 4 GiB is
// only walked for its items (much cheaper), and decodedSize stays 0: for a caller that
// decodes it next and learns the size from that.
EntryCheck CheckStoredBytes(uint32_t entrySize, const unsigned char* bytes, uint32_t delivered,
                            bool stream, bool countDecoded = true);

// Short text for a problem, to follow "entry: ": "cut short", ...
const char* DescribeEntryProblem(EntryProblem problem);
