// SPDX-License-Identifier: MIT
#include "archive/stream_out.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <optional>

#include "archive/large_blocks.h"
#include "archive/lgp_layout.h"
#include "archive/lzss.h"
#include "platform/byte_cursor.h"

namespace {

// Streams shorter than this are walked first, then decoded: a thread costs more than
// their walk.
constexpr size_t kWalkBesideFrom = size_t{4} << 20;
// The most output held back while the walk runs. The walk goes about four times as fast
// as the decoding, so a stream of up to about 40 MiB never waits for it.
constexpr size_t kHeldAhead = size_t{16} << 20;
// More than the decoder's largest piece.
constexpr size_t kPieceRoom = size_t{2} << 20;

uint32_t StreamLength(const std::vector<uint8_t>& stored) {
    const size_t held = stored.size() - lgp::kStreamLengthSize;
    return static_cast<uint32_t>(std::min<size_t>(LoadLe32(stored.data()), held));
}

EntryCheck Walk(const std::vector<uint8_t>& stored, uint32_t entrySize) {
    return CheckStoredBytes(entrySize, stored.data(), static_cast<uint32_t>(stored.size()), true,
                            false);
}

// Decodes while the walk runs, holding the output; writes it all once the walk says the
// entry is whole: its check, or CannotRead when the sink refused. Nothing when the walk
// found the entry not whole; then nothing was written.
std::optional<EntryCheck> CopyWhileWalking(const std::vector<uint8_t>& stored, uint32_t entrySize,
                                           const EntrySink& sink) {
    // Deferred when no thread can be had: the walk then runs when its answer is asked for.
    std::future<EntryCheck> walked = std::async(std::launch::async | std::launch::deferred,
                                                [&] { return Walk(stored, entrySize); });
    LzssPieceDecoder decoder(stored.data() + lgp::kStreamLengthSize, StreamLength(stored));
    // One block for what is held, with room past kHeldAhead for the piece that crosses it.
    const std::unique_ptr<unsigned char, decltype(&std::free)> held(
        AllocateEntryBlock(kHeldAhead + kPieceRoom), &std::free);
    size_t heldBytes = 0;
    size_t count = 0;
    bool ended = false;
    while (held != nullptr && !ended && heldBytes < kHeldAhead &&
           walked.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        const uint8_t* piece = decoder.Next(&count);
        ended = piece == nullptr;
        if (!ended) {
            std::memcpy(held.get() + heldBytes, piece, count);
            heldBytes += count;
        }
    }
    EntryCheck check = walked.get();
    if (!check.Whole()) {
        return std::nullopt;
    }
    // Passed on in pieces of the decoder's size, as a sink expects them.
    for (size_t at = 0; at < heldBytes; at += kPieceRoom / 2) {
        if (!sink(held.get() + at, std::min(kPieceRoom / 2, heldBytes - at))) {
            check.problem = EntryProblem::CannotRead;
            return check;
        }
    }
    uint64_t total = heldBytes;
    while (const uint8_t* piece = ended ? nullptr : decoder.Next(&count)) {
        if (!sink(piece, count)) {
            check.problem = EntryProblem::CannotRead;
            return check;
        }
        total += count;
    }
    check.decodedSize = total;
    return check;
}

}  // namespace

bool SinkDecoded(const std::vector<uint8_t>& stored, EntryCheck& check, const EntrySink& sink) {
    if (check.problem == EntryProblem::DecodedTooLarge || stored.size() < lgp::kStreamLengthSize) {
        return true;
    }
    const size_t held = stored.size() - lgp::kStreamLengthSize;
    const uint32_t length = static_cast<uint32_t>(std::min<size_t>(check.streamLength, held));
    LzssPieceDecoder decoder(stored.data() + lgp::kStreamLengthSize, length);
    size_t count = 0;
    uint64_t total = 0;
    while (const uint8_t* piece = decoder.Next(&count)) {
        if (!sink(piece, count)) {
            return false;
        }
        total += count;
    }
    if (check.Whole()) {
        check.decodedSize = total;
    }
    return true;
}

EntryCheck CopyStreamOut(const std::vector<uint8_t>& stored, uint32_t entrySize, bool partial,
                         const EntrySink& sink) {
    const auto counted = [&] {
        return CheckStoredBytes(entrySize, stored.data(), static_cast<uint32_t>(stored.size()),
                                true);
    };
    EntryCheck check;
    if (stored.size() >= kWalkBesideFrom) {
        if (std::optional<EntryCheck> copied = CopyWhileWalking(stored, entrySize, sink)) {
            return *copied;
        }
        check = counted();
    } else {
        check = Walk(stored, entrySize);
        // The reasons of an entry that is not whole come with every count.
        if (!check.Whole()) {
            check = counted();
        }
    }
    if (!check.Whole() && !partial) {
        return check;
    }
    if (!SinkDecoded(stored, check, sink)) {
        check.problem = EntryProblem::CannotRead;
    }
    return check;
}
