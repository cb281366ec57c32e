#include "indexbar/index_sort.h"

#include "archive/lgp_archive.h"

#include <algorithm>

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

// Merges the sorted runs [lo, mid) and [mid, hi) of `from` into `to`. Every index stays
// inside its run, so an inconsistent `before` can only give an odd order.
static void MergeRuns(const std::vector<int>& from, std::vector<int>& to, size_t lo, size_t mid,
                      size_t hi, const std::function<bool(int, int)>& before) {
    size_t left = lo;
    size_t right = mid;
    for (size_t out = lo; out < hi; ++out) {
        // Take from the right only when it strictly goes first: equal keys keep their order.
        if (left < mid && (right >= hi || !before(from[right], from[left]))) {
            to[out] = from[left++];
        } else {
            to[out] = from[right++];
        }
    }
}

void SortPermutation(std::vector<int>& order, const std::function<bool(int, int)>& before) {
    const size_t n = order.size();
    if (n < 2) {
        return;
    }
    std::vector<int> buffer(n);
    std::vector<int>* from = &order;
    std::vector<int>* to = &buffer;
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(lo + width, n);
            const size_t hi = std::min(lo + 2 * width, n);
            MergeRuns(*from, *to, lo, mid, hi, before);
        }
        std::swap(from, to);
    }
    if (from != &order) {
        order.swap(buffer);
    }
}
