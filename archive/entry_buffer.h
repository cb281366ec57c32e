// SPDX-License-Identifier: MIT
#pragma once
// Owns a block handed out by the catalogue's reads (taken with malloc) and frees it on
// every way out of the caller.
#include <cstdlib>

class EntryBuffer {
public:
    EntryBuffer() = default;
    ~EntryBuffer() { std::free(m_data); }
    EntryBuffer(const EntryBuffer&) = delete;
    EntryBuffer& operator=(const EntryBuffer&) = delete;

    // The address to pass to ReadEntry / ReadEntryDecompressed (allocate mode).
    unsigned char** Address() { return &m_data; }
    const unsigned char* Data() const { return m_data; }
    // The catalogue hands out a block even for an empty entry; none means the read
    // failed (the archive could not be reopened).
    bool Valid() const { return m_data != nullptr; }
    // Hands the block over (to be released with free); the buffer is empty afterwards.
    unsigned char* Release() {
        unsigned char* data = m_data;
        m_data = nullptr;
        return data;
    }

private:
    unsigned char* m_data = nullptr;
};
