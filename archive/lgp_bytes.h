// SPDX-License-Identifier: MIT
#pragma once
// The bytes a catalogue reads: the archive file, opened by its path (the program's way),
// or a block held in memory that the catalogue shares with every reader it hands out.
// Every read is clamped to the bytes there are.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/host_file.h"

using LgpBlock = std::shared_ptr<const std::vector<uint8_t>>;

class LgpBytes {
public:
    explicit LgpBytes(const std::string& path);
    explicit LgpBytes(LgpBlock block);

    bool IsOpen() const;
    uint64_t Length() const;
    uint64_t Available(uint64_t offset, uint64_t wanted) const {
        return offset >= Length() ? 0 : (wanted < Length() - offset ? wanted : Length() - offset);
    }
    uint64_t ReadAt(uint64_t offset, void* buffer, uint64_t count) const;

    // The file's identity when opened, and as it is now; a block has none.
    const FileIdentity& Identity() const;
    FileIdentity Current() const;
    const LgpBlock& Block() const { return m_block; }

private:
    std::optional<ReadOnlyFile> m_file;
    LgpBlock m_block;
};
