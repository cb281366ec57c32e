// SPDX-License-Identifier: MIT
#include "archive/lzss.h"

#include <cstddef>
#include <cstring>

namespace {

constexpr uint32_t kWindowSize = 4096;
constexpr uint32_t kWindowMask = kWindowSize - 1;
constexpr uint32_t kMinMatch = 3;
constexpr uint32_t kMaxMatch = 18;
// The ring position of the first output byte is 0xFEE = 4096 - 18.
constexpr uint32_t kStartSkew = kMaxMatch;
// The most input one group can take: a flag byte and eight references.
constexpr uint32_t kMaxGroupInput = 1 + 8 * 2;
// The most output one group can make: eight references of the longest length.
constexpr uint32_t kMaxGroupOutput = 8 * kMaxMatch;

struct Reference {
    uint32_t distance;  // 1 to 4096
    uint32_t length;    // 3 to 18
};

// The distance back from `pos` to the ring position named by the reference. A distance
// that works out to 0 names the slot about to be overwritten; a ring decoder reads the
// old byte there before writing, which is the byte written 4,096 positions earlier.
inline Reference DecodeReference(uint8_t b0, uint8_t b1, uint32_t pos) {
    uint32_t offset = b0 | (static_cast<uint32_t>(b1 >> 4) << 8);
    uint32_t distance = (pos - offset - kStartSkew) & kWindowMask;
    if (distance == 0) {
        distance = kWindowSize;
    }
    return {distance, (b1 & 0x0Fu) + kMinMatch};
}

// Copies one reference with every position checked: sources before the start of the
// output read as the zero-filled window, and nothing is written at `capacity` or beyond.
inline uint32_t CopyChecked(uint8_t* dst, uint32_t pos, Reference ref, uint32_t capacity) {
    uint32_t end = capacity - pos < ref.length ? capacity : pos + ref.length;
    for (; pos < end; ++pos) {
        dst[pos] = pos >= ref.distance ? dst[pos - ref.distance] : 0;
    }
    return pos;
}

// The fast path may write this many bytes past the end of an item (fixed-size copies).
constexpr uint32_t kOverCopy = 24;
// The fast path may read this many bytes past the group's last item (a literal run is
// copied eight bytes at a time).
constexpr uint32_t kOverRead = 8;

// Copies one reference whose source lies wholly inside the output and whose target the
// caller has checked against the capacity with room for kOverCopy bytes. Fixed-size
// copies are much cheaper than variable ones; the bytes past the reference's length are
// written again by the items that follow (or cleared at the end). A source at least
// eight bytes back can go in eight-byte steps even when it overlaps the target: each step
// reads only bytes written before it.
inline void CopyFast(uint8_t* out, Reference ref) {
    const uint8_t* src = out - ref.distance;
    if (ref.distance < 8) {
        // A short period: the first eight bytes go one by one, repeating what they have
        // just written; from there on the same pattern stands a whole number of periods
        // of at least eight bytes back, and the rest goes in eight-byte steps as well.
        for (int i = 0; i < 8; ++i) {
            out[i] = src[i];
        }
        static constexpr uint8_t kPeriodOfEight[8] = {0, 8, 8, 9, 8, 10, 12, 14};
        src = out - kPeriodOfEight[ref.distance] + 8;
        std::memcpy(out + 8, src, 8);
        std::memcpy(out + 16, src + 8, 8);
        return;
    }
    std::memcpy(out, src, 8);
    std::memcpy(out + 8, src + 8, 8);
    std::memcpy(out + 16, src + 16, 8);
}

// Decodes one whole group with no bounds checks. The caller guarantees kMaxGroupInput +
// kOverRead bytes of input and kMaxGroupOutput + kOverCopy bytes of room; references
// reaching back before the start of the output still take the checked copy. Runs of
// literals are copied at once: in text-like streams most items are literals.
inline void DecodeGroupFast(const uint8_t*& in, uint8_t* dst, uint32_t& pos) {
    uint32_t flags = *in++;
    uint32_t left = 8;
    while (left != 0) {
        // Bits above the group's remaining items are 0, so the run stops at them.
        uint32_t literals = static_cast<uint32_t>(__builtin_ctz(~flags));
        if (literals != 0) {
            std::memcpy(dst + pos, in, 8);
            in += literals;
            pos += literals;
            if (literals >= left) {
                return;
            }
            flags >>= literals;
            left -= literals;
        }
        Reference ref = DecodeReference(in[0], in[1], pos);
        in += 2;
        if (ref.distance <= pos) {
            CopyFast(dst + pos, ref);
            pos += ref.length;
        } else {
            pos = CopyChecked(dst, pos, ref, pos + ref.length);
        }
        flags >>= 1;
        --left;
    }
}

// Decodes one group with every read and write checked. Returns false when the input
// or the output ran out, which ends the stream.
bool DecodeGroupChecked(const uint8_t*& in, const uint8_t* end, uint8_t* dst, uint32_t& pos,
                        uint32_t capacity) {
    if (in == end) {
        return false;
    }
    uint32_t flags = *in++;
    for (int item = 0; item < 8; ++item, flags >>= 1) {
        if (in == end) {
            return false;
        }
        if (flags & 1) {
            if (pos == capacity) {
                return false;
            }
            dst[pos++] = *in++;
            continue;
        }
        if (end - in < 2) {
            return false;  // a reference cut in half is dropped whole
        }
        Reference ref = DecodeReference(in[0], in[1], pos);
        in += 2;
        pos = CopyChecked(dst, pos, ref, capacity);
        if (pos == capacity) {
            return false;  // the output is full; nothing more can be written
        }
    }
    return true;
}

// What a whole group's flag byte says about it: how many literals and references it
// holds, how many input bytes follow the flag byte, and where each reference stands.
struct GroupShape {
    uint8_t literals = 0;
    uint8_t references = 0;
    uint8_t inputBytes = 0;
    uint8_t referenceAt[8] = {};
};
struct GroupShapes {
    GroupShape of[256];
};

constexpr GroupShapes MakeGroupShapes() {
    GroupShapes shapes{};
    for (uint32_t flags = 0; flags < 256; ++flags) {
        GroupShape& shape = shapes.of[flags];
        for (uint32_t item = 0; item < 8; ++item) {
            if (flags & (1u << item)) {
                ++shape.literals;
                ++shape.inputBytes;
            } else {
                shape.referenceAt[shape.references++] = shape.inputBytes;
                shape.inputBytes += 2;
            }
        }
    }
    return shapes;
}

}  // namespace

