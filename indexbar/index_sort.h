#pragma once
// Orderings of the index rows. Each comparator takes the entry indices of two rows and
// the catalogue, and returns < 0 when entry a goes first, 0 when their keys are equal,
// > 0 when entry b goes first.
//
// The size comparators return the 32-bit signed difference of the two sizes, so two
// sizes 2 GiB or more apart compare the wrong way round and the ordering is then not
// consistent. Sort with SortPermutation, which stays inside its range whatever a
// comparator answers; never hand these to std::sort.
#include <cstdint>
#include <functional>
#include <vector>

class CLgpArchive;

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

// The comparator for a sort mode and direction, or null for a mode outside 0..3.
IndexComparator ComparatorFor(int mode, bool reverse);

// Re-orders `order` so that an element goes before another when `before(x, y)` holds.
// A bottom-up merge sort: stable, O(n log n) calls whatever `before` answers, and it
// reads and writes only inside `order` and a buffer of the same size, also when
// `before` is not a strict weak ordering.
void SortPermutation(std::vector<int>& order, const std::function<bool(int, int)>& before);
