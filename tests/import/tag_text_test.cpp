#include "import/tag_text.h"

#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace harmovia {
namespace {

// Tag text, decoded as its frame declares, to the Mac Roman bytes stored; and what libraries
// saved by earlier versions hold, which the duplicate test needs byte-exact.
TEST(TagTextToMacRoman, DecodedAndLegacyTextAsStored) {
    const auto tag = [](const std::u32string& text) { return TagTextToMacRoman(text).str(); };
    const auto legacy = [](std::string_view text) { return LegacyTagTextToMacRoman(text).str(); };
    const struct {
        const char* what;
        std::string out, expected;
    } cases[] = {
        {"UTF-8 in a Latin-1 frame", tag(DecodeLatin1OrUtf8("\xC3\x9Cmit L\xC3\xA4rm")),
         "\x86mit L\x8Arm"},
        {"UTF-8 quote and ordinal", tag(DecodeUtf8OrLatin1("Don\xE2\x80\x99t No\xC2\xBA")),
         "Don\xD5t No\xBC"},
        {"Latin-1 letters", tag(DecodeLatin1OrUtf8("\xDCmit \xC9t\xE9")), "\x86mit \x83t\x8E"},
        {"Latin-1 that is not valid UTF-8 stays Latin-1", tag(DecodeLatin1OrUtf8("Caf\xE9 \xC3")),
         "Caf\x8E \xCC"},
        {"a UTF-8 sequence cut at the end", tag(DecodeUtf8OrLatin1("abc\xC3")), "abc\xCC"},
        {"no Mac Roman letters", tag(DecodeUtf8OrLatin1("\xE6\x97\xA5 \xF0\x9F\x8E\xB5")), "? ?"},
        {"kept stand-ins", tag(DecodeUtf8OrLatin1("\xC8\xA8\xC5\x99\xC2\xB4")), "Er'"},
        {"C1 controls have no Mac Roman byte", tag(DecodeLatin1OrUtf8("\x80\x80")), "??"},
        {"UTF-16 pair and lone surrogates",
         tag(DecodeUtf16(std::u16string{0xD83C, 0xDFB5, u'a', 0xD800, u'b', 0xDC00})), "?a?b?"},
        {"cut to 255", tag(std::u32string(300, U'a')), std::string(255, 'a')},
        {"legacy Latin-1 e acute, n tilde, e grave", legacy("\xE9\xF1\xE8"), "\x8E\x96\x8F"},
        {"legacy Latin-1 E acute passes", legacy("\xC9t\xC9"), "\xC9t\xC9"},
        {"legacy UTF-8 e acute", legacy("Beyonc\xC3\xA9"), "Beyonc\x8E"},
        {"legacy UTF-8 U umlaut passes", legacy("\xC3\x9Cmit"), "\xC3\x9Cmit"},
        {"a later pair matches an earlier pair's output", legacy("\xC3\xC3\xB1"), "\x85"},
        {"the scan goes on behind a replaced pair", legacy("\x80\x80\x80"), " \x80"},
        {"acute accent becomes an apostrophe", legacy("Don\xC2\xB4t"), "Don't"},
        {"a pair split by another byte", legacy("\xC3x\xA9"), "\xC3x\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.out, c.expected) << c.what;
    }
}

}  // namespace
}  // namespace harmovia
