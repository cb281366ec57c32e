// SPDX-License-Identifier: MIT
#include "formats/hex.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

void PutByte(std::string& out, uint8_t b) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// "DE AD BE": pairs of hex digits joined by single spaces, at least two of them.
bool ParseHexPairs(const std::string& query, std::vector<uint8_t>& bytes) {
    if (query.size() < 5 || (query.size() + 1) % 3 != 0) {
        return false;
    }
    for (size_t i = 0; i < query.size(); i += 3) {
        const int high = HexValue(query[i]);
        const int low = HexValue(query[i + 1]);
        if (high < 0 || low < 0 || (i + 2 < query.size() && query[i + 2] != ' ')) {
            return false;
        }
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    return true;
}

uint8_t Fold(uint8_t b, bool ignoreCase) {
    return ignoreCase && b < 0x80 ? static_cast<uint8_t>(std::tolower(b)) : b;
}

std::optional<uint64_t> Search(const uint8_t* begin, const uint8_t* end, const uint8_t* data,
                               const FindPattern& p) {
    const auto same = [&p](uint8_t a, uint8_t b) {
        return Fold(a, p.ignoreCase) == Fold(b, p.ignoreCase);
    };
    const uint8_t* found = std::search(begin, end, p.bytes.begin(), p.bytes.end(), same);
    if (found == end) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(found - data);
}

}  // namespace

uint64_t HexLineCount(uint64_t size) {
    return (size + kHexBytesPerLine - 1) / kHexBytesPerLine;
}

std::string HexLine(const uint8_t* data, size_t size, uint64_t line) {
    if (data == nullptr || line >= HexLineCount(size)) {
        return {};
    }
    const uint64_t offset = line * kHexBytesPerLine;
    const size_t count = static_cast<size_t>(std::min<uint64_t>(kHexBytesPerLine, size - offset));
    std::string out;
    int digits = 8;
    while (digits < 16 && (offset >> (4 * digits)) != 0) {
        ++digits;
    }
    for (int d = digits - 1; d >= 0; --d) {
        out.push_back(kDigits[(offset >> (4 * d)) & 15]);
    }
    out += "  ";
    for (size_t i = 0; i < kHexBytesPerLine; ++i) {
        if (i < count) {
            PutByte(out, data[offset + i]);
        } else {
            out += "  ";
        }
        out += i == 7 ? "  " : " ";
    }
    out.push_back(' ');
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = data[offset + i];
        out.push_back(b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.');
    }
    return out;
}

FindPattern ParseFindPattern(const std::string& query) {
    FindPattern pattern;
    if (!ParseHexPairs(query, pattern.bytes)) {
        pattern.bytes.assign(query.begin(), query.end());
        pattern.ignoreCase = true;
    }
    return pattern;
}

std::optional<uint64_t> FindBytes(const uint8_t* data, size_t size, const FindPattern& pattern,
                                  uint64_t from) {
    if (data == nullptr || pattern.bytes.empty() || pattern.bytes.size() > size) {
        return std::nullopt;
    }
    const uint8_t* start = data + std::min<uint64_t>(from, size);
    if (auto found = Search(start, data + size, data, pattern)) {
        return found;
    }
    // Wrap round: the part before `from`, plus what a match straddling it needs.
    const size_t tail = std::min<size_t>(size, (start - data) + pattern.bytes.size() - 1);
    return Search(data, data + tail, data, pattern);
}
