// SPDX-License-Identifier: MIT
#include "models/glb_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/byte_cursor.h"

namespace {

size_t Components(const char* type) {
    const std::string t = type;
    return t == "SCALAR" ? 1 : t == "VEC2" ? 2 : t == "VEC3" ? 3 : t == "VEC4" ? 4 : 16;
}

void Pad(std::vector<uint8_t>& bytes, uint8_t with) {
    while (bytes.size() % 4 != 0) {
        bytes.push_back(with);
    }
}

std::string Bounds(const std::vector<float>& values, size_t components) {
    std::vector<float> low(components, std::numeric_limits<float>::max());
    std::vector<float> high(components, std::numeric_limits<float>::lowest());
    for (size_t i = 0; i < values.size(); ++i) {
        low[i % components] = std::min(low[i % components], values[i]);
        high[i % components] = std::max(high[i % components], values[i]);
    }
    std::string min = ",\"min\":[", max = "],\"max\":[";
    for (size_t c = 0; c < components; ++c) {
        min += (c ? "," : "") + GlbNumber(low[c]);
        max += (c ? "," : "") + GlbNumber(high[c]);
    }
    return min + max + "]";
}

}  // namespace

std::string GlbString(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", c);
            out += code;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string GlbNumber(float value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return text;
}

size_t GlbBuilder::AddView(const uint8_t* data, size_t size, Target target) {
    Pad(m_binary, 0);
    const size_t offset = m_binary.size();
    m_binary.insert(m_binary.end(), data, data + size);
    std::string view = "{\"buffer\":0,\"byteOffset\":" + std::to_string(offset) +
                       ",\"byteLength\":" + std::to_string(size);
    if (target != kNoTarget) {
        view += ",\"target\":" + std::to_string(target);
    }
    return Add("bufferViews", view + "}");
}

size_t GlbBuilder::AddAccessor(size_t view, Component component, size_t count, const char* type,
                               bool normalized, const std::string& bounds) {
    return Add("accessors", "{\"bufferView\":" + std::to_string(view) +
                                ",\"componentType\":" + std::to_string(component) +
                                (normalized ? ",\"normalized\":true" : "") +
                                ",\"count\":" + std::to_string(count) + ",\"type\":\"" + type +
                                "\"" + bounds + "}");
}

size_t GlbBuilder::AddFloats(const std::vector<float>& values, const char* type, Target target,
                             bool bounds) {
    std::vector<uint8_t> bytes(values.size() * 4);
    for (size_t i = 0; i < values.size(); ++i) {
        uint32_t bits;
        std::memcpy(&bits, &values[i], 4);
        StoreLe32(&bytes[i * 4], bits);
    }
    const size_t components = Components(type);
    const size_t view = AddView(bytes.data(), bytes.size(), target);
    return AddAccessor(view, kFloat, values.size() / components, type, false,
                       bounds ? Bounds(values, components) : std::string());
}

size_t GlbBuilder::AddU16(const std::vector<uint16_t>& values, const char* type, Target target) {
    std::vector<uint8_t> bytes(values.size() * 2);
    for (size_t i = 0; i < values.size(); ++i) {
        StoreLe16(&bytes[i * 2], values[i]);
    }
    const size_t view = AddView(bytes.data(), bytes.size(), target);
    return AddAccessor(view, kUnsignedShort, values.size() / Components(type), type, false, {});
}

size_t GlbBuilder::AddU8(const std::vector<uint8_t>& values, const char* type, Target target,
                         bool normalized) {
    const size_t view = AddView(values.data(), values.size(), target);
    return AddAccessor(view, kUnsignedByte, values.size() / Components(type), type, normalized, {});
}

size_t GlbBuilder::Add(const std::string& key, const std::string& object) {
    std::vector<std::string>& array = m_arrays[key];
    array.push_back(object);
    return array.size() - 1;
}

size_t GlbBuilder::CountOf(const std::string& key) const {
    const auto it = m_arrays.find(key);
    return it == m_arrays.end() ? 0 : it->second.size();
}

void GlbBuilder::Set(const std::string& key, const std::string& value) {
    m_members[key] = value;
}

std::vector<uint8_t> GlbBuilder::Finish() const {
    std::vector<uint8_t> binary = m_binary;
    Pad(binary, 0);
    std::string json = "{\"asset\":{\"version\":\"2.0\",\"generator\":\"Lumo\"}";
    if (!binary.empty()) {
        json += ",\"buffers\":[{\"byteLength\":" + std::to_string(binary.size()) + "}]";
    }
    for (const auto& [key, objects] : m_arrays) {
        json += ",\"" + key + "\":[";
        for (size_t i = 0; i < objects.size(); ++i) {
            json += (i ? "," : "") + objects[i];
        }
        json += "]";
    }
    for (const auto& [key, value] : m_members) {
        json += ",\"" + key + "\":" + value;
    }
    json += "}";
    std::vector<uint8_t> chunk(json.begin(), json.end());
    Pad(chunk, ' ');
    const size_t total = 12 + 8 + chunk.size() + (binary.empty() ? 0 : 8 + binary.size());
    if (total > UINT32_MAX) {
        return {};  // a .glb states its length in 32 bits
    }
    std::vector<uint8_t> out(total);
    StoreLe32(&out[0], 0x46546C67);  // "glTF"
    StoreLe32(&out[4], 2);
    StoreLe32(&out[8], static_cast<uint32_t>(total));
    StoreLe32(&out[12], static_cast<uint32_t>(chunk.size()));
    StoreLe32(&out[16], 0x4E4F534A);  // "JSON"
    std::copy(chunk.begin(), chunk.end(), out.begin() + 20);
    if (!binary.empty()) {
        uint8_t* at = &out[20 + chunk.size()];
        StoreLe32(at, static_cast<uint32_t>(binary.size()));
        StoreLe32(at + 4, 0x004E4942);  // "BIN\0"
        std::copy(binary.begin(), binary.end(), at + 8);
    }
    return out;
}
