// SPDX-License-Identifier: MIT
#pragma once
// Line handling shared by the text formats of models (skeletons and resources): lines
// end in LF or CR LF, blanks around them do not count, and numbers are read the same way
// whatever the host's locale.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The non-empty lines of `text`, each without surrounding blanks.
std::vector<std::string_view> MeaningfulLines(std::string_view text);
// Words separated by blanks.
std::vector<std::string_view> Words(std::string_view line);
// A whole non-negative decimal integer below 2^31, or nothing.
std::optional<int> ParseCount(std::string_view text);
// A whole finite decimal number, or nothing.
std::optional<float> ParseFinite(std::string_view text);
// Lower-case ASCII copy, as archive entries are looked up.
std::string LowerAscii(std::string_view text);
// `name` with its extension (from the last '.') replaced by `extension` (with its dot),
// lower case: "ACAB.PLY" -> "acab.p".
std::string EntryNameFor(std::string_view name, std::string_view extension);
