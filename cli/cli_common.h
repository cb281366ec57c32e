// SPDX-License-Identifier: MIT
#pragma once
// What the subcommands share: opening the archive, naming entries, reporting errors.
#include <cstdint>
#include <optional>
#include <string>

#include "archive/entry_buffer.h"
#include "archive/entry_source.h"

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// What every error line of lumo-cli starts with.
constexpr const char kErrorPrefix[] = "lumo-cli: ";

// Prints "lumo-cli: <subject>: <problem>" on stderr.
void ReportError(const std::string& subject, const std::string& problem);

// Loads the archive as the entry source the commands read: the loaded catalogue's
// snapshot. Null when it cannot be loaded, reported as "cannot open file" or "not an LGP
// archive".
EntrySourcePtr OpenSource(const std::string& path);

// The entry an ENTRY argument names: "#N" (digits only) is the index N, anything else a
// name as list shows it (its bytes read as Latin-1, in UTF-8), escaped or not, matched
// exactly or else ignoring case; the first of several entries with that name wins.
std::optional<EntryId> FindEntry(const IEntrySource& source, const std::string& wanted);

// "no entry named X", or for "#N" that there is no such index.
std::string NoEntryProblem(const IEntrySource& source, const std::string& wanted);

// Text (UTF-8) as it may be shown on one line of output: control characters, C1
// controls included, and bytes that are not UTF-8 as \xHH, '\' as \\, so a hostile
// name cannot break the tab-separated listing.
std::string PrintableName(const std::string& name);

// An entry's name as every listing and message shows it: the one mapping of name bytes
// to text (extract::EntryHostName), escaped by PrintableName.
std::string ShownName(const IEntrySource& source, EntryId id);

// "entry #3 (name)" for messages: its position in the source and its shown name.
std::string DescribeEntry(const IEntrySource& source, EntryId id);
