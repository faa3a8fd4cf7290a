#include "import/tag_text.h"

#include <string>

#include <gtest/gtest.h>

#include "library/mac_roman.h"

namespace harmovia {
namespace {

// Single-byte tag text as it arrives (encoding 0 or 3) to the Mac Roman bytes stored.
TEST(TagTextToMacRoman, SingleByteTextAsWritten) {
    const struct {
        const char* what;
        std::string in;
        bool declaredUtf8;
        std::string out;
    } cases[] = {
        {"plain text", "Blue Train", false, "Blue Train"},
        {"UTF-8 in a Latin-1 frame",
         "\xC3\x9C"
         "ber L\xC3\xA4rm",
         false,
         "\x86"
         "ber L\x8Arm"},
        {"UTF-8 right single quote", "Don\xE2\x80\x99t", true, "Don\xD5t"},
        {"UTF-8 ordinal indicator",
         "Gymnop\xC3\xA9"
         "die n\xC2\xBA"
         "1",
         false,
         "Gymnop\x8E"
         "die n\xBC"
         "1"},
        {"Latin-1 letters",
         "\xDC"
         "ber \xC9t\xE9",
         false,
         "\x86"
         "ber \x83t\x8E"},
        {"Latin-1 that is not valid UTF-8 stays Latin-1", "Caf\xE9 \xC3", false, "Caf\x8E \xCC"},
        {"an invalid byte in UTF-8 is Latin-1", "Se\xC3\xB1or \xE9", true, "Se\x96or \x8E"},
        {"a UTF-8 sequence cut at the end", "abc\xC3", true, "abc\xCC"},
        {"Japanese has no Mac Roman letters", "\xE6\x97\xA5\xE6\x9C\xAC", true, "??"},
        {"emoji", "Hi \xF0\x9F\x8E\xB5", true, "Hi ?"},
        {"kept stand-ins", "\xC8\xA8\xC5\x99\xC2\xB4", true, "Er'"},
        {"C1 controls have no Mac Roman byte", "\x80\x80", false, "??"},
        {"empty", "", true, ""},
    };
    for (const auto& c : cases) {
        const std::u32string text =
            c.declaredUtf8 ? DecodeUtf8OrLatin1(c.in) : DecodeLatin1OrUtf8(c.in);
        EXPECT_EQ(TagTextToMacRoman(text).str(), c.out) << c.what;
    }
    EXPECT_EQ(TagTextToMacRoman(std::u32string(300, U'a')).size(), 255) << "cut to a PStr";
}

TEST(TagTextToMacRoman, Utf16) {
    const struct {
        const char* what;
        std::u16string in;
        std::string out;
    } cases[] = {
        {"Latin-1 range", u"Señor", "Se\x96or"},
        {"outside Latin-1", u"Ωmega – €", "\xBDmega \xD0 \xDB"},
        {"surrogate pair", u"a\U0001F3B5b", "a?b"},
        {"lone surrogates", std::u16string{u'a', 0xD800, u'b', 0xDC00}, "a?b?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TagTextToMacRoman(DecodeUtf16(c.in)).str(), c.out) << c.what;
    }
}

// Every character Mac Roman has must come out as its byte (the three stand-ins aside).
TEST(TagTextToMacRoman, AgreesWithTheMacRomanTable) {
    for (int byte = 0x20; byte < 0x100; ++byte) {
        const char32_t c = MacRomanToUnicode(static_cast<uint8_t>(byte));
        if (c == 0x00B4) {
            continue;
        }
        EXPECT_EQ(TagTextToMacRoman(std::u32string(1, c)).str(),
                  std::string(1, static_cast<char>(byte)))
            << byte;
    }
}

// What libraries saved by earlier versions hold; the duplicate test needs it byte-exact.
TEST(LegacyTagTextToMacRoman, SingleBytesThenPairsInOrder) {
    const struct {
        const char* what;
        std::string in;
        std::string out;
    } cases[] = {
        {"plain text", "Blue Train", "Blue Train"},
        {"Latin-1 e acute, n tilde, e grave", "\xE9\xF1\xE8", "\x8E\x96\x8F"},
        {"Latin-1 E acute passes", "\xC9t\xC9", "\xC9t\xC9"},
        {"UTF-8 e acute", "Beyonc\xC3\xA9", "Beyonc\x8E"},
        {"UTF-8 U umlaut passes",
         "\xC3\x9C"
         "ber",
         "\xC3\x9C"
         "ber"},
        {"a later pair matches an earlier pair's output", "\xC3\xC3\xB1", "\x85"},
        {"the scan goes on behind a replaced pair", "\x80\x80\x80", " \x80"},
        {"acute accent becomes an apostrophe", "Don\xC2\xB4t", "Don't"},
        {"a pair split by another byte", "\xC3x\xA9", "\xC3x\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LegacyTagTextToMacRoman(c.in).str(), c.out) << c.what;
    }
}

TEST(TakeZeroEndedText, StopsAtZeroLimitOrEnd) {
    const uint8_t bytes[] = {'a', 'b', 'c', 0, 'd', 'e'};
    const struct {
        size_t start, maxChars;
        std::string text;
    } cases[] = {{0, 10, "abc"}, {0, 2, "ab"}, {4, 10, "de"}, {6, 10, ""}, {99, 10, ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(TakeZeroEndedText(bytes, c.start, c.maxChars), c.text) << c.start;
    }
}

}  // namespace
}  // namespace harmovia
