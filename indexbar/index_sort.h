#pragma once
// Orderings of the index rows. Each comparator takes the entry indices of two rows and
// the catalogue, and returns < 0 when entry a goes first, 0 when their keys are equal,
// > 0 when entry b goes first. All of them are consistent orderings, so any sort
// algorithm may use them.
#include <cstdint>

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
