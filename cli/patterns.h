// SPDX-License-Identifier: MIT
#pragma once
// ENTRY arguments that name many entries: shell-style wildcards, matched against the
// names as lumo-cli displays them (control characters as \xHH, '\' as \\), ignoring
// ASCII case, so that what a listing shows can be typed back.
#include <string>
#include <vector>

#include "archive/entry_source.h"

// True when `text` holds a wildcard: '*', '?' or '['.
bool IsPattern(const std::string& text);

// Whether `name` matches `pattern`, ignoring ASCII case: '*' any run of characters, '?'
// one character, "[abc]", "[a-z]", "[!a]" or "[^a]" one of a set (a '[' without its ']'
// stands for itself), and '\' makes the next character stand for itself.
bool MatchPattern(const std::string& pattern, const std::string& name);

// The entries one ENTRY argument selects, in archive order: what FindEntry finds for it
// ("#N", or a name, even one holding wildcard characters), or else, when it is a
// pattern, every entry whose whole displayed name matches, and when it is not, every
// entry whose displayed name contains it, ignoring ASCII case. Empty when it selects
// nothing.
std::vector<EntryId> EntriesSelectedBy(const IEntrySource& source, const std::string& wanted);

// The message for an ENTRY that selects nothing.
std::string NothingSelectedProblem(const IEntrySource& source, const std::string& wanted);
