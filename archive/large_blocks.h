// SPDX-License-Identifier: MIT
#pragma once
// Memory for large entries. Filling a fresh block of tens of megabytes faults it in a
// 4 KiB page at a time, which costs as much as reading the bytes; where the host allows
// it, large blocks get large pages, 512 times fewer faults.
#include <cstddef>
#include <cstdint>
#include <vector>

// A block for an entry's bytes, taken with malloc (released with free), never null for
// a size of 0; null when there is no memory.
unsigned char* AllocateEntryBlock(uint64_t size);

// Sizes `bytes` to `size` for a read to fill, asking for large pages first when the
// block is large. What was in it is not kept.
void SizeForFill(std::vector<uint8_t>& bytes, size_t size);
