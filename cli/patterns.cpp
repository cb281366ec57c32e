// SPDX-License-Identifier: MIT
#include "cli/patterns.h"

#include <cctype>

#include "cli/cli_common.h"
#include "platform/ascii.h"

namespace {

bool SameLetter(char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
}

// Whether `c` is in the set that starts after the '[' at pattern[p]; `end` receives the
// position after the closing ']'. False with end = npos when the set is not closed.
bool InSet(const std::string& pattern, size_t p, char c, size_t* end) {
    size_t i = p + 1;
    const bool negated = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
    i += negated ? 1 : 0;
    bool found = false;
    for (bool first = true; i < pattern.size() && (first || pattern[i] != ']'); first = false) {
        char low = pattern[i];
        if (low == '\\' && i + 1 < pattern.size()) {
            low = pattern[++i];
        }
        char high = low;
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            high = pattern[i + 2];
            i += 2;
        }
        const unsigned char lc =
            static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
        const unsigned char uc =
            static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
        const auto inRange = [low, high](unsigned char x) {
            return x >= static_cast<unsigned char>(low) && x <= static_cast<unsigned char>(high);
        };
        found = found || inRange(lc) || inRange(uc);
        ++i;
    }
    if (i >= pattern.size()) {
        *end = std::string::npos;
        return false;
    }
    *end = i + 1;
    return found != negated;
}

// Matches one character of `name` against the pattern item at pattern[p] (not '*');
// `next` receives where the following item starts.
bool MatchOne(const std::string& pattern, size_t p, char c, size_t* next) {
    if (pattern[p] == '?') {
        *next = p + 1;
        return true;
    }
    if (pattern[p] == '[') {
        size_t end;
        const bool in = InSet(pattern, p, c, &end);
        if (end != std::string::npos) {
            *next = end;
            return in;
        }
    }
    const bool escaped = pattern[p] == '\\' && p + 1 < pattern.size();
    *next = p + (escaped ? 2 : 1);
    return SameLetter(pattern[escaped ? p + 1 : p], c);
}

}  // namespace

bool IsPattern(const std::string& text) {
    return text.find_first_of("*?[") != std::string::npos;
}

// The usual greedy match with one backtrack point: on a mismatch, let the last '*'
// take one more character. Linear in practice, quadratic at worst (names are short).
bool MatchPattern(const std::string& pattern, const std::string& name) {
    size_t p = 0, n = 0;
    size_t starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        size_t next;
        if (p < pattern.size() && pattern[p] == '*') {
            starP = ++p;
            starN = n;
        } else if (p < pattern.size() && MatchOne(pattern, p, name[n], &next)) {
            p = next;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

namespace {

std::string AsciiLower(std::string text) {
    for (char& c : text) {
        c = ToLowerAscii(c);
    }
    return text;
}

}  // namespace

std::vector<EntryId> EntriesSelectedBy(const IEntrySource& source, const std::string& wanted) {
    if (std::optional<EntryId> id = FindEntry(source, wanted)) {
        return {*id};
    }
    // As in the desktop program's find field: a pattern is matched against the whole
    // name, a plain text anywhere in it.
    std::vector<EntryId> selected;
    const bool pattern = IsPattern(wanted);
    const std::string text = AsciiLower(wanted);
    for (size_t i = 0; i < source.Count(); ++i) {
        const EntryId id = source.IdAt(i);
        const std::string name = ShownName(source, id);
        if (pattern ? MatchPattern(wanted, name)
                    : AsciiLower(name).find(text) != std::string::npos) {
            selected.push_back(id);
        }
    }
    return selected;
}

std::string NothingSelectedProblem(const IEntrySource& source, const std::string& wanted) {
    if (IsPattern(wanted)) {
        return "no entry matches " + PrintableName(wanted);
    }
    return NoEntryProblem(source, wanted);
}
