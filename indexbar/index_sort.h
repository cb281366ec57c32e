// SPDX-License-Identifier: MIT
#pragma once
// Orderings of the index rows. Each comparator takes the entry indices of two rows and
// the catalogue, and returns < 0 when entry a goes first, 0 when their keys are equal,
// > 0 when entry b goes first.
//
// The size comparators return the 32-bit signed difference of the two sizes, so two
// sizes 2 GiB or more apart compare the wrong way round and the ordering is then not
// consistent. Sort with SortPermutation, which stays inside its range whatever a
// comparator answers; never hand these to std::sort.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CLgpArchive;
class IEntrySource;

enum SortMode : int {
    SORTMODE_ORIGINAL = 0,  // archive order
    SORTMODE_NAME = 1,      // name, ignoring letter case
    SORTMODE_TYPE = 2,      // extension text, ignoring letter case
    SORTMODE_SIZE = 3,      // size in bytes
};

using IndexComparator = int (*)(uint16_t a, uint16_t b, const CLgpArchive& archive);

// Byte by byte as unsigned values, with only 'A'..'Z' folded to lower case, whatever
// the locale: '_' and the other characters between 'Z' and 'a' order before letters.
int CompareNoCase(const char* a, const char* b);

int CompareByIndex(uint16_t a, uint16_t b, const CLgpArchive& archive);
int CompareByIndexDesc(uint16_t a, uint16_t b, const CLgpArchive& archive);
int CompareByName(uint16_t a, uint16_t b, const CLgpArchive& archive);
int CompareByNameDesc(uint16_t a, uint16_t b, const CLgpArchive& archive);
int CompareByType(uint16_t a, uint16_t b, const CLgpArchive& archive);
int CompareByTypeDesc(uint16_t a, uint16_t b, const CLgpArchive& archive);
int CompareBySize(uint16_t a, uint16_t b, const CLgpArchive& archive);
int CompareBySizeDesc(uint16_t a, uint16_t b, const CLgpArchive& archive);

// The first eight bytes of a text as CompareNoCase orders them, packed so that two
// texts whose keys differ order as their keys do; texts with equal keys need the full
// comparison. Reversed, the key is inverted.
uint64_t FoldedPrefix(const char* text, bool reverse);

// The comparator for a sort mode and direction, or null for a mode outside 0..3.
IndexComparator ComparatorFor(int mode, bool reverse);

// The same keys taken from an entry source once per sort, by position, for a source
// with no catalogue behind it (an archive with changes waiting). The orderings are the
// catalogue's, with the same caveat about sizes.
class SortKeys {
public:
    explicit SortKeys(const IEntrySource& source);
    // "" and 0 past the end.
    const char* GetEntryName(uint16_t position) const;
    const char* GetEntryExtension(uint16_t position) const;
    uint32_t GetEntrySize(uint16_t position) const;

private:
    std::vector<std::string> m_names;
    std::vector<std::string> m_extensions;
    std::vector<uint32_t> m_sizes;
};

using KeyComparator = int (*)(uint16_t a, uint16_t b, const SortKeys& keys);

// FoldedPrefix of each entry's sort key, by entry, for a name or type sort; empty for the
// other orders, where they would not help.
std::vector<uint64_t> SortPrefixes(const CLgpArchive& archive, int mode, bool reverse);
std::vector<uint64_t> SortPrefixes(const SortKeys& keys, size_t count, int mode, bool reverse);
KeyComparator KeyComparatorFor(int mode, bool reverse);

// Re-orders `items` so that an item goes before another when `before(x, y)` holds. A
// bottom-up merge sort: stable, O(n log n) calls whatever `before` answers, and it reads
// and writes only inside `items` and a buffer of the same size, also when `before` is
// not a strict weak ordering.
template <class T, class Before>
void SortPermutation(std::vector<T>& items, Before before) {
    const std::size_t n = items.size();
    if (n < 2) {
        return;
    }
    std::vector<T> buffer(n);
    std::vector<T>* from = &items;
    std::vector<T>* to = &buffer;
    for (std::size_t width = 1; width < n; width *= 2) {
        for (std::size_t lo = 0; lo < n; lo += 2 * width) {
            const std::size_t mid = lo + width < n ? lo + width : n;
            const std::size_t hi = lo + 2 * width < n ? lo + 2 * width : n;
            // Every index stays inside its run, so an inconsistent `before` can only give
            // an odd order. Equal keys keep their order: the right run's item goes first
            // only when it strictly does.
            std::size_t left = lo;
            std::size_t right = mid;
            for (std::size_t out = lo; out < hi; ++out) {
                if (left < mid && (right >= hi || !before((*from)[right], (*from)[left]))) {
                    (*to)[out] = (*from)[left++];
                } else {
                    (*to)[out] = (*from)[right++];
                }
            }
        }
        std::swap(from, to);
    }
    if (from != &items) {
        items.swap(buffer);
    }
}
