// SPDX-License-Identifier: MIT
#pragma once
// The questions an insert asks: about a name already in the archive, about compressing
// files for the field archive, and the files that could not go in.
#include <optional>
#include <string>
#include <vector>

#include "platform/prompts.h"

// Asks whether the file for `shown` (folder/name) replaces the entry already there,
// unless an earlier Replace All or Skip All in `standing` covers the rest: true to
// replace, false to skip, nothing when the user cancelled.
std::optional<bool> AskReplace(const std::string& shown,
                               std::optional<platform::MessageAnswer>& standing);

// How files go into the field archive, asked once: compressed (the default unless every
// file already is a field entry) or stored as they are. Nothing when cancelled.
std::optional<bool> AskCompress(const std::vector<std::string>& paths);

// One message listing the files that could not be inserted; nothing when there are none.
void TellInsertProblems(const std::vector<std::string>& problems);
