// SPDX-License-Identifier: MIT
#pragma once
// The new archive while it is written: a file aside in the target's folder, unnamed
// where the host allows it (a killed process then leaves nothing), given the target's
// name only once it is whole, durable and checked.
#include <cstdint>
#include <string>

#include "archive/lgp_writer.h"

class AsideFile : public LgpSink {
public:
    AsideFile() = default;
    ~AsideFile() override;  // an aside file never placed is removed
    AsideFile(const AsideFile&) = delete;
    AsideFile& operator=(const AsideFile&) = delete;

    // Creates the file next to `target`; false with Error() set.
    bool Create(const std::string& target);
    bool Write(const uint8_t* data, size_t size) override;
    // Copies between the files inside the host where it can.
    bool Copy(const ArchiveFile& file, uint64_t offset, uint64_t length) override;
    // Flushes to disk and gives the file these permission bits.
    bool MakeDurable(uint32_t permissions);
    // A path the written file can be read back through.
    std::string ReadPath() const;
    // Puts the file in place of the target in one step, then makes the rename durable.
    bool Place();

private:
    std::string m_target;
    std::string m_folder;
    std::string m_named;  // the hidden name, once the file has one
    int m_fd = -1;
    int m_folderFd = -1;
    bool m_placed = false;
};
