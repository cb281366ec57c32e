// SPDX-License-Identifier: MIT
#include "tests/support/lgp_writer.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace lumo::test {

namespace {

constexpr size_t kNameSize = 20;
constexpr int kLookupSide = 30;
constexpr uint32_t kLookupSize = kLookupSide * kLookupSide * 4;
constexpr uint32_t kConflictTableSize = 2;
constexpr char kTerminator[] = "FINAL FANTASY7";
constexpr uint8_t kCheckByte = 0x0E;

void Put16(Bytes& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(Bytes& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v));
    Put16(out, static_cast<uint16_t>(v >> 16));
}

// The value the game's hash gives a name character: a-z (either case) 0-25, digits the
// values of a-j, '_' 10, '-' 11; -1 for any other.
int CharacterValue(char c) {
    if (c >= 'A' && c <= 'Z') {
        c = static_cast<char>(c - 'A' + 'a');
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a';
    }
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return c == '_' ? 10 : (c == '-' ? 11 : -1);
}

// For every slot, the first entry (1-based) whose name hashes to it and how many do; a
// list whose entries of one slot are not together gives a table the game misreads, as
// such archives really do. Names with no slot are left out.
Bytes LookupTable(const std::vector<std::string>& names) {
    std::vector<uint16_t> first(kLookupSide * kLookupSide, 0);
    std::vector<uint16_t> count(kLookupSide * kLookupSide, 0);
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        if (name.size() < 2 || CharacterValue(name[0]) < 0 ||
            (name[1] != '.' && CharacterValue(name[1]) < 0)) {
            continue;
        }
        const int key = CharacterValue(name[0]) * kLookupSide +
                        (name[1] == '.' ? 0 : CharacterValue(name[1]) + 1);
        if (count[key] == 0) {
            first[key] = static_cast<uint16_t>(i + 1);
        }
        ++count[key];
    }
    Bytes table;
    for (int key = 0; key < kLookupSide * kLookupSide; ++key) {
        Put16(table, first[key]);
        Put16(table, count[key]);
    }
    return table;
}

}  // namespace

LgpWriter& LgpWriter::Add(const std::string& name, const Bytes& data) {
    Entry entry;
    entry.name = name.substr(0, kNameSize);
    entry.rawName.assign(kNameSize, 0);
    std::copy(entry.name.begin(), entry.name.end(), entry.rawName.begin());
    entry.data = data;
    m_entries.push_back(std::move(entry));
    return *this;
}

LgpWriter& LgpWriter::AddText(const std::string& name, const std::string& text) {
    return Add(name, Bytes(text.begin(), text.end()));
}

LgpWriter& LgpWriter::SetSignature(const std::string& tenBytes) {
    m_signature = tenBytes;
    m_signature.resize(10, '\0');
    return *this;
}

LgpWriter& LgpWriter::SetCountUpperBytes(uint16_t upper) {
    m_countUpper = upper;
    return *this;
}

LgpWriter& LgpWriter::SetCountField(uint16_t count) {
    m_countField = count;
    return *this;
}

LgpWriter& LgpWriter::SetOffset(size_t entry, uint32_t offset) {
    m_entries.at(entry).offset = offset;
    return *this;
}

LgpWriter& LgpWriter::SetSizeField(size_t entry, uint32_t size) {
    m_entries.at(entry).sizeField = size;
    return *this;
}

LgpWriter& LgpWriter::SetRawName(size_t entry, const Bytes& twentyBytes) {
    Bytes raw = twentyBytes;
    raw.resize(kNameSize, 0);
    m_entries.at(entry).rawName = raw;
    return *this;
}

LgpWriter& LgpWriter::SetBareLayout(bool bare) {
    m_bare = bare;
    return *this;
}

uint32_t LgpWriter::DataStart() const {
    uint32_t start = TocEnd(m_entries.size());
    return m_bare ? start : start + kLookupSize + kConflictTableSize;
}

uint32_t LgpWriter::DataOffset(size_t entry) const {
    uint32_t offset = DataStart();
    for (size_t i = 0; i < entry; ++i) {
        offset += static_cast<uint32_t>(24 + m_entries[i].data.size());
    }
    return offset;
}

Bytes LgpWriter::Build() const {
    Bytes out;
    out.reserve(DataOffset(m_entries.size()) + sizeof kTerminator);
    Put16(out, 0);
    out.insert(out.end(), m_signature.begin(), m_signature.end());
    Put16(out, m_countField.value_or(static_cast<uint16_t>(m_entries.size())));
    Put16(out, m_countUpper);

    uint32_t offset = DataStart();
    for (const Entry& entry : m_entries) {
        out.insert(out.end(), entry.rawName.begin(), entry.rawName.end());
        Put32(out, entry.offset.value_or(offset));
        out.push_back(kCheckByte);
        Put16(out, 0);  // no conflict
        offset += static_cast<uint32_t>(24 + entry.data.size());
    }
    if (!m_bare) {
        std::vector<std::string> names;
        for (const Entry& entry : m_entries) {
            names.push_back(entry.name);
        }
        Bytes lookup = LookupTable(names);
        out.insert(out.end(), lookup.begin(), lookup.end());
        Put16(out, 0);  // empty conflict table
    }
    for (const Entry& entry : m_entries) {
        out.insert(out.end(), entry.rawName.begin(), entry.rawName.end());
        Put32(out, entry.sizeField.value_or(static_cast<uint32_t>(entry.data.size())));
        out.insert(out.end(), entry.data.begin(), entry.data.end());
    }
    if (!m_bare) {
        out.insert(out.end(), kTerminator, kTerminator + sizeof kTerminator - 1);
    }
    return out;
}

Bytes RawName(const std::string& text) {
    Bytes name(20, 0);
    std::copy_n(text.begin(), std::min<size_t>(text.size(), name.size()), name.begin());
    return name;
}

Bytes FullArchiveInNoOrder(uint32_t seed, const std::string& payload) {
    LgpWriter writer;
    for (int i = 0; i < 65535; ++i) {
        seed = seed * 1103515245u + 12345u;
        char name[21];
        std::snprintf(name, sizeof name, "%c%07x.tex", 'a' + static_cast<int>(seed >> 27),
                      (seed >> 4) & 0xFFFFFFF);
        writer.AddText(name, payload);
    }
    return writer.Build();
}

Bytes Truncated(const Bytes& data, size_t length) {
    return Bytes(data.begin(), data.begin() + static_cast<long>(std::min(length, data.size())));
}

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device random;
    auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate =
            base / ("lumo-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate.string();
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary directory");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::File(const std::string& name) const {
    return m_path + "/" + name;
}

std::string TempDir::Write(const std::string& name, const Bytes& data) const {
    std::string path = File(name);
    WriteFile(path, data);
    return path;
}

void WriteFile(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace lumo::test
