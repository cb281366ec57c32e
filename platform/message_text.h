// SPDX-License-Identifier: MIT
#pragma once
// Text that names an entry or a path in a message or a listing line, made safe to show:
// the one escaping every front end uses, so that a hostile name can neither split a line
// nor reach the terminal with a control sequence.
#include <cstddef>
#include <string>
#include <string_view>

// The length of the valid UTF-8 sequence at text[i] (1 for ASCII), or 0 when there is
// none: a stray continuation byte, an overlong form, a surrogate, past U+10FFFF or cut off.
size_t Utf8SequenceLength(std::string_view text, size_t i);

// `text` (UTF-8) on one line: '\' as \\, the C0 controls, DEL and the C1 controls
// (U+0080-U+009F) as \xHH, and any byte that is not valid UTF-8 as \xHH too.
std::string EscapeForMessage(std::string_view text);

// A host path the same way, except that on Windows '\' stays as it is: it separates the
// path's folders there and can be no part of a name, so showing it doubled tells nothing.
std::string EscapePathForMessage(std::string_view path);
