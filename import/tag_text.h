#pragma once

// Text handling shared by the MP3 and MP4 tag readers: decoding tag text as its writer
// encoded it, turning it into the Mac Roman bytes the record keeps, and taking a zero-ended
// run of bytes from a read buffer.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "library/pstr.h"

namespace harmovia {

// Single-byte tag text (ID3 encoding 0): ISO-8859-1, except that text which is valid UTF-8
// and holds at least one multi-byte sequence is taken as UTF-8, as many taggers write it.
std::u32string DecodeLatin1OrUtf8(std::string_view bytes);
// UTF-8 tag text (ID3 encoding 3, MP4 text atoms): a byte that does not belong to a
// well-formed sequence is taken as ISO-8859-1.
std::u32string DecodeUtf8OrLatin1(std::string_view bytes);
// UTF-16 code units: surrogate pairs joined; a lone surrogate becomes U+FFFD.
std::u32string DecodeUtf16(std::u16string_view units);

// Each character into Mac Roman: U+0228 becomes "E", U+0159 "r" and U+00B4 an apostrophe;
// every other character Mac Roman has becomes its Mac Roman byte, and the rest "?". Pure;
// the result is cut to 255 characters.
PStr TagTextToMacRoman(std::u32string_view text);

// The conversion earlier versions applied to the raw tag bytes, which libraries saved by
// them hold: first the single bytes E9, F1, E8 (Latin-1 é ñ è), then 25 two-byte
// replacements, each a left-to-right pass over the whole text in a fixed order; every
// other byte passes unchanged. Kept only so that the duplicate test recognises tunes added
// by those versions. The result is cut to 255 characters.
PStr LegacyTagTextToMacRoman(std::string_view text);

// Bytes of `buffer` from `start` on, up to (not including) the first zero byte, at most
// `maxChars` of them, never past the end of the buffer. A start at or beyond the end gives
// the empty text.
std::string TakeZeroEndedText(std::span<const uint8_t> buffer, size_t start, size_t maxChars);

}  // namespace harmovia
