#include "library/genre_table.h"

#include <map>
#include <memory>
#include <set>

#include <gtest/gtest.h>

namespace harmovia {
namespace {

TEST(GenreTable, ContentsAsListed) {
    const auto& table = GenreTable();
    std::map<std::string_view, int> names;
    std::set<std::string_view> categories;
    for (int i = 1; i <= kGenreCount; ++i) {
        ++names[table[i].Name];
        categories.insert(table[i].Category);
    }
    EXPECT_EQ(names[""], 21);
    std::set<std::string_view> twice;
    for (const auto& [name, count] : names) {
        if (count == 2) {
            twice.insert(name);
        }
        EXPECT_TRUE(count <= 2 || name.empty()) << name;
    }
    const std::set<std::string_view> expectedTwice = {
        "All Genres", "Beat",       "Blues",  "Classic Rock", "Classical", "Folk", "International",
        "Jazz",       "New Age",    "Noise",  "Oldies",       "Opera",     "Pop",  "R&B",
        "Rock",       "Soundtrack", "Techno", "Unknown",      "Vocal"};
    EXPECT_EQ(twice, expectedTwice);
    EXPECT_EQ(categories.size(), 32u);
}

TEST(GenreTable, Lookups) {
    const struct {
        const char* name;
        std::optional<int16_t> code;
        std::optional<std::string_view> category;
    } cases[] = {
        {"blues", 501, "Blues"},
        {"BLUES", 501, "Blues"},
        {"TECHNO", 315, "Dance & DJ"},
        {"Noise", 316, "Heavy Metal"},
        {"Beat", 317, "R&B"},
        {"Classic Rock", 505, "Classic Rock"},
        {"Alternative Rock", 500, "Alternative"},
        {"Alternative", 20, "Alternative Rock"},
        {"Hard Rock & Metal", 510, "Heavy Metal"},
        {"International", 513, "World & International"},
        {"Terror", 130, "Holiday & Seasonal"},
        {"rock & roll", 78, "Classic Rock"},
        {"Rock and Roll", std::nullopt, std::nullopt},
        {"Rock & Roll ", std::nullopt, std::nullopt},
        {"Rock", 523, "Rock"},
        {"", 60, "Misc."},
        {"Zydeco", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GenreCodeForName(c.name), c.code) << c.name;
        EXPECT_EQ(GenreCategoryForName(c.name), c.category) << c.name;
    }
    ASSERT_NE(GenreForCode(45), nullptr);
    EXPECT_EQ(GenreForCode(45)->Name, "");
    EXPECT_EQ(GenreForCode(17)->Name, "Rock");
    for (int code : {148, 177, 255}) {
        EXPECT_EQ(GenreForCode(code), nullptr) << code;
    }
}

TEST(GenreTable, CategoryPass) {
    const struct {
        const char* album;
        const char* genre;
        int16_t code;
        const char* category;
        const char* expectedGenre;
        int16_t expectedCode;
        const char* expectedCategory;
    } cases[] = {
        {"Merry Xmas Songs", "Rock", 523, "Rock", "Holiday & Seasonal", 177, "Holiday & Seasonal"},
        {"Decemberists Live", "Folk", 509, "Folk", "Holiday & Seasonal", 177, "Holiday & Seasonal"},
        {"a santa claus story", "Jazz", 514, "x", "Holiday & Seasonal", 177, "Holiday & Seasonal"},
        {"Santa Klaus", "Jazz", 514, "x", "Jazz", 514, "Jazz"},
        {"Plain", "Unknown", 255, "Unknown", "Unknown", -2, "Unknown"},
        {"Plain", "unknown", 255, "unknown", "unknown", 255, "Unknown"},
        {"Plain", "techno", 315, "techno", "techno", 315, "Dance & DJ"},
        {"Plain", "Zydeco", 255, "Zydeco", "Zydeco", 255, "Zydeco"},
    };
    auto library = std::make_unique<Library>();
    int slot = 0;
    for (const auto& c : cases) {
        TuneRecord& r = (*library)[++slot];
        r.Album.Set(c.album);
        r.Genre.Set(c.genre);
        r.GenreCode = c.code;
        r.GenreCategory.Set(c.category);
    }
    AssignGenreCategories(*library, 1, slot);
    slot = 0;
    for (const auto& c : cases) {
        const TuneRecord& r = (*library)[++slot];
        EXPECT_EQ(r.Genre.view(), c.expectedGenre) << c.album << "/" << c.genre;
        EXPECT_EQ(r.GenreCode, c.expectedCode) << c.album << "/" << c.genre;
        EXPECT_EQ(r.GenreCategory.view(), c.expectedCategory) << c.album << "/" << c.genre;
    }
}

}  // namespace
}  // namespace harmovia
