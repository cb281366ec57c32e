// SPDX-License-Identifier: MIT
#include "tests/support/lzss_encoder.h"

#include <algorithm>
#include <stdexcept>

namespace lumo::test {

namespace {

constexpr int kWindow = 4096;
constexpr int kMaxDistance = kWindow - 1;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 18;
constexpr int kFirstRing = 0xFEE;
constexpr int kHashBits = 15;

uint32_t Hash3(const uint8_t* p) {
    uint32_t v = p[0] | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16);
    return (v * 2654435761u) >> (32 - kHashBits);
}

// Length of the match at `pos` against the bytes `distance` back, where positions
// before the start read as zero and the source may run into the bytes being matched.
int MatchLength(const Bytes& raw, size_t pos, int distance, int limit) {
    int length = 0;
    for (; length < limit; ++length) {
        long source = static_cast<long>(pos) - distance + length;
        uint8_t expected = source < 0 ? 0 : raw[static_cast<size_t>(source)];
        if (raw[pos + length] != expected) {
            break;
        }
    }
    return length;
}

class MatchFinder {
public:
    MatchFinder(const Bytes& raw, const LzssOptions& options)
        : m_raw(raw),
          m_options(options),
          m_head(size_t{1} << kHashBits, -1),
          m_prev(raw.size(), -1) {}

    void Insert(size_t pos) {
        if (pos + kMinMatch > m_raw.size()) {
            return;
        }
        uint32_t h = Hash3(&m_raw[pos]);
        m_prev[pos] = m_head[h];
        m_head[h] = static_cast<long>(pos);
    }

    // Best (distance, length) at pos; length 0 when nothing of 3 bytes or more matches.
    std::pair<int, int> Find(size_t pos) const {
        int remaining = static_cast<int>(std::min<size_t>(kMaxMatch, m_raw.size() - pos));
        std::pair<int, int> best{0, 0};
        if (remaining < kMinMatch) {
            return best;
        }
        long candidate = m_head[Hash3(&m_raw[pos])];
        for (int chain = 0; candidate >= 0 && chain < m_options.maxChainLength; ++chain) {
            int distance = static_cast<int>(pos - static_cast<size_t>(candidate));
            if (distance > kMaxDistance) {
                break;
            }
            int limit = m_options.allowOverlap ? remaining : std::min(remaining, distance);
            int length = MatchLength(m_raw, pos, distance, limit);
            if (length > best.second) {
                best = {distance, length};
                if (length == kMaxMatch) {
                    break;
                }
            }
            candidate = m_prev[static_cast<size_t>(candidate)];
        }
        // The window starts as zeros: the farthest distance reaches into them while the
        // output is still young.
        if (m_options.useZeroWindow && pos < static_cast<size_t>(kMaxDistance)) {
            int limit = m_options.allowOverlap ? remaining : std::min(remaining, kMaxDistance);
            int length = MatchLength(m_raw, pos, kMaxDistance, limit);
            if (length > best.second) {
                best = {kMaxDistance, length};
            }
        }
        if (best.second < kMinMatch) {
            best = {0, 0};
        }
        return best;
    }

private:
    const Bytes& m_raw;
    const LzssOptions& m_options;
    std::vector<long> m_head;
    std::vector<long> m_prev;
};

}  // namespace

Bytes LzssCompress(const Bytes& raw, const LzssOptions& options) {
    LzssStreamWriter writer;
    MatchFinder finder(raw, options);
    size_t pos = 0;
    while (pos < raw.size()) {
        auto [distance, length] = finder.Find(pos);
        if (length == 0) {
            writer.Literal(raw[pos]);
            finder.Insert(pos);
            ++pos;
            continue;
        }
        writer.Reference(distance, length);
        for (int i = 0; i < length; ++i) {
            finder.Insert(pos + static_cast<size_t>(i));
        }
        pos += static_cast<size_t>(length);
    }
    return writer.Stream();
}

