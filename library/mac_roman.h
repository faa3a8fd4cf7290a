#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "library/pstr.h"

namespace harmovia {

// Mac Roman text: the character set of every record text and of the file formats.
// The tables are fixed constant data (the same on every machine).

// Upper-cases one Mac Roman byte: ASCII letters and the Mac Roman letters that have an
// upper-case form in Mac Roman; every other byte is unchanged.
uint8_t MacRomanUpper(uint8_t c);
// The matching lower-case mapping.
uint8_t MacRomanLower(uint8_t c);
// Upper-cases a whole text through the table.
PStr UpperCased(std::string_view text);
std::string UpperCasedString(std::string_view text);

// The Unicode code point of each Mac Roman byte.
char32_t MacRomanToUnicode(uint8_t c);

// Mac Roman <-> UTF-8, for showing record texts in the shell and the CLI. Characters that
// Mac Roman lacks, and malformed UTF-8, become "?".
std::string MacRomanToUtf8(std::string_view macRoman);
std::string Utf8ToMacRoman(std::string_view utf8);
// Decodes one well-formed UTF-8 sequence at text[i] and advances i past it; nothing (i
// unchanged) when the bytes there are not one.
std::optional<char32_t> WellFormedUtf8At(std::string_view text, size_t& i);
// Whether the text is well-formed UTF-8 (no overlong forms, surrogates or cut sequences).
bool IsValidUtf8(std::string_view text);
// Text that should be UTF-8 (a native file name) made valid: malformed bytes become U+FFFD.
std::string SanitizedUtf8(std::string_view text);
// The Mac Roman byte of a code point, or '?' when Mac Roman has none.
uint8_t UnicodeToMacRoman(char32_t codePoint);

}  // namespace harmovia
