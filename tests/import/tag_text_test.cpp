#include "import/tag_text.h"

#include <string>

#include <gtest/gtest.h>

#include "library/mac_roman.h"

namespace harmovia {
namespace {

TEST(TagTextToMacRoman, SingleBytesThenPairsInOrder) {
    const struct {
        const char* what;
        std::string in;
        std::string out;
    } cases[] = {
        {"plain text", "Blue Train", "Blue Train"},
        {"Latin-1 e acute, n tilde, e grave", "\xE9\xF1\xE8", "\x8E\x96\x8F"},
        {"Latin-1 E acute passes", "\xC9t\xC9", "\xC9t\xC9"},
        {"UTF-8 e acute", "Beyonc\xC3\xA9", "Beyonc\x8E"},
        {"a later pair matches an earlier pair's output", "\xC3\xC3\xB1", "\x85"},
        {"the scan goes on behind a replaced pair", "\x80\x80\x80", " \x80"},
        {"acute accent becomes an apostrophe", "Don\xC2\xB4t", "Don't"},
        {"odd replacements", "\xC8\xA8\xC5\x99", "Er"},
        {"a lone lead byte at the end", "abc\xC3", "abc\xC3"},
        {"a pair split by another byte", "\xC3x\xA9", "\xC3x\xA9"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TagTextToMacRoman(c.in).str(), c.out) << c.what;
    }
    EXPECT_EQ(TagTextToMacRoman(std::string(300, 'a')).size(), 255) << "cut to a PStr";
}

// Every pair that spells a Latin-1 letter in UTF-8 must land on that letter's Mac Roman
// code, as the independent Unicode table of the library says.
TEST(TagTextToMacRoman, LetterPairsAgreeWithTheUnicodeTable) {
    const char32_t letters[] = {U'ñ', U'ê', U'ç', U'ã', U'ô', U'è', U'à', U'É', U'Ö', U'«', U'»',
                                U'Ø', U'é', U'â', U'á', U'ó', U'í', U'ò', U'Á', U'ú', U'Â'};
    for (const char32_t letter : letters) {
        const std::string utf8 = {static_cast<char>(0xC0 | (letter >> 6)),
                                  static_cast<char>(0x80 | (letter & 0x3F))};
        const std::string expected(1, static_cast<char>(UnicodeToMacRoman(letter)));
        EXPECT_EQ(TagTextToMacRoman(utf8).str(), expected) << static_cast<uint32_t>(letter);
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
