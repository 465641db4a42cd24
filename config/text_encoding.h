// Character handling of text read from the configuration files.
//
// Files are read as UTF-8. A line that is not valid UTF-8 is taken as Latin-1 (the code page
// older files were written in) and converted to UTF-8 as a whole, so text handed to the
// interface is always valid UTF-8. Widths count characters, not bytes, and a cut never splits
// a character. Files are written back in UTF-8.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace scantora {

bool IsValidUtf8(std::string_view bytes);

// `bytes` unchanged when it is valid UTF-8; otherwise each byte read as Latin-1 and encoded in
// UTF-8. Everything from a NUL byte on is dropped, as the stored texts are plain strings.
std::string ToUtf8(std::string_view bytes);

// The size in bytes of the character that starts at byte `at` of `text`: a whole UTF-8 sequence,
// or 1 for a byte that does not start a valid one, so that text which is not UTF-8 still splits
// into characters and a valid character is never split. 0 at or past the end.
std::size_t CharSizeAt(std::string_view text, std::size_t at);

// The first `max_chars` characters of `text` (all of it when shorter).
std::string TruncateChars(std::string_view text, std::size_t max_chars);

// The number of characters of `text`.
std::size_t CharCount(std::string_view text);

// `bytes` without a UTF-8 sequence that starts but does not finish at its end.
std::string_view WithoutIncompleteTail(std::string_view bytes);

// A configuration value as stored in a field of `width` characters: converted to UTF-8 and
// cut to the width.
std::string FieldValue(std::string_view raw, std::size_t width);

}  // namespace scantora
