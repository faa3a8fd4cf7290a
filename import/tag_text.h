#pragma once

// Text handling shared by the MP3 and MP4 tag readers: turning tag text into the Mac Roman
// bytes the record keeps, and taking a zero-ended run of bytes from a read buffer.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "library/pstr.h"

namespace harmovia {

// Converts the most common Latin-1 and UTF-8 characters of tag text into Mac Roman; every
// other byte passes unchanged. First the single bytes E9, F1, E8 (Latin-1 é ñ è), then 25
// two-byte replacements, each one a left-to-right pass over the whole text in a fixed
// order, so the result of one pass can be matched by a later pass. Pure; the result is cut
// to 255 characters.
PStr TagTextToMacRoman(std::string_view text);

// Bytes of `buffer` from `start` on, up to (not including) the first zero byte, at most
// `maxChars` of them, never past the end of the buffer. A start at or beyond the end gives
// the empty text.
std::string TakeZeroEndedText(std::span<const uint8_t> buffer, size_t start, size_t maxChars);

}  // namespace harmovia
