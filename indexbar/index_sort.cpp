// SPDX-License-Identifier: MIT
#include "indexbar/index_sort.h"

#include "archive/lgp_archive.h"

static unsigned char FoldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

int CompareNoCase(const char* a, const char* b) {
    const auto* p = reinterpret_cast<const unsigned char*>(a);
    const auto* q = reinterpret_cast<const unsigned char*>(b);
    while (*p != 0 && FoldCase(*p) == FoldCase(*q)) {
        ++p;
        ++q;
    }
    return static_cast<int>(FoldCase(*p)) - static_cast<int>(FoldCase(*q));
}

int CompareByIndex(uint16_t a, uint16_t b, const CLgpArchive&) {
    return static_cast<int>(a) - static_cast<int>(b);
}

int CompareByIndexDesc(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return CompareByIndex(b, a, archive);
}

int CompareByName(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return CompareNoCase(archive.GetEntryName(a), archive.GetEntryName(b));
}

int CompareByNameDesc(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return CompareByName(b, a, archive);
}

int CompareByType(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return CompareNoCase(archive.GetEntryExtension(a), archive.GetEntryExtension(b));
}

int CompareByTypeDesc(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return CompareByType(b, a, archive);
}

// The difference wraps for sizes 2 GiB or more apart; SortPermutation copes with that.
int CompareBySize(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return static_cast<int32_t>(archive.GetEntrySize(a) - archive.GetEntrySize(b));
}

int CompareBySizeDesc(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return static_cast<int32_t>(archive.GetEntrySize(b) - archive.GetEntrySize(a));
}

IndexComparator ComparatorFor(int mode, bool reverse) {
    static const IndexComparator table[4][2] = {
        {CompareByIndex, CompareByIndexDesc},
        {CompareByName, CompareByNameDesc},
        {CompareByType, CompareByTypeDesc},
        {CompareBySize, CompareBySizeDesc},
    };
    if (static_cast<unsigned>(mode) > SORTMODE_SIZE) {
        return nullptr;
    }
    return table[mode][reverse ? 1 : 0];
}
