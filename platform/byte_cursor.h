// SPDX-License-Identifier: MIT
#pragma once
// Reading and writing integers of file formats, bounded: every parser of untrusted bytes
// reads through a ByteCursor, which never reads outside its span. A read past the end
// yields 0 and leaves the cursor failed for good, so a parser can read a whole record
// and ask Ok() once instead of checking every field.
#include <cstddef>
#include <cstdint>
#include <cstring>

inline uint16_t LoadLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t LoadLe32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}
inline uint16_t LoadBe16(const uint8_t* p) {
    return static_cast<uint16_t>((p[0] << 8) | p[1]);
}
inline uint32_t LoadBe32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | uint32_t{p[3]};
}
inline void StoreLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

class ByteCursor {
public:
    ByteCursor(const uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}

    size_t Size() const { return m_size; }
    size_t Position() const { return m_pos; }
    size_t Remaining() const { return m_size - m_pos; }
    bool Has(size_t count) const { return m_ok && count <= Remaining(); }
    // False once any read, skip or seek went past the end.
    bool Ok() const { return m_ok; }

    bool Seek(size_t position) {
        if (!m_ok || position > m_size) {
            return Fail();
        }
        m_pos = position;
        return true;
    }
    bool Skip(size_t count) { return Take(count) != nullptr || count == 0; }
    // The next `count` bytes in place, or null (and failed) when fewer remain.
    const uint8_t* Take(size_t count) {
        if (!Has(count)) {
            Fail();
            return nullptr;
        }
        const uint8_t* at = m_data + m_pos;
        m_pos += count;
        return at;
    }
    bool CopyTo(void* out, size_t count) {
        const uint8_t* at = Take(count);
        if (at != nullptr && count != 0) {
            std::memcpy(out, at, count);
        }
        return at != nullptr;
    }

    uint8_t U8() {
        const uint8_t* p = Take(1);
        return p ? p[0] : 0;
    }
    uint16_t U16() {
        const uint8_t* p = Take(2);
        return p ? LoadLe16(p) : 0;
    }
    uint32_t U32() {
        const uint8_t* p = Take(4);
        return p ? LoadLe32(p) : 0;
    }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    float F32() {
        uint32_t bits = U32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    uint16_t U16Be() {
        const uint8_t* p = Take(2);
        return p ? LoadBe16(p) : 0;
    }
    uint32_t U32Be() {
        const uint8_t* p = Take(4);
        return p ? LoadBe32(p) : 0;
    }

private:
    bool Fail() {
        m_ok = false;
        m_pos = m_size;
        return false;
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};
