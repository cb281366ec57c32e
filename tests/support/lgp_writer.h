// SPDX-License-Identifier: MIT
#pragma once
// Writes LGP archives for tests the way real ones look:
//
//   0   2 zero bytes, then "SQUARESOFT"
//   12  entry count, 32-bit
//   16  table of contents, 27 bytes per entry: name (20, NUL-padded), data offset (4),
//       check byte (1), conflict index (2)
//       lookup table, 30 x 30 records of (first entry, entry count), 16 bits each, by
//       the game's hash of the first two characters
//       conflict table: a 16-bit count of 0
//       data blocks: name (20), size (4), the stored bytes
//       the terminator "FINAL FANTASY7"
//
// Knobs make hostile variants: another signature, upper count bytes set, a count that
// lies, offsets and size fields that point anywhere, names that fill all 20 bytes.
// Truncate the result with Truncated().
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace lumo::test {

using Bytes = std::vector<uint8_t>;

class LgpWriter {
public:
    // Names longer than 20 bytes are cut to 20; a 20-byte name has no terminator.
    LgpWriter& Add(const std::string& name, const Bytes& data);
    LgpWriter& AddText(const std::string& name, const std::string& text);

    // Hostile variants.
    LgpWriter& SetSignature(const std::string& tenBytes);
    LgpWriter& SetCountUpperBytes(uint16_t upper);
    LgpWriter& SetCountField(uint16_t count);  // the count written, whatever was added
    LgpWriter& SetOffset(size_t entry, uint32_t offset);
    LgpWriter& SetSizeField(size_t entry, uint32_t size);
    LgpWriter& SetRawName(size_t entry, const Bytes& twentyBytes);  // any bytes, see RawName
    // Leave out the lookup table, conflict table and terminator.
    LgpWriter& SetBareLayout(bool bare);

    size_t EntryCount() const { return m_entries.size(); }
    // Where the data block (its 24-byte header) of an entry lands in Build()'s output.
    uint32_t DataOffset(size_t entry) const;
    // Offset just past the table of contents.
    static uint32_t TocEnd(size_t entries) { return 16 + 27 * static_cast<uint32_t>(entries); }

    Bytes Build() const;

private:
    struct Entry {
        std::string name;
        Bytes rawName;  // 20 bytes
        Bytes data;
        std::optional<uint32_t> offset;
        std::optional<uint32_t> sizeField;
    };
    uint32_t DataStart() const;

    std::vector<Entry> m_entries;
    std::string m_signature = "SQUARESOFT";
    uint16_t m_countUpper = 0;
    std::optional<uint16_t> m_countField;
    bool m_bare = false;
};

// A name field holding `text` (at most 20 bytes, taken as they are), padded with zeros.
Bytes RawName(const std::string& text);

// An archive of the most entries a count can name (65,535), each holding `payload`, with
// pseudo-random "x1234567.tex" names in no particular order, so that sorting has work.
Bytes FullArchiveInNoOrder(uint32_t seed, const std::string& payload);

// The first `length` bytes (all of them when the data is shorter).
Bytes Truncated(const Bytes& data, size_t length);

// A fresh directory removed with its contents when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_path; }
    // Full path of `name` inside the directory.
    std::string File(const std::string& name) const;
    // Writes `data` to `name` inside the directory and returns the full path.
    std::string Write(const std::string& name, const Bytes& data) const;

private:
    std::string m_path;
};

// Writes bytes to a file; throws on failure.
void WriteFile(const std::string& path, const Bytes& data);
Bytes ReadFile(const std::string& path);

}  // namespace lumo::test
