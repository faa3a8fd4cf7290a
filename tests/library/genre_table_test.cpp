#include "library/genre_table.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

namespace harmovia {
namespace {

TEST(GenreTable, ContentsAsListed) {
    const auto& table = GenreTable();
    std::set<std::string_view> categories;
    std::vector<int> codes;
    for (int i = 1; i <= kGenreCount; ++i) {
        categories.insert(table[i].Category);
        codes.push_back(table[i].Code);
    }
    EXPECT_EQ(categories.size(), 32u);

    // Every code once: -7, -2, the ID3v1 numbers 0..147, 276..375 and 500..526. A wrong
    // code leaves a gap and a duplicate.
    std::vector<int> expectedCodes = {-7, -2};
    for (const auto& [from, to] : {std::pair{0, 147}, {276, 375}, {500, 526}}) {
        for (int code = from; code <= to; ++code) {
            expectedCodes.push_back(code);
        }
    }
    std::sort(codes.begin(), codes.end());
    EXPECT_EQ(codes, expectedCodes);
}

TEST(GenreTable, Lookups) {
    const std::tuple<const char*, std::optional<int>, std::optional<std::string_view>> cases[] = {
        {"blues", 501, "Blues"},
        {"TECHNO", 315, "Dance & DJ"},
        {"Noise", 316, "Heavy Metal"},
        {"Beat", 317, "R&B"},
        {"Classic Rock", 505, "Classic Rock"},
        {"Alternative Rock", 500, "Alternative"},
        {"rock & roll", 78, "Classic Rock"},
        {"Rock & Roll ", std::nullopt, std::nullopt},
        {"Rock", 523, "Rock"},
        {"", 60, "Misc."},
        {"Zydeco", std::nullopt, std::nullopt},
    };
    for (const auto& [name, code, category] : cases) {
        EXPECT_EQ(GenreCodeForName(name), code) << name;
        EXPECT_EQ(GenreCategoryForName(name), category) << name;
    }

    // The ID3v1 (Winamp) genre numbers, every tenth and the last, and the category-level
    // codes; 148 and up, the holiday code and 255 belong to no entry.
    const char* everyTenth[] = {
        "Blues",  "New Age", "Alternative", "Fusion", "",
        "",       "",        "Trailer",     "Folk",   "Avantgarde",
        "Humour", "Satire",  "Duet",        "Terror", "Contemporary Christian"};
    std::map<int, std::string_view> numbers = {
        {-7, "All Genres"},         {-2, "Unknown"},
        {147, "Synthpop"},          {276, "Goth"},
        {375, "Singer-Songwriter"}, {511, "Holiday & Seasonal"}};
    for (int k = 0; k < 15; ++k) {
        numbers[10 * k] = everyTenth[k];
    }
    for (const auto& [code, name] : numbers) {
        const GenreEntry* entry = GenreForCode(code);
        ASSERT_NE(entry, nullptr) << code;
        EXPECT_EQ(entry->Name, name) << code;
    }
    for (int code : {148, 177, 255, 499, 527}) {
        EXPECT_EQ(GenreForCode(code), nullptr) << code;
    }
}

// Every tune starts with code 255 and category "x": what the pass leaves alone stays so.
TEST(GenreTable, CategoryPass) {
    // The album, the genre, and the code and category the pass leaves.
    const std::tuple<const char*, const char*, int16_t, const char*> cases[] = {
        {"Decemberists Live", "Folk", kHolidayCode, "Holiday & Seasonal"},
        {"a santa claus story", "Jazz", kHolidayCode, "Holiday & Seasonal"},
        {"Santa Klaus", "Jazz", 255, "Jazz"},
        {"Plain", "Unknown", -2, "Unknown"},
        {"Plain", "unknown", 255, "Unknown"},
        {"Plain", "techno", 255, "Dance & DJ"},
        {"Plain", "Zydeco", 255, "x"},
    };
    Library library;
    TuneRecord& r = library[1];
    for (const auto& [album, genre, code, category] : cases) {
        r.Album.Set(album);
        r.Genre.Set(genre);
        r.GenreCode = 255;
        r.GenreCategory.Set("x");
        AssignGenreCategories(library, 1, 1);
        EXPECT_EQ(r.Genre.view(), code == kHolidayCode ? "Holiday & Seasonal" : genre) << album;
        EXPECT_EQ(r.GenreCode, code) << album;
        EXPECT_EQ(r.GenreCategory.view(), category) << album;
    }
    // Slot 0 is never used, whatever range is asked for; the last slot is.
    library[0].Album.Set("Xmas");
    library[kMaxTunes].Album.Set("Xmas");
    AssignGenreCategories(library, 0, 1);
    AssignGenreCategories(library, kMaxTunes, kMaxTunes + 1);
    EXPECT_EQ(library[0].GenreCode, 0);
    EXPECT_EQ(library[kMaxTunes].GenreCode, kHolidayCode);
}

}  // namespace
}  // namespace harmovia
