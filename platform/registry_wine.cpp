// SPDX-License-Identifier: MIT
// The registry of hosts without one: the "system.reg" files of Wine prefixes.
//
// The file is text: "[Key\\Path] stamp" opens a key (names relative to
// HKEY_LOCAL_MACHINE, '\' escaped as "\\"), and lines such as "Name"="text" or
// "Name"=str(2):"text" give its values; '#' and ';' lines are comments and metadata.
#ifndef _WIN32

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/ascii.h"
#include "platform/registry.h"
#include "platform/steam_libraries.h"

namespace fs = std::filesystem;

namespace {

using KeyPath = std::vector<std::string>;

bool SamePath(const KeyPath& a, const KeyPath& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                                [](const std::string& x, const std::string& y) {
                                                    return SameIgnoringCase(x, y);
                                                });
}

// The text from s[start] up to the first `close` not preceded by an escaping '\', still
// escaped; `end` receives the position of `close`, or npos when there is none.
std::string TakeQuoted(const std::string& s, size_t start, char close, size_t& end) {
    size_t i = start;
    while (i < s.size() && s[i] != close) {
        i += (s[i] == '\\') ? 2 : 1;
    }
    if (i >= s.size()) {
        end = std::string::npos;
        return std::string();
    }
    end = i;
    return s.substr(start, i - start);
}

// "[Software\\Vendor\\App] 1234" -> {"Software", "Vendor", "App"}; empty if malformed.
KeyPath ParseKeyHeader(const std::string& line) {
    size_t end;
    std::string name = DecodeWineRegistryString(TakeQuoted(line, 1, ']', end));
    KeyPath path;
    if (end == std::string::npos) {
        return path;
    }
    size_t pos = 0;
    while (pos <= name.size()) {
        size_t sep = name.find('\\', pos);
        if (sep == std::string::npos) {
            sep = name.size();
        }
        if (sep > pos) {
            path.push_back(name.substr(pos, sep - pos));
        }
        pos = sep + 1;
    }
    return path;
}

// A value line; true when it names `valueName` and holds text, which goes to `text`.
bool ParseTextValue(const std::string& line, const std::string& valueName, std::string* text) {
    size_t end;
    std::string name;
    if (line[0] == '@') {
        name = "@";
        end = 0;
    } else {
        name = DecodeWineRegistryString(TakeQuoted(line, 1, '"', end));
        if (end == std::string::npos) {
            return false;
        }
    }
    if (!SameIgnoringCase(name, valueName) || end + 1 >= line.size() || line[end + 1] != '=') {
        return false;
    }
    size_t data = end + 2;
    if (line.compare(data, 3, "hex") == 0) {
        return DecodeWineRegistryHex(line.substr(data + 3), text);
    }
    if (line.compare(data, 4, "str(") == 0) {
        size_t colon = line.find("):", data);
        if (colon == std::string::npos) {
            return false;
        }
        data = colon + 2;
    }
    if (data >= line.size() || line[data] != '"') {
        return false;  // dword:, hex: and the like are not text
    }
    size_t close;
    std::string value = DecodeWineRegistryString(TakeQuoted(line, data + 1, '"', close));
    if (close == std::string::npos) {
        return false;
    }
    *text = value.substr(0, value.find('\0'));
    return true;
}

// One line, with the lines that continue it (binary data ends a line in '\' and goes on
// in the next, indented) joined on.
bool ReadLogicalLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) {
        return false;
    }
    std::string more;
    for (;;) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.back() != '\\' || !std::getline(in, more)) {
            return true;
        }
        line.pop_back();
        line += more.substr(std::min(more.find_first_not_of(" \t"), more.size()));
    }
}

