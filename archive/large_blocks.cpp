// SPDX-License-Identifier: MIT
#include "archive/large_blocks.h"

#include <algorithm>
#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

constexpr uint64_t kLargePage = uint64_t{2} << 20;
constexpr uintptr_t kPage = 4096;

// A hint: refused, the fill is just slower.
void AdviseLargePages(void* data, uint64_t size) {
#ifdef __linux__
    const uintptr_t start = (reinterpret_cast<uintptr_t>(data) + kPage - 1) & ~(kPage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(kPage - 1);
    if (end > start) {
        madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }
#else
    (void)data;
    (void)size;
#endif
}

}  // namespace

unsigned char* AllocateEntryBlock(uint64_t size) {
#ifdef __linux__
    // Aligned to a large page so that all of it can have them; where the host has no such
    // hint, any block does (and free could not release an aligned one on every host).
    if (size >= 2 * kLargePage) {
        const uint64_t rounded = (size + kLargePage - 1) / kLargePage * kLargePage;
        if (void* block = std::aligned_alloc(kLargePage, rounded)) {
            AdviseLargePages(block, rounded);
            return static_cast<unsigned char*>(block);
        }
    }
#endif
    return static_cast<unsigned char*>(std::malloc(std::max<uint64_t>(size, 1)));
}

void SizeForFill(std::vector<uint8_t>& bytes, size_t size) {
    if (size >= 2 * kLargePage && bytes.capacity() < size) {
        // Reserving maps the block without touching it; the hint must come before the
        // resize's zero fill faults it in.
        std::vector<uint8_t>().swap(bytes);
        bytes.reserve(size);
        AdviseLargePages(bytes.data(), size);
    }
    bytes.resize(size);
}