Bytes LzssEntry(const Bytes& stream) {
    uint32_t length = static_cast<uint32_t>(stream.size());
    Bytes entry;
    entry.reserve(4 + stream.size());
    for (int shift = 0; shift < 32; shift += 8) {
        entry.push_back(static_cast<uint8_t>(length >> shift));
    }
    entry.insert(entry.end(), stream.begin(), stream.end());
    return entry;
}

void LzssStreamWriter::BeginItem(bool literal) {
    if (m_itemsInGroup == 8) {
        m_flagIndex = m_stream.size();
        m_stream.push_back(0);
        m_itemsInGroup = 0;
    }
    if (literal) {
        m_stream[m_flagIndex] |= static_cast<uint8_t>(1u << m_itemsInGroup);
    }
    ++m_itemsInGroup;
}

LzssStreamWriter& LzssStreamWriter::Literal(uint8_t byte) {
    BeginItem(true);
    m_stream.push_back(byte);
    ++m_position;
    return *this;
}

LzssStreamWriter& LzssStreamWriter::Literals(const Bytes& bytes) {
    for (uint8_t byte : bytes) {
        Literal(byte);
    }
    return *this;
}

LzssStreamWriter& LzssStreamWriter::RingReference(uint16_t ringPosition, int length) {
    if (length < kMinMatch || length > kMaxMatch || ringPosition >= kWindow) {
        throw std::invalid_argument("LZSS reference out of range");
    }
    BeginItem(false);
    m_stream.push_back(static_cast<uint8_t>(ringPosition & 0xFF));
    m_stream.push_back(static_cast<uint8_t>(((ringPosition >> 8) << 4) | (length - kMinMatch)));
    m_position += static_cast<uint32_t>(length);
    m_lastReferenceEnd = m_stream.size();
    return *this;
}

LzssStreamWriter& LzssStreamWriter::Reference(int distance, int length) {
    if (distance < 1 || distance > kMaxDistance) {
        throw std::invalid_argument("LZSS distance out of range");
    }
    uint32_t ring = (m_position - static_cast<uint32_t>(distance) + kFirstRing) & (kWindow - 1);
    return RingReference(static_cast<uint16_t>(ring), length);
}

LzssStreamWriter& LzssStreamWriter::ZeroDistanceReference(int length) {
    uint32_t ring = (m_position + kFirstRing) & (kWindow - 1);
    return RingReference(static_cast<uint16_t>(ring), length);
}

Bytes LzssStreamWriter::StreamCutInsideLastReference() const {
    if (m_lastReferenceEnd == 0) {
        throw std::logic_error("no reference to cut");
    }
    return Bytes(m_stream.begin(), m_stream.begin() + static_cast<long>(m_lastReferenceEnd - 1));
}

Bytes LzssStreamWriter::StreamWithDanglingFlag(uint8_t flags) {
    while (m_itemsInGroup != 8) {
        Literal(0);
    }
    Bytes stream = m_stream;
    stream.push_back(flags);
    return stream;
}

Bytes RingDecode(const uint8_t* src, size_t len) {
    uint8_t ring[kWindow] = {};
    int r = kFirstRing;
    Bytes out;
    size_t i = 0;
    unsigned flags = 0;
    int bits = 0;
    for (;;) {
        if (bits == 0) {
            if (i >= len) {
                break;
            }
            flags = src[i++];
            bits = 8;
        }
        if (i >= len) {
            break;
        }
        if (flags & 1) {
            uint8_t c = src[i++];
            out.push_back(c);
            ring[r] = c;
            r = (r + 1) & (kWindow - 1);
        } else {
            if (len - i < 2) {
                break;
            }
            int offset = src[i] | ((src[i + 1] >> 4) << 8);
            int length = (src[i + 1] & 0x0F) + kMinMatch;
            i += 2;
            for (int k = 0; k < length; ++k) {
                uint8_t c = ring[(offset + k) & (kWindow - 1)];
                out.push_back(c);
                ring[r] = c;
                r = (r + 1) & (kWindow - 1);
            }
        }
        flags >>= 1;
        --bits;
    }
    return out;
}

}  // namespace lumo::test
