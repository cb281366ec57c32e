// SPDX-License-Identifier: MIT
#pragma once
// Puts a binary glTF 2.0 file (.glb) together: one binary buffer of typed arrays, the
// JSON document's arrays of objects, and the container around both.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

// JSON text for a string (bytes above 0x7F taken as Latin-1) and for a float.
std::string GlbString(std::string_view text);
std::string GlbNumber(float value);

class GlbBuilder {
public:
    enum Target { kNoTarget = 0, kArrayBuffer = 34962 };
    enum Component { kUnsignedByte = 5121, kUnsignedShort = 5123, kFloat = 5126 };

    // Appends bytes to the binary buffer (4-byte aligned) and returns the buffer view.
    size_t AddView(const uint8_t* data, size_t size, Target target);
    // Floats `components` at a time ("SCALAR", "VEC2", ...); min/max written when asked.
    size_t AddFloats(const std::vector<float>& values, const char* type, Target target,
                     bool bounds);
    size_t AddU16(const std::vector<uint16_t>& values, const char* type, Target target);
    size_t AddU8(const std::vector<uint8_t>& values, const char* type, Target target,
                 bool normalized);

    // Adds `object` (JSON text) to the top-level array `key` and returns its index.
    size_t Add(const std::string& key, const std::string& object);
    size_t CountOf(const std::string& key) const;
    // Top-level members written as they are, such as "scene":0.
    void Set(const std::string& key, const std::string& value);

    std::vector<uint8_t> Finish() const;

private:
    size_t AddAccessor(size_t view, Component component, size_t count, const char* type,
                       bool normalized, const std::string& bounds);

    std::vector<uint8_t> m_binary;
    std::map<std::string, std::vector<std::string>> m_arrays;
    std::map<std::string, std::string> m_members;
};