// The value under each of `keys` in one system.reg, in the order of `keys`.
std::vector<std::string> ReadValues(const std::string& file, const std::vector<KeyPath>& keys,
                                    const std::string& valueName) {
    std::vector<std::string> found(keys.size());
    std::vector<bool> present(keys.size(), false);
    std::ifstream in(file, std::ios::binary);
    std::string line;
    int current = -1;
    while (ReadLogicalLine(in, line)) {
        if (line.empty() || line[0] == '#' || line[0] == ';') {
            continue;
        }
        if (line[0] == '[') {
            KeyPath path = ParseKeyHeader(line);
            current = -1;
            for (size_t k = 0; k < keys.size(); ++k) {
                if (SamePath(path, keys[k])) {
                    current = static_cast<int>(k);
                }
            }
        } else if (current >= 0 && !present[current] && (line[0] == '"' || line[0] == '@')) {
            present[current] = ParseTextValue(line, valueName, &found[current]);
        }
    }
    std::vector<std::string> values;
    for (size_t k = 0; k < keys.size(); ++k) {
        if (present[k]) {
            values.push_back(found[k]);
        }
    }
    return values;
}

// The key as a 32-bit program sees it on a 64-bit system first, then as written.
std::vector<KeyPath> KeyViews(const KeyPath& keyPath) {
    std::vector<KeyPath> views;
    if (!keyPath.empty() && SameIgnoringCase(keyPath[0], "software")) {
        KeyPath wow = keyPath;
        wow.insert(wow.begin() + 1, "Wow6432Node");
        views.push_back(wow);
    }
    views.push_back(keyPath);
    return views;
}

void AddSteamPrefixes(const fs::path& compatdata, std::vector<std::string>& out) {
    std::error_code ec;
    std::vector<std::string> games;
    for (fs::directory_iterator it(compatdata, ec), end; !ec && it != end; it.increment(ec)) {
        games.push_back((it->path() / "pfx").string());
    }
    std::sort(games.begin(), games.end());
    out.insert(out.end(), games.begin(), games.end());
}

}  // namespace

std::vector<std::string> ListWinePrefixes(const RegistrySources& sources) {
    std::vector<std::string> candidates;
    if (!sources.winePrefix.empty()) {
        candidates.push_back(sources.winePrefix);
    }
    if (!sources.home.empty()) {
        candidates.push_back((fs::path(sources.home) / ".wine").string());
    }
    // A game may sit in any library of any Steam installation, native or Flatpak.
    for (const std::string& root : SteamRoots(sources.home)) {
        for (const std::string& library : SteamLibraries(root)) {
            AddSteamPrefixes(fs::path(library) / "steamapps" / "compatdata", candidates);
        }
    }
    // ~/.steam/steam is usually a link to ~/.local/share/Steam, and each installation
    // lists itself among its libraries: keep each prefix once.
    std::vector<std::string> prefixes;
    std::vector<fs::path> seen;
    for (const std::string& prefix : candidates) {
        std::error_code ec;
        if (!fs::is_regular_file(fs::path(prefix) / "system.reg", ec)) {
            continue;
        }
        fs::path real = fs::weakly_canonical(prefix, ec);
        if (std::find(seen.begin(), seen.end(), real) == seen.end()) {
            seen.push_back(real);
            prefixes.push_back(prefix);
        }
    }
    return prefixes;
}

void VisitMachineRegistryValues(const RegistrySources& sources,
                                const std::vector<std::string>& keyPath,
                                const std::string& valueName,
                                const std::function<bool(const RegistryHit&)>& visit) {
    const std::vector<KeyPath> views = KeyViews(keyPath);
    for (const std::string& prefix : ListWinePrefixes(sources)) {
        const std::string file = (fs::path(prefix) / "system.reg").string();
        for (std::string& text : ReadValues(file, views, valueName)) {
            if (visit(RegistryHit{std::move(text), prefix})) {
                return;
            }
        }
    }
}

std::vector<RegistryHit> FindMachineRegistryValues(const RegistrySources& sources,
                                                   const std::vector<std::string>& keyPath,
                                                   const std::string& valueName) {
    std::vector<RegistryHit> hits;
    VisitMachineRegistryValues(sources, keyPath, valueName, [&hits](const RegistryHit& hit) {
        hits.push_back(hit);
        return false;
    });
    return hits;
}

#endif  // !_WIN32
