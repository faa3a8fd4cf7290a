#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "library/durations.h"
#include "library/mac_roman.h"
#include "library/number_text.h"
#include "library/pstr.h"

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

TEST(NumberTexts, DurationsAndSizes) {
    const std::pair<int32_t, const char*> clock[] = {
        {9, "0:09"},        {10, "0:10"},      {60, "1:00"},        {754, "12:34"},
        {3600, "1:00:00"},  {4140, "1:09:00"}, {36610, "10:10:10"}, {86399, "23:59:59"},
        {86400, "1:0:0:0"}, {90061, "1:1:1:1"}};
    for (const auto& [seconds, text] : clock) {
        EXPECT_EQ(DurationText(seconds), text);
    }
    const std::pair<int32_t, const char*> words[] = {{45, " 45 secs "},
                                                     {60, " 1 min  0 secs "},
                                                     {120, " 2 mins  0 secs "},
                                                     {7507, " 2 hrs 5 mins  7 secs "},
                                                     {90061, " 1 day  1 hr  1 mins  1 secs "}};
    for (const auto& [seconds, text] : words) {
        EXPECT_EQ(DurationWords(seconds), text);
    }
    const std::pair<uint32_t, const char*> sizes[] = {
        {1025, " 1 GB"}, {2047, " 1 GB"}, {2048, " 2 GB"}};
    for (const auto& [megabytes, text] : sizes) {
        EXPECT_EQ(SizeText(megabytes), text);
    }
}

TEST(RoundHalfEven, TiesGoToEven) {
    const std::pair<double, int64_t> cases[] = {
        {0.5, 0},   {1.5, 2},    {2.5, 2},    {3.5, 4},   {-0.5, 0}, {-1.5, -2},
        {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {-2.6, -3}, {7.0, 7},  {123456.5, 123456}};
    for (const auto& [value, rounded] : cases) {
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    }
}

TEST(MacRoman, CaseTables) {
    // a, z, é, ä, ñ, ø and ÿ with their capitals.
    const std::pair<uint8_t, uint8_t> letters[] = {{'a', 'A'},   {'z', 'Z'},   {0x8E, 0x83},
                                                   {0x8A, 0x80}, {0x96, 0x84}, {0xBF, 0xAF},
                                                   {0xD8, 0xD9}};
    for (const auto& [lower, upper] : letters) {
        EXPECT_EQ(MacRomanUpper(lower), upper) << int(lower);
        EXPECT_EQ(MacRomanLower(upper), lower) << int(upper);
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
}

TEST(MacRoman, Utf8RoundTripAndReplacement) {
    std::string all;
    for (int c = 1; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    EXPECT_EQ(Utf8ToMacRoman(MacRomanToUtf8(all)), all);
    EXPECT_EQ(MacRomanToUtf8("Caf\x8E"), "Caf\xC3\xA9");
    const std::pair<const char*, const char*> cases[] = {
        {"\xE2\x82\xAC", "\xDB"},     // euro sign
        {"\xE6\x97\xA5", "?"},        // a character Mac Roman lacks
        {"a\xFFz", "a?z"},            // not UTF-8 at all
        {"\xC3", "?"},                // cut short
        {"\xC0\xAF", "?"},            // overlong form
        {"\xF0\x9F\x8E\xB5!", "?!"},  // outside the basic plane
    };
    for (const auto& [utf8, macRoman] : cases) {
        EXPECT_EQ(Utf8ToMacRoman(utf8), macRoman) << utf8;
    }
}

}  // namespace
}  // namespace harmovia
