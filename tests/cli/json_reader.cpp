// SPDX-License-Identifier: MIT
#include "tests/cli/json_reader.h"

#include <cstdlib>
#include <cstring>

namespace {

class Reader {
public:
    explicit Reader(const std::string& s) : m_s(s) {}

    bool Document(JsonValue& v) {
        if (!Value(v, 0)) {
            return false;
        }
        Space();
        return m_i == m_s.size();
    }

private:
    void Space() {
        while (m_i < m_s.size() && std::strchr(" \t\r\n", m_s[m_i]) != nullptr) {
            ++m_i;
        }
    }
    bool Eat(char c) {
        Space();
        if (m_i < m_s.size() && m_s[m_i] == c) {
            ++m_i;
            return true;
        }
        return false;
    }
    bool Word(const char* w) {
        const size_t n = std::strlen(w);
        if (m_s.compare(m_i, n, w) != 0) {
            return false;
        }
        m_i += n;
        return true;
    }

    bool Value(JsonValue& v, int depth) {
        Space();
        if (m_i >= m_s.size() || depth > 32) {
            return false;
        }
        const char c = m_s[m_i];
        if (c == '{' || c == '[') {
            return Container(v, depth);
        }
        if (c == '"') {
            v.kind = JsonValue::String;
            return String(v.text);
        }
        if (Word("true") || Word("false")) {
            v.kind = JsonValue::Bool;
            v.boolean = c == 't';
            return true;
        }
        if (Word("null")) {
            return true;
        }
        char* end = nullptr;
        v.number = std::strtod(m_s.c_str() + m_i, &end);
        v.kind = JsonValue::Number;
        const size_t used = static_cast<size_t>(end - (m_s.c_str() + m_i));
        m_i += used;
        return used > 0;
    }

    bool Container(JsonValue& v, int depth) {
        const bool object = m_s[m_i++] == '{';
        v.kind = object ? JsonValue::Object : JsonValue::Array;
        if (Eat(object ? '}' : ']')) {
            return true;
        }
        do {
            std::string key;
            if (object && !(Eat('"') && (--m_i, String(key)) && Eat(':'))) {
                return false;
            }
            JsonValue item;
            if (!Value(item, depth + 1)) {
                return false;
            }
            if (object) {
                v.members[key] = item;
            } else {
                v.items.push_back(item);
            }
        } while (Eat(','));
        return Eat(object ? '}' : ']');
    }

    bool String(std::string& out) {
        ++m_i;  // the opening quote
        while (m_i < m_s.size() && m_s[m_i] != '"') {
            const unsigned char c = static_cast<unsigned char>(m_s[m_i++]);
            if (c < 0x20) {
                return false;
            }
            if (c != '\\') {
                out += static_cast<char>(c);
                continue;
            }
            if (m_i >= m_s.size()) {
                return false;
            }
            const char e = m_s[m_i++];
            const char* plain = std::strchr("\"\\/bfnrt", e);
            if (e != 'u' && plain != nullptr) {
                out += "\"\\/\b\f\n\r\t"[plain - "\"\\/bfnrt"];
            } else if (e == 'u' && m_i + 4 <= m_s.size()) {
                const unsigned long u = std::strtoul(m_s.substr(m_i, 4).c_str(), nullptr, 16);
                m_i += 4;
                if (u < 0x80) {
                    out += static_cast<char>(u);
                } else if (u < 0x800) {
                    out += static_cast<char>(0xC0 | (u >> 6));
                    out += static_cast<char>(0x80 | (u & 0x3F));
                } else {
                    return false;  // lumo-cli escapes only bytes
                }
            } else {
                return false;
            }
        }
        return m_i++ < m_s.size();
    }

    const std::string& m_s;
    size_t m_i = 0;
};

const JsonValue kMissing;

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& key) const {
    auto it = members.find(key);
    return it == members.end() ? kMissing : it->second;
}

const JsonValue& JsonValue::operator[](size_t index) const {
    return index < items.size() ? items[index] : kMissing;
}

std::unique_ptr<JsonValue> ParseJson(const std::string& text) {
    auto value = std::make_unique<JsonValue>();
    if (!Reader(text).Document(*value)) {
        return nullptr;
    }
    return value;
}
