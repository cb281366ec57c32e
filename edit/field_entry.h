// SPDX-License-Identifier: MIT
#pragma once
// Files going into a field archive: the game reads every entry of `flevel.lgp` as an
// LZSS entry (a length, then the stream), so what is added there is compressed unless it
// already is such an entry or the user wants the bytes stored as they are.
#include <string>

#include "archive/lgp_writer.h"

// Whether the archive at `path` is the field archive (its file name, case ignored).
bool IsFieldArchive(const std::string& path);

// Whether the file already holds a whole field entry; false when it cannot be read.
bool IsFieldEntryFile(const std::string& path);

// The bytes of the file at `path` as an entry will hold them: as they are, or with
// `compress` encoded as a field entry unless they already are one. On failure `error`
// says why (the file named) and the source is not to be used.
EntrySource FileEntrySource(const std::string& path, bool compress, std::string* error);

// Whether an entry named `entryName` in the archive at `archivePath` is one the game reads
// as a field (the field archive, no known extension): only such entries are compressed.
bool IsFieldEntryName(const std::string& archivePath, const std::string& entryName);

// How files added to the field archive go in: compressed unless already a whole field
// entry, stored as they are, or compressed even when they already are one.
enum class FieldPacking { Compress, Stored, ForceCompress };

// The source of the file at `path` added as `entryName` to the archive at `archivePath`,
// by the one rule both front ends follow: names that are not fields go in as they are.
EntrySource AddedFileSource(const std::string& archivePath, const std::string& entryName,
                            const std::string& path, FieldPacking packing, std::string* error);
