#include <gtest/gtest.h>

#include <string>

#include "library/mac_roman.h"
#include "library/number_text.h"
#include "library/pstr.h"
#include "library/random_source.h"

namespace harmovia {
namespace {

TEST(PStr, CutsToCapacity) {
    const std::string longText(300, 'x');
    EXPECT_EQ(PStr(longText).size(), 255);
    PStr appended(std::string(250, 'a'));
    appended += "bcdefgh";
    EXPECT_EQ(appended.view(), std::string(250, 'a') + "bcdef");

    Text63 genre;
    genre.bytes.fill('z');
    genre.Set(longText);
    EXPECT_EQ(genre.view(), std::string(63, 'x'));
    genre.Set("Rock");
    EXPECT_EQ(genre.view(), "Rock");
    EXPECT_EQ(genre.bytes[5], 'x') << "bytes behind the text stay as they were";

    genre.bytes[0] = 200;  // a damaged length byte never reads past the slot
    EXPECT_EQ(genre.view().size(), 63u);
}

TEST(NumberText, BlankOrMinusInFront) {
    const struct {
        int64_t value;
        const char* text;
    } cases[] = {{0, " 0"}, {45, " 45"}, {-3, "-3"}, {4353, " 4353"}, {-17406, "-17406"}};
    for (const auto& c : cases) {
        EXPECT_EQ(NumberText(c.value), c.text) << c.value;
    }
}

TEST(RoundHalfEven, TiesGoToEven) {
    const struct {
        double value;
        int64_t rounded;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
                 {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {7.0, 7}, {123456.5, 123456}};
    for (const auto& c : cases) {
        EXPECT_EQ(RoundHalfEven(c.value), c.rounded) << c.value;
    }
}

TEST(MacRoman, CaseTables) {
    const struct {
        uint8_t lower, upper;
    } letters[] = {{'a', 'A'}, {'z', 'Z'}, {0x8E, 0x83} /* é É */, {0x8A, 0x80} /* ä Ä */,
                   {0x96, 0x84} /* ñ Ñ */, {0xBF, 0xAF} /* ø Ø */, {0xD8, 0xD9} /* ÿ Ÿ */};
    for (const auto& l : letters) {
        EXPECT_EQ(MacRomanUpper(l.lower), l.upper) << int(l.lower);
        EXPECT_EQ(MacRomanLower(l.upper), l.lower) << int(l.upper);
    }
    for (uint8_t unchanged : {uint8_t('1'), uint8_t('&'), uint8_t(0xA7) /* ß */,
                              uint8_t(0xF5) /* ı */, uint8_t(0xB5) /* µ */}) {
        EXPECT_EQ(MacRomanUpper(unchanged), unchanged) << int(unchanged);
    }
    // Every upper-cased byte is a fixed point: upper-casing twice changes nothing.
    for (int c = 0; c < 256; ++c) {
        const uint8_t u = MacRomanUpper(static_cast<uint8_t>(c));
        EXPECT_EQ(MacRomanUpper(u), u) << c;
    }
    EXPECT_EQ(UpperCased("Merry Xmas"), "MERRY XMAS");
}

TEST(MacRoman, Utf8RoundTripAndReplacement) {
    std::string all;
    for (int c = 1; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    EXPECT_EQ(Utf8ToMacRoman(MacRomanToUtf8(all)), all);
    EXPECT_EQ(MacRomanToUtf8("Caf\x8E"), "Caf\xC3\xA9");
    const struct {
        const char* utf8;
        const char* macRoman;
    } cases[] = {
        {"\xE2\x82\xAC", "\xDB"},     // euro sign
        {"\xE6\x97\xA5", "?"},        // a character Mac Roman lacks
        {"a\xFF" "b", "a?b"},         // not UTF-8 at all
        {"\xC3", "?"},                // cut short
        {"\xC0\xAF", "?"},            // overlong form
        {"\xF0\x9F\x8E\xB5!", "?!"},  // outside the basic plane
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToMacRoman(c.utf8), c.macRoman) << c.utf8;
    }
}

TEST(RandomSource, RangeAndZero) {
    RandomSource random(42);
    EXPECT_EQ(random.Random(0), 1);
    bool seen[11] = {};
    for (int i = 0; i < 2000; ++i) {
        const int32_t r = random.Random(10);
        ASSERT_GE(r, 1);
        ASSERT_LE(r, 10);
        seen[r] = true;
    }
    for (int r = 1; r <= 10; ++r) {
        EXPECT_TRUE(seen[r]) << r;
    }
    RandomSource a(7), b(7);
    EXPECT_EQ(a.Next31(), b.Next31()) << "a seed gives a repeatable sequence";
}

}  // namespace
}  // namespace harmovia
