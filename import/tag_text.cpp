#include "import/tag_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "library/mac_roman.h"

namespace harmovia {
namespace {

struct PairReplacement {
    uint8_t first;
    uint8_t second;
    uint8_t result;  // a Mac Roman code
};

// The order matters: a later pair may match the output of an earlier one (C3 C3 B1 becomes
// C3 96 at the first pair and Ö at the twelfth).
constexpr std::array<PairReplacement, 25> kPairs = {{
    {0xC3, 0xB1, 0x96},  // ñ
    {0xC3, 0xAA, 0x90},  // ê
    {0xC3, 0xA7, 0x8D},  // ç
    {0xC3, 0xA3, 0x8B},  // ã
    {0xC2, 0xB4, 0x27},  // acute accent -> apostrophe
    {0xC3, 0xB4, 0x99},  // ô
    {0xC3, 0xA8, 0x8F},  // è
    {0xC3, 0xA0, 0x88},  // à
    {0x80, 0x80, 0x20},  // blank
    {0xC3, 0x89, 0x83},  // É
    {0xC8, 0xA8, 0x45},  // E
    {0xC3, 0x96, 0x85},  // Ö
    {0xC2, 0xAB, 0xC7},  // «
    {0xC5, 0x99, 0x72},  // r
    {0xC2, 0xBB, 0xC8},  // »
    {0xC3, 0x98, 0xAF},  // Ø
    {0xC3, 0xA9, 0x8E},  // é
    {0xC3, 0xA2, 0x89},  // â
    {0xC3, 0xA1, 0x87},  // á
    {0xC3, 0xB3, 0x97},  // ó
    {0xC3, 0xAD, 0x92},  // í
    {0xC3, 0xB2, 0x98},  // ò
    {0xC3, 0x81, 0xE7},  // Á
    {0xC3, 0xBA, 0x9C},  // ú
    {0xC3, 0x82, 0xE5},  // Â
}};

uint8_t LatinByteToMacRoman(uint8_t c) {
    switch (c) {
        case 0xE9:
            return 0x8E;  // é
        case 0xF1:
            return 0x96;  // ñ
        case 0xE8:
            return 0x8F;  // è
        default:
            return c;
    }
}

}  // namespace

std::u32string DecodeUtf8OrLatin1(std::string_view bytes) {
    std::u32string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        if (const std::optional<char32_t> cp = WellFormedUtf8At(bytes, i)) {
            text.push_back(*cp);
        } else {
            text.push_back(static_cast<uint8_t>(bytes[i++]));
        }
    }
    return text;
}

std::u32string DecodeLatin1OrUtf8(std::string_view bytes) {
    bool multiByte = false;
    for (size_t i = 0; i < bytes.size();) {
        const size_t start = i;
        if (!WellFormedUtf8At(bytes, i)) {
            multiByte = false;
            break;
        }
        multiByte = multiByte || i - start > 1;
    }
    if (multiByte) {
        return DecodeUtf8OrLatin1(bytes);
    }
    std::u32string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        text.push_back(static_cast<uint8_t>(c));
    }
    return text;
}

std::u32string DecodeUtf16(std::u16string_view units) {
    std::u32string text;
    text.reserve(units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            text.push_back(0x10000 + ((char32_t{u} - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            text.push_back(0xFFFD);
        } else {
            text.push_back(u);
        }
    }
    return text;
}

PStr TagTextToMacRoman(std::u32string_view text) {
    std::string out;
    const size_t n = std::min<size_t>(text.size(), PStr::kCapacity);
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        switch (text[i]) {
            // Stand-ins earlier versions chose for three characters; kept so that a tune
            // reads the same as before.
            case 0x0228:
                out.push_back('E');
                break;
            case 0x0159:
                out.push_back('r');
                break;
            case 0x00B4:
                out.push_back('\'');
                break;
            default:
                out.push_back(static_cast<char>(UnicodeToMacRoman(text[i])));
        }
    }
    return PStr(out);
}

PStr LegacyTagTextToMacRoman(std::string_view text) {
    std::string s(text);
    for (char& c : s) {
        c = static_cast<char>(LatinByteToMacRoman(static_cast<uint8_t>(c)));
    }
    // Each pass compacts in place: the write index never overtakes the read index, and a
    // replaced pair is never looked at again within the same pass.
    for (const PairReplacement& pair : kPairs) {
        size_t out = 0;
        size_t in = 0;
        while (in < s.size()) {
            if (in + 1 < s.size() && static_cast<uint8_t>(s[in]) == pair.first &&
                static_cast<uint8_t>(s[in + 1]) == pair.second) {
                s[out++] = static_cast<char>(pair.result);
                in += 2;
            } else {
                s[out++] = s[in++];
            }
        }
        s.resize(out);
    }
    return PStr(s);
}

std::string TakeZeroEndedText(std::span<const uint8_t> buffer, size_t start, size_t maxChars) {
    std::string text;
    if (start >= buffer.size()) {
        return text;
    }
    const size_t end = start + std::min(maxChars, buffer.size() - start);
    for (size_t i = start; i < end && buffer[i] != 0; ++i) {
        text.push_back(static_cast<char>(buffer[i]));
    }
    return text;
}

}  // namespace harmovia
