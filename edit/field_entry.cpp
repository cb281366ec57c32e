// SPDX-License-Identifier: MIT
#include "edit/field_entry.h"

#include <cstdint>
#include <vector>

#include "archive/lgp_archive.h"
#include "archive/lzss_encoder.h"
#include "platform/ascii.h"
#include "platform/file_output.h"
#include "platform/host_file.h"

namespace {

// No entry of an archive can hold 4 GiB; a file that big is not read into memory at all.
constexpr uint64_t kLargestEntry = 0xFFFFFFFFu;

bool ReadWhole(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
    ReadOnlyFile file(path);
    if (!file.IsOpen()) {
        *error = path + ": cannot open file";
        return false;
    }
    if (file.Length() > kLargestEntry) {
        *error = path + ": too large for an archive entry";
        return false;
    }
    bytes->resize(static_cast<size_t>(file.Length()));
    if (file.ReadAt(0, bytes->data(), bytes->size()) != bytes->size()) {
        *error = path + ": cannot read file";
        return false;
    }
    return true;
}

}  // namespace

bool IsFieldArchive(const std::string& path) {
    return SameIgnoringCase(FileNamePart(path), "flevel.lgp");
}

bool IsFieldEntryFile(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    return ReadWhole(path, &bytes, &error) && IsLzssEntry(bytes.data(), bytes.size());
}

namespace {

EntrySource Encoded(const std::string& path, bool keepWhole, std::string* error) {
    error->clear();
    EntrySource source = HostFileSource(path, error);
    if (!error->empty()) {
        return source;
    }
    std::vector<uint8_t> bytes;
    if (!ReadWhole(path, &bytes, error)) {
        return source;
    }
    if (keepWhole && IsLzssEntry(bytes.data(), bytes.size())) {
        return source;
    }
    return MemorySource(LzssEncodeEntry(bytes.data(), bytes.size()));
}

}  // namespace

EntrySource FileEntrySource(const std::string& path, bool compress, std::string* error) {
    if (compress) {
        return Encoded(path, true, error);
    }
    error->clear();
    return HostFileSource(path, error);
}

bool IsFieldEntryName(const std::string& archivePath, const std::string& entryName) {
    return IsFieldArchive(archivePath) &&
           EntryTypeForName(entryName, "flevel.lgp") == LGP_TYPE_FIELD;
}

EntrySource AddedFileSource(const std::string& archivePath, const std::string& entryName,
                            const std::string& path, FieldPacking packing, std::string* error) {
    if (packing == FieldPacking::ForceCompress && IsFieldEntryName(archivePath, entryName)) {
        return Encoded(path, false, error);
    }
    const bool compress =
        packing == FieldPacking::Compress && IsFieldEntryName(archivePath, entryName);
    return FileEntrySource(path, compress, error);
}
