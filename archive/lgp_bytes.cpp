// SPDX-License-Identifier: MIT
#include "archive/lgp_bytes.h"

#include <cstring>
#include <utility>

LgpBytes::LgpBytes(const std::string& path) : m_file(std::in_place, path) {}

LgpBytes::LgpBytes(LgpBlock block) : m_block(std::move(block)) {}

bool LgpBytes::IsOpen() const {
    return m_file ? m_file->IsOpen() : m_block != nullptr;
}

uint64_t LgpBytes::Length() const {
    if (m_file) {
        return m_file->Length();
    }
    return m_block ? m_block->size() : 0;
}

uint64_t LgpBytes::ReadAt(uint64_t offset, void* buffer, uint64_t count) const {
    if (m_file) {
        return m_file->ReadAt(offset, buffer, count);
    }
    const uint64_t n = Available(offset, count);
    if (n > 0) {
        std::memcpy(buffer, m_block->data() + offset, n);
    }
    return n;
}

const FileIdentity& LgpBytes::Identity() const {
    static const FileIdentity kNone;
    return m_file ? m_file->Identity() : kNone;
}

FileIdentity LgpBytes::Current() const {
    return m_file ? m_file->Current() : FileIdentity{};
}
