// SPDX-License-Identifier: MIT
#include "indexbar/index_sort.h"

#include "archive/entry_source.h"
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

uint64_t FoldedPrefix(const char* text, bool reverse) {
    uint64_t key = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    for (int i = 0; i < 8; ++i) {
        key <<= 8;
        if (*p != 0) {
            key |= FoldCase(*p++);
        }
    }
    return reverse ? ~key : key;
}

namespace {

// One definition of each ordering for every table of keys the index sorts by.
template <class Table>
int ByIndex(uint16_t a, uint16_t b, const Table&) {
    return static_cast<int>(a) - static_cast<int>(b);
}

template <class Table>
int ByName(uint16_t a, uint16_t b, const Table& table) {
    return CompareNoCase(table.GetEntryName(a), table.GetEntryName(b));
}

template <class Table>
int ByType(uint16_t a, uint16_t b, const Table& table) {
    return CompareNoCase(table.GetEntryExtension(a), table.GetEntryExtension(b));
}

// The difference wraps for sizes 2 GiB or more apart; SortPermutation copes with that.
template <class Table>
int BySize(uint16_t a, uint16_t b, const Table& table) {
    return static_cast<int32_t>(table.GetEntrySize(a) - table.GetEntrySize(b));
}

template <class Table, int (*Order)(uint16_t, uint16_t, const Table&)>
int Reversed(uint16_t a, uint16_t b, const Table& table) {
    return Order(b, a, table);
}

template <class Table>
using TableComparator = int (*)(uint16_t a, uint16_t b, const Table& table);

template <class Table>
TableComparator<Table> TableComparatorFor(int mode, bool reverse) {
    static const TableComparator<Table> table[4][2] = {
        {ByIndex<Table>, Reversed<Table, ByIndex<Table>>},
        {ByName<Table>, Reversed<Table, ByName<Table>>},
        {ByType<Table>, Reversed<Table, ByType<Table>>},
        {BySize<Table>, Reversed<Table, BySize<Table>>},
    };
    if (static_cast<unsigned>(mode) > SORTMODE_SIZE) {
        return nullptr;
    }
    return table[mode][reverse ? 1 : 0];
}

template <class Table>
std::vector<uint64_t> PrefixesOf(const Table& table, size_t count, int mode, bool reverse) {
    std::vector<uint64_t> prefixes;
    if (mode != SORTMODE_NAME && mode != SORTMODE_TYPE) {
        return prefixes;
    }
    prefixes.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const auto at = static_cast<uint16_t>(i);
        prefixes.push_back(FoldedPrefix(
            mode == SORTMODE_NAME ? table.GetEntryName(at) : table.GetEntryExtension(at), reverse));
    }
    return prefixes;
}

}  // namespace

std::vector<uint64_t> SortPrefixes(const CLgpArchive& archive, int mode, bool reverse) {
    return PrefixesOf(archive, archive.GetEntryCount(), mode, reverse);
}

std::vector<uint64_t> SortPrefixes(const SortKeys& keys, size_t count, int mode, bool reverse) {
    return PrefixesOf(keys, count, mode, reverse);
}

int CompareByIndex(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return ByIndex(a, b, archive);
}

int CompareByIndexDesc(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return ByIndex(b, a, archive);
}

int CompareByName(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return ByName(a, b, archive);
}

int CompareByNameDesc(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return ByName(b, a, archive);
}

int CompareByType(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return ByType(a, b, archive);
}

int CompareByTypeDesc(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return ByType(b, a, archive);
}

int CompareBySize(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return BySize(a, b, archive);
}

int CompareBySizeDesc(uint16_t a, uint16_t b, const CLgpArchive& archive) {
    return BySize(b, a, archive);
}

SortKeys::SortKeys(const IEntrySource& source) {
    const size_t count = source.Count();
    m_names.reserve(count);
    m_extensions.reserve(count);
    m_sizes.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const EntryId id = source.IdAt(i);
        m_names.push_back(source.Name(id));
        m_extensions.push_back(source.Extension(id));
        m_sizes.push_back(source.Size(id));
    }
}

const char* SortKeys::GetEntryName(uint16_t position) const {
    return position < m_names.size() ? m_names[position].c_str() : "";
}

const char* SortKeys::GetEntryExtension(uint16_t position) const {
    return position < m_extensions.size() ? m_extensions[position].c_str() : "";
}

uint32_t SortKeys::GetEntrySize(uint16_t position) const {
    return position < m_sizes.size() ? m_sizes[position] : 0;
}

KeyComparator KeyComparatorFor(int mode, bool reverse) {
    return TableComparatorFor<SortKeys>(mode, reverse);
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
