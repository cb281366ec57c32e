// SPDX-License-Identifier: MIT
#pragma once
// What a model needs of the archive it comes from: its entries' names, finding one by
// name ignoring case, and reading an entry's bytes. The scene and the animation index
// are written against this, so that any source of entries can serve them.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class ModelEntries {
public:
    virtual ~ModelEntries() = default;
    virtual size_t Count() const = 0;
    virtual std::string Name(size_t id) const = 0;
    // The first entry of that name, ignoring ASCII case.
    virtual std::optional<size_t> Find(std::string_view name) const = 0;
    // The entry's whole bytes; false with the reason when it cannot be read whole.
    virtual bool Read(size_t id, std::vector<uint8_t>& bytes, std::string* error) const = 0;
};

// Whether an entry name ends in `extension` (with its dot), ignoring case.
bool HasExtension(std::string_view name, std::string_view extension);

class CLgpArchive;
class LgpEntryReader;
class IEntrySource;
class IEntryReader;

// The entries of a loaded archive, read from one open of its file.
class ArchiveModelEntries : public ModelEntries {
public:
    explicit ArchiveModelEntries(const CLgpArchive& archive);
    ~ArchiveModelEntries() override;

    size_t Count() const override;
    std::string Name(size_t id) const override;
    std::optional<size_t> Find(std::string_view name) const override;
    bool Read(size_t id, std::vector<uint8_t>& bytes, std::string* error) const override;

private:
    const CLgpArchive& m_archive;
    std::unique_ptr<LgpEntryReader> m_reader;
    std::unordered_map<std::string, size_t> m_byName;  // lower-case name -> first entry
};

// The entries of an entry source, in its order, read through one reader of its own. The
// source must outlive this.
class SourceModelEntries : public ModelEntries {
public:
    explicit SourceModelEntries(const IEntrySource& source);
    ~SourceModelEntries() override;

    size_t Count() const override;
    std::string Name(size_t id) const override;
    std::optional<size_t> Find(std::string_view name) const override;
    bool Read(size_t id, std::vector<uint8_t>& bytes, std::string* error) const override;

private:
    const IEntrySource& m_source;
    std::unique_ptr<IEntryReader> m_reader;
};