LzssMeasure LzssMeasureStream(const uint8_t* src, uint32_t len) {
    LzssMeasure measure;
    if (src == nullptr) {
        return measure;
    }
    const uint8_t* in = src;
    const uint8_t* end = src + len;
    // Whole groups far from the end: a table read off the flag byte gives the group's
    // length and where its references stand, and only the references are visited.
    static constexpr GroupShapes kShapes = MakeGroupShapes();
    while (end - in >= static_cast<ptrdiff_t>(kMaxGroupInput)) {
        const GroupShape& shape = kShapes.of[*in++];
        uint64_t size = shape.literals;
        for (uint32_t r = 0; r < shape.references; ++r) {
            size += (in[shape.referenceAt[r] + 1] & 0x0Fu) + kMinMatch;
        }
        measure.decodedSize += size;
        in += shape.inputBytes;
    }
    while (in != end) {
        uint32_t flags = *in++;
        for (int item = 0; item < 8 && in != end; ++item, flags >>= 1) {
            if (flags & 1) {
                ++in;
                ++measure.decodedSize;
            } else if (end - in >= 2) {
                measure.decodedSize += (in[1] & 0x0Fu) + kMinMatch;
                in += 2;
            } else {
                in = end;
                measure.endsOnItem = false;
            }
        }
    }
    return measure;
}

