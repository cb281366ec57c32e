// SPDX-License-Identifier: MIT
#include "archive/lzss_encoder.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "archive/lzss.h"
#include "platform/byte_cursor.h"

namespace {

constexpr uint32_t kWindow = 4096;
constexpr uint32_t kMaxDistance = kWindow - 1;
constexpr uint32_t kMinMatch = 3;
constexpr uint32_t kMaxMatch = 18;
constexpr uint32_t kFirstRing = 0xFEE;
constexpr uint32_t kLiteralBits = 9;
constexpr uint32_t kReferenceBits = 17;
constexpr uint32_t kHashBits = 15;

struct Match {
    uint16_t length = 0;  // 0: none
    uint16_t distance = 0;
};

uint32_t Hash(const uint8_t* p) {
    const uint32_t v = uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
    return (v * 2654435761u) >> (32 - kHashBits);
}

// The longest match at every position of the input, which follows `prefix` zero bytes
// standing for the window's initial contents. The chains hold a position plus one, so
// that zero (which the tables start as) is the end of a chain.
std::vector<Match> FindMatches(const std::vector<uint8_t>& text, size_t prefix, int chainLength) {
    const size_t end = text.size();
    // Cleared in one go, not value by value: small inputs spend most of their time here.
    const std::unique_ptr<uint32_t[]> head = std::make_unique<uint32_t[]>(size_t{1} << kHashBits);
    const std::unique_ptr<uint32_t[]> previous = std::make_unique<uint32_t[]>(kWindow);
    std::vector<Match> matches(end - prefix);
    const uint8_t* bytes = text.data();
    // The zeros before the input form one chain, each position linking to the one before.
    size_t i = 0;
    if (prefix >= kMinMatch && prefix <= kWindow && end >= prefix + kMinMatch) {
        const size_t zeros = prefix - (kMinMatch - 1);  // positions whose three bytes are all zero
        for (; i < zeros; ++i) {
            previous[i] = static_cast<uint32_t>(i);
        }
        head[Hash(bytes)] = static_cast<uint32_t>(zeros);
    }
    for (; i + kMinMatch <= end; ++i) {
        const uint32_t h = Hash(bytes + i);
        if (i >= prefix) {
            const size_t limit = std::min<size_t>(kMaxMatch, end - i);
            Match best;
            int tries = chainLength;
            for (uint32_t link = head[h];
                 link != 0 && i - (link - 1) <= kMaxDistance && tries-- > 0;
                 link = previous[(link - 1) % kWindow]) {
                const uint8_t* a = bytes + (link - 1);
                const uint8_t* b = bytes + i;
                if (a[best.length] != b[best.length] && best.length < limit) {
                    continue;
                }
                size_t n = 0;
                while (n < limit && a[n] == b[n]) {
                    ++n;
                }
                if (n > best.length) {
                    best = {static_cast<uint16_t>(n), static_cast<uint16_t>(i - (link - 1))};
                    if (n == limit) {
                        break;
                    }
                }
            }
            matches[i - prefix] = best.length >= kMinMatch ? best : Match{};
        }
        previous[i % kWindow] = head[h];
        head[h] = static_cast<uint32_t>(i + 1);
    }
    return matches;
}

// The length to take at each position (1: a literal) for the fewest bits to the end.
std::vector<uint8_t> CheapestParse(const std::vector<Match>& matches) {
    const size_t n = matches.size();
    std::vector<uint32_t> cost(n + 1, 0);
    std::vector<uint8_t> take(n, 1);
    for (size_t i = n; i-- > 0;) {
        cost[i] = kLiteralBits + cost[i + 1];
        for (uint32_t length = kMinMatch; length <= matches[i].length; ++length) {
            const uint32_t c = kReferenceBits + cost[i + length];
            if (c < cost[i]) {
                cost[i] = c;
                take[i] = static_cast<uint8_t>(length);
            }
        }
    }
    return take;
}

class StreamOut {
public:
    explicit StreamOut(size_t reserve) { m_out.reserve(reserve); }
    void Literal(uint8_t byte) {
        Begin(true);
        m_out.push_back(byte);
    }
    void Reference(size_t position, uint32_t distance, uint32_t length) {
        Begin(false);
        const uint32_t ring = (static_cast<uint32_t>(position) - distance + kFirstRing) % kWindow;
        m_out.push_back(static_cast<uint8_t>(ring & 0xFF));
        m_out.push_back(static_cast<uint8_t>((ring >> 8) << 4 | (length - kMinMatch)));
    }
    std::vector<uint8_t> Take() { return std::move(m_out); }

private:
    void Begin(bool literal) {
        if (m_items == 8) {
            m_flag = m_out.size();
            m_out.push_back(0);
            m_items = 0;
        }
        if (literal) {
            m_out[m_flag] = static_cast<uint8_t>(m_out[m_flag] | 1u << m_items);
        }
        ++m_items;
    }

    std::vector<uint8_t> m_out;
    size_t m_flag = 0;
    int m_items = 8;
};

}  // namespace

std::vector<uint8_t> LzssEncode(const uint8_t* data, size_t size,
                                const LzssEncodeOptions& options) {
    // The window before the first byte is zeros, and references may read it.
    const size_t prefix = kMaxDistance;
    std::vector<uint8_t> text(prefix + size, 0);
    if (size != 0) {
        std::memcpy(text.data() + prefix, data, size);
    }
    const std::vector<Match> matches = FindMatches(text, prefix, std::max(1, options.chainLength));
    const std::vector<uint8_t> take = CheapestParse(matches);
    StreamOut out(size / 2 + 16);
    for (size_t i = 0; i < size;) {
        if (take[i] == 1) {
            out.Literal(data[i]);
            ++i;
        } else {
            out.Reference(i, matches[i].distance, take[i]);
            i += take[i];
        }
    }
    return out.Take();
}

std::vector<uint8_t> LzssEncodeEntry(const uint8_t* data, size_t size,
                                     const LzssEncodeOptions& options) {
    std::vector<uint8_t> stream = LzssEncode(data, size, options);
    std::vector<uint8_t> entry(4 + stream.size());
    StoreLe32(entry.data(), static_cast<uint32_t>(stream.size()));
    std::copy(stream.begin(), stream.end(), entry.begin() + 4);
    return entry;
}

bool IsLzssEntry(const uint8_t* bytes, size_t size) {
    if (size < 4 || LoadLe32(bytes) != size - 4 || size - 4 > UINT32_MAX) {
        return false;
    }
    return LzssMeasureStream(bytes + 4, static_cast<uint32_t>(size - 4)).endsOnItem;
}
