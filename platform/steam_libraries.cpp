// SPDX-License-Identifier: MIT
#include "platform/steam_libraries.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// A library list is a few kilobytes; anything far larger is not one, and is not read.
constexpr uintmax_t kMaxFileSize = 4 << 20;

struct Token {
    enum Kind { Text, Open, Close, End } kind = End;
    std::string text;
};

class Tokens {
public:
    explicit Tokens(const std::string& s) : m_s(s) {}

    Token Next() {
        SkipSpaceAndComments();
        if (m_i >= m_s.size()) {
            return Token{};
        }
        const char c = m_s[m_i];
        if (c == '{' || c == '}') {
            ++m_i;
            return Token{c == '{' ? Token::Open : Token::Close, std::string()};
        }
        return c == '"' ? Quoted() : Bare();
    }

private:
    void SkipSpaceAndComments() {
        while (m_i < m_s.size()) {
            if (std::isspace(static_cast<unsigned char>(m_s[m_i]))) {
                ++m_i;
            } else if (m_s.compare(m_i, 2, "//") == 0) {
                const size_t eol = m_s.find('\n', m_i);
                m_i = eol == std::string::npos ? m_s.size() : eol;
            } else {
                return;
            }
        }
    }

    // A quoted string, its escapes decoded; an unterminated one ends the file.
    Token Quoted() {
        std::string text;
        for (size_t i = m_i + 1; i < m_s.size(); ++i) {
            char c = m_s[i];
            if (c == '"') {
                m_i = i + 1;
                return Token{Token::Text, text};
            }
            if (c == '\\' && i + 1 < m_s.size()) {
                c = m_s[++i];
                c = c == 'n' ? '\n' : c == 't' ? '\t' : c;
            }
            text += c;
        }
        m_i = m_s.size();
        return Token{};
    }

    Token Bare() {
        const size_t start = m_i;
        while (m_i < m_s.size() && !std::isspace(static_cast<unsigned char>(m_s[m_i])) &&
               m_s[m_i] != '{' && m_s[m_i] != '}' && m_s[m_i] != '"') {
            ++m_i;
        }
        return Token{Token::Text, m_s.substr(start, m_i - start)};
    }

    const std::string& m_s;
    size_t m_i = 0;
};

bool IsNumber(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c));
    });
}

bool IsPathKey(const std::string& s) {
    return s.size() == 4 && std::equal(s.begin(), s.end(), "path", [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

std::string ReadSmallFile(const fs::path& path) {
    std::error_code ec;
    const uintmax_t size = fs::file_size(path, ec);
    if (ec || size > kMaxFileSize) {
        return std::string();
    }
    std::ifstream in(path, std::ios::binary);
    std::string text(static_cast<size_t>(size), '\0');
    in.read(&text[0], static_cast<std::streamsize>(size));
    text.resize(static_cast<size_t>(in.gcount()));
    return text;
}

}  // namespace

std::vector<std::string> ParseSteamLibraryFolders(const std::string& text) {
    std::vector<std::string> folders;
    Tokens tokens(text);
    int depth = 0;
    std::string key;
    bool haveKey = false;
    for (Token t = tokens.Next(); t.kind != Token::End; t = tokens.Next()) {
        if (t.kind == Token::Open || t.kind == Token::Close) {
            depth += t.kind == Token::Open ? 1 : -1;
            haveKey = false;
            if (depth < 0) {
                break;
            }
        } else if (!haveKey) {
            key = t.text;
            haveKey = true;
        } else {
            // Old form: "1" "/path" in the outer block; new form: "path" "/path" one deeper.
            if (!t.text.empty() &&
                ((depth == 1 && IsNumber(key)) || (depth == 2 && IsPathKey(key)))) {
                folders.push_back(t.text);
            }
            haveKey = false;
        }
    }
    return folders;
}

std::vector<std::string> SteamRoots(const std::string& home) {
    std::vector<std::string> roots;
    if (home.empty()) {
        return roots;
    }
    const fs::path base(home);
    for (const char* relative : {".steam/steam", ".local/share/Steam",
                                 ".var/app/com.valvesoftware.Steam/.local/share/Steam"}) {
        std::error_code ec;
        const fs::path root = base / relative;
        if (fs::is_directory(root, ec)) {
            roots.push_back(root.string());
        }
    }
    return roots;
}

std::vector<std::string> SteamLibraries(const std::string& root) {
    std::vector<std::string> libraries{root};
    const fs::path list = fs::path(root) / "steamapps" / "libraryfolders.vdf";
    std::error_code ec;
    if (fs::is_regular_file(list, ec)) {
        for (std::string& folder : ParseSteamLibraryFolders(ReadSmallFile(list))) {
            libraries.push_back(std::move(folder));
        }
    }
    return libraries;
}
