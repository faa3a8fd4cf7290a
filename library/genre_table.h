#pragma once

// The genre table: every genre name the program knows, with its code and the category the
// browse-by-genre features group it under. Constant data, stored already in lookup order:
// ascending byte order of Name (case-sensitive; a prefix before the longer name, so the 21
// empty names come first), equal names in ascending order of Code. Lookups scan in that
// order, and their results depend on it.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "library/tune_library.h"

namespace harmovia {

struct GenreEntry {
    std::string_view Name;
    std::string_view Category;
    int16_t Code;
};

inline constexpr int kGenreCount = 277;

// Codes that belong to no entry: a genre text not in the table, and a holiday album.
inline constexpr int16_t kUnlistedGenreCode = 255;
inline constexpr int16_t kHolidayCode = 177;  // HolidayCode
inline constexpr int16_t kUnknownGenreCode = -2;

// Entries 1..277 in lookup order (element 0 is an unused empty entry).
const std::array<GenreEntry, kGenreCount + 1>& GenreTable();

// Names are compared after upper-casing both through the Mac Roman table, as whole texts.
// The last matching entry's code: a name listed twice gives the higher code.
std::optional<int16_t> GenreCodeForName(std::string_view name);
// The first matching entry's category: a name listed twice gives the lower code's.
std::optional<std::string_view> GenreCategoryForName(std::string_view name);
// The entry with this code.
const GenreEntry* GenreForCode(int32_t code);

// The holiday and category pass over library slots first..last (inclusive).
void AssignGenreCategories(Library& library, int32_t first, int32_t last);

// The texts behind the Mood By Genre menus: entry 0 "All Tunes", then the 28 categories.
inline constexpr int kGenreMenuCount = 29;
inline constexpr std::array<std::string_view, kGenreMenuCount> GenreMenuList = {
    "All Tunes",
    "Alternative Rock",
    "Blues",
    "Christian & Religious",
    "Classical",
    "Country & Bluegrass",
    "Dance & DJ",
    "Easy Listening",
    "Electronic & Techno",
    "Folk",
    "Gospel",
    "Heavy Metal",
    "Holiday & Seasonal",
    "Instrumental",
    "Jazz",
    "Latin & Brazilian",
    "Lounge & Exotica",
    "New Age",
    "Oldies",
    "Opera",
    "Pop",
    "Rap & HipHop",
    "Reggae",
    "Rock",
    "R&B",
    "Soundtrack",
    "Vocal",
    "World & International",
    "Young Adult & Children"};

}  // namespace harmovia
