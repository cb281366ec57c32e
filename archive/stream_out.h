// SPDX-License-Identifier: MIT
#pragma once
// A compressed entry's stream, decoded a piece at a time to a sink, never held whole.
#include <cstdint>
#include <vector>

#include "archive/entry_check.h"
#include "archive/entry_source.h"

// Checks the stream the stored bytes hold and passes its output to `sink` when the entry
// is whole, or with `partial` what it holds. The check is a walk over the stream, not a
// decoding; for a large stream the walk runs beside the first pieces' decoding, whose
// output waits until the walk says the entry may be written.
EntryCheck CopyStreamOut(const std::vector<uint8_t>& stored, uint32_t entrySize, bool partial,
                         const EntrySink& sink);

// Passes the output of the stream `stored` holds, as far as it holds it, to `sink`; a
// whole entry's check learns its decoded size. False when the sink refused.
bool SinkDecoded(const std::vector<uint8_t>& stored, EntryCheck& check, const EntrySink& sink);
