// SPDX-License-Identifier: MIT
#pragma once
// A folder on a file system of its own, made for one run and gone after it: a small ext4
// image, loop-mounted. Benchmarks that create many files run each side on one, so that
// neither pays for the other's deletes (ext4 steps around recently freed inodes for
// minutes). Mounting needs root and mkfs.ext4; without them the folder is a plain one
// on the disk and Mounted() says so.
#include <cstdlib>
#include <filesystem>
#include <string>

namespace lumo::bench {

inline int Run(const std::string& command) {
    return std::system(command.c_str());
}

class FreshVolume {
public:
    explicit FreshVolume(const std::filesystem::path& folder)
        : m_folder(folder), m_image(folder.string() + ".img") {
        std::filesystem::create_directories(m_folder);
        const std::string image = "'" + m_image.string() + "'";
        m_mounted = Run("truncate -s 1G " + image + " && mkfs.ext4 -q -F -N 140000 " + image +
                        " 2>/dev/null && mount -o loop " + image + " '" + m_folder.string() +
                        "' 2>/dev/null") == 0;
        Run("sync");
    }
    ~FreshVolume() {
        if (m_mounted) {
            Run("umount '" + m_folder.string() + "'");
        }
        std::filesystem::remove_all(m_folder);
        std::filesystem::remove(m_image);
    }
    FreshVolume(const FreshVolume&) = delete;
    FreshVolume& operator=(const FreshVolume&) = delete;

    const std::filesystem::path& Folder() const { return m_folder; }
    bool Mounted() const { return m_mounted; }

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_image;
    bool m_mounted = false;
};

}  // namespace lumo::bench
