// SPDX-License-Identifier: MIT
// The parts of the registry source that every host shares: the process's sources, and
// the Wine file format and path mapping (pure text and file-system work).
#include "platform/ascii.h"
#include "platform/registry.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Escapes give UTF-16 code units; a surrogate pair arrives as two escapes in a row.
class Utf16Sink {
public:
    explicit Utf16Sink(std::string& out) : m_out(out) {}
    void Unit(uint32_t u) {
        if (u >= 0xD800 && u <= 0xDBFF) {
            Flush();
            m_high = u;
        } else if (u >= 0xDC00 && u <= 0xDFFF && m_high) {
            AppendUtf8(m_out, 0x10000 + ((m_high - 0xD800) << 10) + (u - 0xDC00));
            m_high = 0;
        } else {
            Flush();
            AppendUtf8(m_out, (u >= 0xD800 && u <= 0xDFFF) ? 0xFFFD : u);
        }
    }
    void Byte(char c) {
        Flush();
        m_out += c;
    }
    void Flush() {
        if (m_high) {
            AppendUtf8(m_out, 0xFFFD);
            m_high = 0;
        }
    }

private:
    std::string& m_out;
    uint32_t m_high = 0;
};

char ControlEscape(char c) {
    switch (c) {
        case 'a':
            return '\a';
        case 'b':
            return '\b';
        case 't':
            return '\t';
        case 'n':
            return '\n';
        case 'v':
            return '\v';
        case 'f':
            return '\f';
        case 'r':
            return '\r';
        case 'e':
            return '\x1b';
        default:
            return 0;
    }
}

// Reads up to `maxDigits` digits of base 8 or 16 at s[i]; advances i.
uint32_t ReadNumber(const std::string& s, size_t& i, int base, int maxDigits) {
    uint32_t value = 0;
    for (int n = 0; n < maxDigits && i < s.size(); ++n, ++i) {
        int d = HexDigit(s[i]);
        if (d < 0 || d >= base) {
            break;
        }
        value = value * base + static_cast<uint32_t>(d);
    }
    return value;
}

// The entry of `folder` named `name`, or failing that one whose name differs only in case.
std::string FindComponent(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    if (fs::exists(folder / name, ec)) {
        return name;
    }
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string candidate = it->path().filename().string();
        if (SameIgnoringCase(candidate, name)) {
            return candidate;
        }
    }
    return std::string();
}

std::string DriveRoot(const std::string& winePrefix, char drive) {
    std::error_code ec;
    const fs::path prefix(winePrefix);
    const fs::path link = prefix / "dosdevices" / (std::string(1, drive) + ":");
    if (fs::is_directory(link, ec)) {
        fs::path target = fs::canonical(link, ec);
        return ec ? link.string() : target.string();
    }
    if (drive == 'c' && fs::is_directory(prefix / "drive_c", ec)) {
        return (prefix / "drive_c").string();
    }
    return std::string();
}

// Bytes written as "43,3a,5c,00", up to the first that is not two hex digits.
std::string HexBytes(const std::string& s, size_t i) {
    std::string bytes;
    while (i < s.size()) {
        if (s[i] == ',' || s[i] == ' ' || s[i] == '\t') {
            ++i;
            continue;
        }
        const int high = HexDigit(s[i]);
        const int low = i + 1 < s.size() ? HexDigit(s[i + 1]) : -1;
        if (high < 0 || low < 0) {
            break;
        }
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

}  // namespace

RegistrySources RegistrySources::FromProcessEnvironment() {
    return RegistrySources{Env("HOME"), Env("WINEPREFIX")};
}

std::string DecodeWineRegistryString(const std::string& s) {
    std::string out;
    Utf16Sink sink(out);
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i++];
        if (c != '\\' || i == s.size()) {
            sink.Byte(c);
            continue;
        }
        char e = s[i];
        if (char control = ControlEscape(e)) {
            sink.Byte(control);
            ++i;
        } else if (e == 'x') {
            ++i;
            if (i < s.size() && HexDigit(s[i]) >= 0) {
                sink.Unit(ReadNumber(s, i, 16, 4));
            } else {
                sink.Byte('x');
            }
        } else if (e >= '0' && e <= '7') {
            sink.Unit(ReadNumber(s, i, 8, 3));
        } else {
            sink.Byte(e);  // \\ \" \] and anything else stand for the character itself
            ++i;
        }
    }
    sink.Flush();
    return out;
}

std::string MapWindowsPathToHost(const std::string& winePrefix, const std::string& windowsPath) {
    if (windowsPath.size() < 2 || windowsPath[1] != ':' ||
        !std::isalpha(static_cast<unsigned char>(windowsPath[0]))) {
        return std::string();
    }
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
    std::string host = DriveRoot(winePrefix, drive);
    if (host.empty()) {
        return host;
    }
    bool resolving = true;  // once a component is missing, the rest is taken as written
    size_t pos = 2;
    while (pos < windowsPath.size()) {
        size_t end = windowsPath.find_first_of("\\/", pos);
        if (end == std::string::npos) {
            end = windowsPath.size();
        }
        std::string part = windowsPath.substr(pos, end - pos);
        pos = end + 1;
        if (part.empty() || part == ".") {
            continue;
        }
        if (resolving) {
            std::string found = FindComponent(host, part);
            resolving = !found.empty();
            if (resolving) {
                part = found;
            }
        }
        if (host.back() != '/') {
            host += '/';
        }
        host += part;
    }
    const char last = windowsPath.back();
    if ((last == '\\' || last == '/') && host.back() != '/') {
        host += '/';
    }
    return host;
}

bool DecodeWineRegistryHex(const std::string& s, std::string* text) {
    size_t i = 0;
    unsigned type = 3;
    if (i < s.size() && s[i] == '(') {
        const size_t close = s.find(')', i);
        if (close == std::string::npos || close - i > 9) {
            return false;
        }
        type = static_cast<unsigned>(std::strtoul(s.c_str() + i + 1, nullptr, 16));
        i = close + 1;
    }
    if (i >= s.size() || s[i] != ':') {
        return false;
    }
    const std::string bytes = HexBytes(s, i + 1);
    text->clear();
    Utf16Sink sink(*text);
    const bool utf16 = type == 1 || type == 2 || type == 7;
    for (size_t k = 0; k + (utf16 ? 1 : 0) < bytes.size(); k += utf16 ? 2 : 1) {
        uint32_t unit = static_cast<unsigned char>(bytes[k]);
        if (utf16) {
            unit |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[k + 1])) << 8;
        }
        if (unit == 0) {
            break;
        }
        sink.Unit(unit);
    }
    sink.Flush();
    return true;
}
