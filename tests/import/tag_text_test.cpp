#include "import/tag_text.h"

#include <string>

#include <gtest/gtest.h>

#include "library/mac_roman.h"

namespace harmovia {
namespace {

// Tag text, decoded as its frame declares, to the Mac Roman bytes stored.
TEST(TagTextToMacRoman, DecodedTextAsStored) {
    const struct {
        const char* what;
        std::u32string text;
        std::string out;
    } cases[] = {
        {"UTF-8 in a Latin-1 frame", DecodeLatin1OrUtf8("\xC3\x9Cmit L\xC3\xA4rm"),
         "\x86mit L\x8Arm"},
        {"UTF-8 quote and ordinal", DecodeUtf8OrLatin1("Don\xE2\x80\x99t No\xC2\xBA"),
         "Don\xD5t No\xBC"},
        {"Latin-1 letters", DecodeLatin1OrUtf8("\xDCmit \xC9t\xE9"), "\x86mit \x83t\x8E"},
        {"Latin-1 that is not valid UTF-8 stays Latin-1", DecodeLatin1OrUtf8("Caf\xE9 \xC3"),
         "Caf\x8E \xCC"},
        {"a UTF-8 sequence cut at the end", DecodeUtf8OrLatin1("abc\xC3"), "abc\xCC"},
        {"no Mac Roman letters", DecodeUtf8OrLatin1("\xE6\x97\xA5 \xF0\x9F\x8E\xB5"), "? ?"},
        {"kept stand-ins", DecodeUtf8OrLatin1("\xC8\xA8\xC5\x99\xC2\xB4"), "Er'"},
        {"C1 controls have no Mac Roman byte", DecodeLatin1OrUtf8("\x80\x80"), "??"},
        {"UTF-16 pair and lone surrogates",
         DecodeUtf16(std::u16string{0xD83C, 0xDFB5, u'a', 0xD800, u'b', 0xDC00}), "?a?b?"},
        {"cut to 255", std::u32string(300, U'a'), std::string(255, 'a')},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TagTextToMacRoman(c.text).str(), c.out) << c.what;
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
        {"Latin-1 e acute, n tilde, e grave", "\xE9\xF1\xE8", "\x8E\x96\x8F"},
        {"Latin-1 E acute passes", "\xC9t\xC9", "\xC9t\xC9"},
        {"UTF-8 e acute", "Beyonc\xC3\xA9", "Beyonc\x8E"},
        {"UTF-8 U umlaut passes", "\xC3\x9Cmit", "\xC3\x9Cmit"},
        {"a later pair matches an earlier pair's output", "\xC3\xC3\xB1", "\x85"},
        {"the scan goes on behind a replaced pair", "\x80\x80\x80", " \x80"},
        {"acute accent becomes an apostrophe", "Don\xC2\xB4t", "Don't"},
        {"a pair split by another byte", "\xC3x\xA9", "\xC3x\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LegacyTagTextToMacRoman(c.in).str(), c.out) << c.what;
    }
}

}  // namespace
}  // namespace harmovia
