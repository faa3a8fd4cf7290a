#include "library/mac_roman.h"

namespace harmovia {
namespace {

// Code points of bytes 0x80..0xFF (0xDB is the euro sign, 0xF0 the private-use logo).
constexpr std::array<char32_t, 128> kHighHalf = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

// Lower-case / upper-case pairs of Mac Roman letters outside ASCII, as Mac Roman bytes.
constexpr std::array<std::array<uint8_t, 2>, 29> kLetterPairs = {{
    {0x8A, 0x80},  // ä Ä
    {0x8C, 0x81},  // å Å
    {0x8D, 0x82},  // ç Ç
    {0x8E, 0x83},  // é É
    {0x96, 0x84},  // ñ Ñ
    {0x9A, 0x85},  // ö Ö
    {0x9F, 0x86},  // ü Ü
    {0x87, 0xE7},  // á Á
    {0x88, 0xCB},  // à À
    {0x89, 0xE5},  // â Â
    {0x8B, 0xCC},  // ã Ã
    {0x8F, 0xE9},  // è È
    {0x90, 0xE6},  // ê Ê
    {0x91, 0xE8},  // ë Ë
    {0x92, 0xEA},  // í Í
    {0x93, 0xED},  // ì Ì
    {0x94, 0xEB},  // î Î
    {0x95, 0xEC},  // ï Ï
    {0x97, 0xEE},  // ó Ó
    {0x98, 0xF1},  // ò Ò
    {0x99, 0xEF},  // ô Ô
    {0x9B, 0xCD},  // õ Õ
    {0x9C, 0xF2},  // ú Ú
    {0x9D, 0xF4},  // ù Ù
    {0x9E, 0xF3},  // û Û
    {0xBE, 0xAE},  // æ Æ
    {0xBF, 0xAF},  // ø Ø
    {0xCF, 0xCE},  // œ Œ
    {0xD8, 0xD9},  // ÿ Ÿ
}};

struct CaseTables {
    std::array<uint8_t, 256> upper{};
    std::array<uint8_t, 256> lower{};
};

constexpr CaseTables MakeCaseTables() {
    CaseTables t;
    for (int c = 0; c < 256; ++c) {
        t.upper[c] = static_cast<uint8_t>(c);
        t.lower[c] = static_cast<uint8_t>(c);
    }
    for (int c = 'a'; c <= 'z'; ++c) {
        t.upper[c] = static_cast<uint8_t>(c - 'a' + 'A');
        t.lower[c - 'a' + 'A'] = static_cast<uint8_t>(c);
    }
    for (const auto& [lower, upper] : kLetterPairs) {
        t.upper[lower] = upper;
        t.lower[upper] = lower;
    }
    return t;
}

constexpr CaseTables kCaseTables = MakeCaseTables();

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at text[i]; advances i. Returns U+FFFD for malformed input.
char32_t NextCodePoint(std::string_view text, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    const uint8_t lead = byte(i);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    size_t k = i + 1;
    for (int n = 0; n < extra; ++n, ++k) {
        if (k >= text.size() || (byte(k) & 0xC0) != 0x80) {
            i = k;
            return 0xFFFD;
        }
        cp = (cp << 6) | (byte(k) & 0x3F);
    }
    i = k;
    constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0xFFFD;
    }
    return cp;
}

}  // namespace

uint8_t MacRomanUpper(uint8_t c) {
    return kCaseTables.upper[c];
}
uint8_t MacRomanLower(uint8_t c) {
    return kCaseTables.lower[c];
}

std::string UpperCasedString(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = static_cast<char>(MacRomanUpper(static_cast<uint8_t>(c)));
    }
    return out;
}

PStr UpperCased(std::string_view text) {
    return PStr(UpperCasedString(text));
}

char32_t MacRomanToUnicode(uint8_t c) {
    return c < 0x80 ? c : kHighHalf[c - 0x80];
}

uint8_t UnicodeToMacRoman(char32_t codePoint) {
    if (codePoint < 0x80) {
        return static_cast<uint8_t>(codePoint);
    }
    for (int i = 0; i < 128; ++i) {
        if (kHighHalf[i] == codePoint) {
            return static_cast<uint8_t>(0x80 + i);
        }
    }
    return '?';
}

std::string MacRomanToUtf8(std::string_view macRoman) {
    std::string out;
    out.reserve(macRoman.size() * 2);
    for (char c : macRoman) {
        AppendUtf8(out, MacRomanToUnicode(static_cast<uint8_t>(c)));
    }
    return out;
}

std::optional<char32_t> WellFormedUtf8At(std::string_view text, size_t& i) {
    size_t next = i;
    const char32_t cp = NextCodePoint(text, next);
    if (cp == 0xFFFD && text.substr(i, next - i) != "\xEF\xBF\xBD") {
        return std::nullopt;
    }
    i = next;
    return cp;
}

bool IsValidUtf8(std::string_view text) {
    for (size_t i = 0; i < text.size();) {
        if (!WellFormedUtf8At(text, i)) {
            return false;
        }
    }
    return true;
}

std::string SanitizedUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t start = i;
        if (WellFormedUtf8At(text, i)) {
            out.append(text.substr(start, i - start));
        } else {
            out += "\xEF\xBF\xBD";
            i = start + 1;  // resynchronise on the next byte
        }
    }
    return out;
}

std::string Utf8ToMacRoman(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        out += static_cast<char>(UnicodeToMacRoman(NextCodePoint(utf8, i)));
    }
    return out;
}

}  // namespace harmovia