bool LzssEndsOnItem(const uint8_t* src, uint32_t len) {
    if (src == nullptr) {
        return true;
    }
    const uint8_t* in = src;
    const uint8_t* end = src + len;
    static constexpr GroupShapes kShapes = MakeGroupShapes();
    while (end - in >= static_cast<ptrdiff_t>(kMaxGroupInput)) {
        in += 1 + kShapes.of[*in].inputBytes;
    }
    while (in != end) {
        uint32_t flags = *in++;
        for (int item = 0; item < 8 && in != end; ++item, flags >>= 1) {
            const ptrdiff_t size = (flags & 1) ? 1 : 2;
            if (end - in < size) {
                return false;
            }
            in += size;
        }
    }
    return true;
}

uint32_t LzssDecodedSize(const uint8_t* src, uint32_t len) {
    // A stream of 4 GiB could describe more than 4 GiB of output; the count saturates.
    const uint64_t total = LzssMeasureStream(src, len).decodedSize;
    return total > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(total);
}

uint32_t LzssDecode(const uint8_t* src, uint32_t len, uint8_t* dst, uint32_t capacity) {
    if (src == nullptr || dst == nullptr) {
        return 0;
    }
    const uint8_t* in = src;
    const uint8_t* end = src + len;
    uint32_t pos = 0;
    // How far the fast path's fixed-size copies may have written.
    uint32_t written = 0;
    for (;;) {
        // Whole groups far from both ends of both buffers take the unchecked path; the
        // tail of the stream and the last bytes of the output take the checked one.
        while (static_cast<size_t>(end - in) >= kMaxGroupInput + kOverRead &&
               capacity - pos >= kMaxGroupOutput + kOverCopy) {
            DecodeGroupFast(in, dst, pos);
            // A group's fixed-size copies stay inside the room checked above.
            written = pos + kOverCopy;
        }
        if (!DecodeGroupChecked(in, end, dst, pos, capacity)) {
            break;
        }
    }
    // Scratch bytes of the fixed-size copies past the end of the output read as zeros,
    // never as stray copies of earlier output.
    if (written > pos) {
        std::memset(dst + pos, 0, written - pos);
    }
    return pos;
}

namespace {
constexpr uint32_t kPiece = uint32_t{1} << 20;
// Room for the window, a piece, and the last group's overshoot with its scratch bytes.
constexpr uint32_t kPieceBuffer = 2 * kWindowSize + kPiece + kMaxGroupOutput + kOverCopy;
}  // namespace

LzssPieceDecoder::LzssPieceDecoder(const uint8_t* src, uint32_t len)
    : m_in(src), m_end(src ? src + len : src), m_done(src == nullptr) {}

const uint8_t* LzssPieceDecoder::Next(size_t* count) {
    *count = 0;
    if (m_done) {
        return nullptr;
    }
    if (m_buffer.empty()) {
        // A short stream cannot make a whole piece: no group makes more than nine bytes
        // for each byte it takes.
        const uint64_t most =
            2 * kWindowSize + kMaxGroupOutput + kOverCopy + 9 * static_cast<uint64_t>(m_end - m_in);
        m_buffer.resize(most < kPieceBuffer ? static_cast<size_t>(most) : kPieceBuffer);
    }
    // Keep at least the window before the next byte. Moving by whole windows keeps every
    // ring position where it was, and once the window is kept, every reference finds its
    // source in the buffer.
    if (m_pos >= 2 * kWindowSize) {
        const uint32_t shift = (m_pos - kWindowSize) & ~kWindowMask;
        std::memmove(m_buffer.data(), m_buffer.data() + shift, m_pos - shift);
        m_pos -= shift;
    }
    const uint32_t start = m_pos;
    const uint32_t capacity = static_cast<uint32_t>(m_buffer.size());
    while (m_pos - start < kPiece) {
        if (static_cast<size_t>(m_end - m_in) >= kMaxGroupInput + kOverRead) {
            DecodeGroupFast(m_in, m_buffer.data(), m_pos);
        } else if (!DecodeGroupChecked(m_in, m_end, m_buffer.data(), m_pos, capacity)) {
            m_done = true;
            break;
        }
    }
    *count = m_pos - start;
    return *count != 0 ? m_buffer.data() + start : nullptr;
}
