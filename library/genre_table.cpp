#include "library/genre_table.h"

#include <algorithm>

#include "library/mac_roman.h"

namespace harmovia {
namespace {

// Sorted by Name (byte order), then Code; every lookup depends on this order.
constexpr std::array<GenreEntry, kGenreCount + 1> kGenreTable = {{
    {"", "", 0},  // element 0: unused
    {"", "Misc.", 40},
    {"", "Misc.", 41},
    {"", "Misc.", 42},
    {"", "Misc.", 43},
    {"", "Misc.", 44},
    {"", "Misc.", 45},
    {"", "Misc.", 46},
    {"", "Misc.", 47},
    {"", "Misc.", 48},
    {"", "Misc.", 49},
    {"", "Misc.", 50},
    {"", "Misc.", 51},
    {"", "Misc.", 52},
    {"", "Misc.", 53},
    {"", "Misc.", 54},
    {"", "Misc.", 55},
    {"", "Misc.", 56},
    {"", "Misc.", 57},
    {"", "Misc.", 58},
    {"", "Misc.", 59},
    {"", "Misc.", 60},
    {"Acapella", "Misc.", 123},
    {"Acid", "Heavy Metal", 34},
    {"Acid Jazz", "Jazz", 74},
    {"Acid Punk", "Alternative Rock", 73},
    {"Acoustic", "Folk", 99},
    {"Acoustic Blues", "Blues", 347},
    {"Afro-Latin", "Latin & Brazilian", 337},
    {"All Genres", "All Genres", -7},
    {"All Genres", "All Genres", 526},
    {"Alternative", "Alternative Rock", 20},
    {"Alternative Rock", "Alternative", 500},
    {"Ambient", "Dance & DJ", 26},
    {"Americana", "Holiday & Seasonal", 328},
    {"Anime", "World & International", 145},
    {"Anthem", "Holiday & Seasonal", 329},
    {"Arena Rock", "Rock", 362},
    {"Avantgarde", "Jazz", 90},
    {"Ballad", "Folk", 116},
    {"Beat", "R&B", 135},
    {"Beat", "Electronic & Techno", 317},
    {"Bebop", "Jazz", 85},
    {"Big Band", "Jazz", 96},
    {"Black Metal", "Heavy Metal", 138},
    {"Bluegrass", "Country & Bluegrass", 89},
    {"Blues", "Blues", 0},
    {"Blues", "Blues", 501},
    {"Booty Bass", "Dance & DJ", 107},
    {"Brazilian", "Latin & Brazilian", 343},
    {"Brazilian Jazz", "Jazz", 344},
    {"BritPop", "Classic Rock", 132},
    {"British Rock", "Rock", 360},
    {"Cabaret", "Vocal", 65},
    {"Celtic", "Folk", 88},
    {"Chamber Music", "Classical", 104},
    {"Chanson", "Misc.", 102},
    {"Chicago Blues", "Blues", 348},
    {"Chorro", "Latin & Brazilian", 339},
    {"Chorus", "Vocal", 97},
    {"Christian & Gospel", "Christian & Gospel", 504},
    {"Christian Gangsta Rap", "Christian & Gospel", 136},
    {"Christian Rap", "Christian & Gospel", 61},
    {"Christian Rock", "Christian & Gospel", 141},
    {"Christmas", "Holiday & Seasonal", 325},
    {"Classic Female Vocal Blues", "Vocal", 349},
    {"Classic Rock", "Classic Rock", 1},
    {"Classic Rock", "Rock", 505},
    {"Classical", "Classical", 32},
    {"Classical", "Classical", 506},
    {"Classics", "Classical", 284},
    {"Club", "Dance & DJ", 112},
    {"Club-House", "Dance & DJ", 128},
    {"Contemporary Blues", "Blues", 350},
    {"Contemporary Christian", "Christian & Gospel", 140},
    {"Cool Jazz", "Jazz", 294},
    {"Country", "Country & Bluegrass", 2},
    {"Country & Bluegrass", "Country & Bluegrass", 507},
    {"Country Gospel", "Christian & Gospel", 358},
    {"Cowboy", "Country & Bluegrass", 364},
    {"Creative", "Jazz", 321},
    {"Creative Music", "Jazz", 322},
    {"Crossover", "Jazz", 139},
    {"Cuban", "Latin & Brazilian", 336},
    {"Dance", "Dance & DJ", 3},
    {"Dance & DJ", "Dance & DJ", 508},
    {"Dance Hall", "Dance & DJ", 125},
    {"Death Metal", "Heavy Metal", 22},
    {"Delta Blues", "Blues", 291},
    {"Disco", "Dance & DJ", 4},
    {"Drum & Bass", "Dance & DJ", 127},
    {"Drum Solo", "Jazz", 122},
    {"Duet", "Misc.", 120},
    {"Easy Listening", "Easy Listening", 98},
    {"Educational", "Young Adult & Children", 356},
    {"Electric Blues Guitar", "Blues", 351},
    {"Electronic", "Electronic & Techno", 314},
    {"Electronica", "Electronic & Techno", 318},
    {"Electronica/Dance", "Electronic & Techno", 313},
    {"Euro-House", "Dance & DJ", 124},
    {"Euro-Techno", "Dance & DJ", 25},
    {"Exotica", "Lounge & Exotica", 281},
    {"Experimental", "Electronic & Techno", 320},
    {"Fast Fusion", "Jazz", 84},
    {"Film Score", "Soundtrack", 304},
    {"Folk", "Folk", 80},
    {"Folk", "Folk", 509},
    {"Folk-Rock", "Folk", 81},
    {"Folklore", "Folk", 115},
    {"Free Jazz", "Jazz", 312},
    {"Freestyle", "Dance & DJ", 119},
    {"Funk", "R&B", 5},
    {"Fusion", "Jazz", 30},
    {"Game", "Misc.", 36},
    {"General Jazz", "Jazz", 297},
    {"General Pop", "Pop", 298},
    {"General Rock", "Misc.", 299},
    {"Glam", "Rock", 361},
    {"Goa", "Misc.", 126},
    {"Gospel", "Christian & Gospel", 38},
    {"Gospel & Religious", "Christian & Gospel", 300},
    {"Goth", "Alternative Rock", 276},
    {"Gothic Rock", "Alternative Rock", 91},
    {"Groove", "Jazz", 338},
    {"Groove Soul", "R&B", 118},
    {"Grunge", "Misc.", 6},
    {"Halloween", "Holiday & Seasonal", 326},
    {"Hard Rock", "Heavy Metal", 79},
    {"Hard Rock & Metal", "Heavy Metal", 510},
    {"Hardbop", "Jazz", 292},
    {"Hardcore", "Alternative Rock", 129},
    {"Heavy Metal", "Heavy Metal", 137},
    {"Hip-Hop", "Rap & HipHop", 7},
    {"Hoilday Classics", "Holiday & Seasonal", 283},
    {"Holiday", "Holiday & Seasonal", 277},
    {"Holiday & Seasonal", "Holiday & Seasonal", 511},
    {"Holiday Jazz", "Holiday & Seasonal", 282},
    {"Honky-Tonk", "Country & Bluegrass", 366},
    {"House", "Dance & DJ", 35},
    {"Humour", "Misc.", 100},
    {"Hymns", "Christian & Gospel", 359},
    {"Indian", "World & International", 333},
    {"Indie", "Alternative Rock", 131},
    {"Industrial", "Alternative Rock", 19},
    {"Instrumental", "Instrumental", 33},
    {"International", "World & International", 286},
    {"International", "World & International", 513},
    {"Jam Bands", "Rock", 373},
    {"Jazz", "Jazz", 8},
    {"Jazz", "Jazz", 514},
    {"Jazz+Funk", "Jazz", 29},
    {"Jazz/World Beat", "Jazz", 287},
    {"Jpop", "Pop", 146},
    {"Jungle", "World & International", 63},
    {"Latin", "Latin & Brazilian", 86},
    {"Latin & Brazilian", "Latin & Brazilian", 515},
    {"Latin Blues", "Blues", 303},
    {"Latin Jazz", "Jazz", 295},
    {"Lite FM", "Easy Listening", 330},
    {"Lite Jazz", "Jazz", 332},
    {"Lo-Fi", "World & International", 71},
    {"Lounge", "Lounge & Exotica", 278},
    {"Lounge & Exotica", "Lounge & Exotica", 512},
    {"Lullabies", "Young Adult & Children", 355},
    {"Merengue", "Latin & Brazilian", 142},
    {"Metal", "Heavy Metal", 9},
    {"Metal Jazz", "Jazz", 319},
    {"Mexican", "World & International", 345},
    {"Mexican Jazz", "Jazz", 346},
    {"Misc.", "Misc.", 516},
    {"Modern Blues", "Blues", 352},
    {"Motown", "R&B", 368},
    {"Musical", "Soundtrack", 77},
    {"National Folk", "Folk", 82},
    {"Native US", "Misc.", 64},
    {"Negerpunk", "Alternative Rock", 133},
    {"Neo-Soul", "R&B", 371},
    {"New Age", "New Age", 10},
    {"New Age", "New Age", 517},
    {"New Jack", "R&B", 369},
    {"New Wave", "Alternative Rock", 66},
    {"Noise", "Heavy Metal", 39},
    {"Noise", "Electronic & Techno", 316},
    {"Oldies", "Oldies", 11},
    {"Oldies", "Oldies", 518},
    {"Opera", "Opera", 103},
    {"Opera", "Opera", 519},
    {"Other", "Misc.", 12},
    {"Outlaw", "Country & Bluegrass", 367},
    {"Piano Jazz", "Jazz", 296},
    {"Polka", "Misc.", 75},
    {"Polsk Punk", "Alternative Rock", 134},
    {"Pop", "Pop", 13},
    {"Pop", "Pop", 520},
    {"Pop Jazz", "Jazz", 341},
    {"Pop/Funk", "Pop", 62},
    {"Pop/Jazz", "Jazz", 307},
    {"Pop/Rock", "Pop", 309},
    {"Pop/Vocal", "Vocal", 308},
    {"Porn Groove", "Dance & DJ", 109},
    {"Postbop", "Jazz", 293},
    {"Power Ballad", "Misc.", 117},
    {"Pranks", "Misc.", 23},
    {"Primus", "Misc.", 108},
    {"Progressive", "Dance & DJ", 323},
    {"Progressive Rock", "Alternative Rock", 92},
    {"Psychadelic", "Classic Rock", 67},
    {"Psychedelic Rock", "Rock", 93},
    {"Punk Rock", "Alternative Rock", 121},
    {"Quiet Storm", "R&B", 372},
    {"R&B", "R&B", 14},
    {"R&B", "R&B", 521},
    {"Rap", "Rap & HipHop", 15},
    {"Rap & HipHop", "Rap & HipHop", 522},
    {"Rave", "Misc.", 68},
    {"Reggae", "Reggae", 16},
    {"Regional Blues", "Blues", 353},
    {"Retro", "Oldies", 76},
    {"Revival", "Misc.", 87},
    {"Rock", "Rock", 17},
    {"Rock", "Rock", 523},
    {"Rock & Roll", "Classic Rock", 78},
    {"Roots Rock", "Rock", 374},
    {"SFX", "Electronic & Techno", 310},
    {"Sacred", "Christian & Gospel", 301},
    {"Sacred Jazz", "Jazz", 302},
    {"Salsa", "Latin & Brazilian", 143},
    {"Samba", "Latin & Brazilian", 114},
    {"Satire", "Misc.", 110},
    {"Scary", "Holiday & Seasonal", 327},
    {"Seasonal", "Holiday & Seasonal", 324},
    {"Showtunes", "Vocal", 69},
    {"Sing-A-Long", "Young Adult & Children", 357},
    {"Singer-Songwriter", "Rock", 375},
    {"Ska", "Alternative Rock", 21},
    {"Slow Jam", "Rock", 111},
    {"Slow Rock", "Rock", 95},
    {"Smooth Jazz", "Jazz", 331},
    {"Sonata", "Classical", 105},
    {"Soul", "R&B", 370},
    {"Soul Jazz", "Jazz", 290},
    {"Sound Clip", "Misc.", 37},
    {"Soundtrack", "Soundtrack", 24},
    {"Soundtrack", "Soundtrack", 524},
    {"Speech", "Misc.", 101},
    {"Stadium Rock", "Rock", 363},
    {"Surf", "Rock", 311},
    {"Swing", "Jazz", 83},
    {"Symphonic Rock", "Rock", 94},
    {"Symphony", "Classical", 106},
    {"Synthpop", "Pop", 147},
    {"TV Theme", "Soundtrack", 305},
    {"Tango", "Latin & Brazilian", 113},
    {"Techno", "Dance & DJ", 18},
    {"Techno", "Electronic & Techno", 315},
    {"Terror", "Holiday & Seasonal", 130},
    {"Tiki Tropical", "Lounge & Exotica", 280},
    {"Traditional Blues", "Blues", 354},
    {"Trailer", "Misc.", 70},
    {"Trance", "Dance & DJ", 31},
    {"Trash Metal", "Heavy Metal", 144},
    {"Tribal", "World & International", 72},
    {"Trip-Hop", "Dance & DJ", 27},
    {"Tropical", "Lounge & Exotica", 279},
    {"Turkish", "World & International", 335},
    {"Unknown", "Unknown", -2},
    {"Unknown", "Unknown", 525},
    {"Urban", "Pop", 334},
    {"Vocal", "Vocal", 28},
    {"Vocal", "Vocal", 502},
    {"Vocal Jazz", "Vocal", 342},
    {"Vocal/Latin", "Vocal", 306},
    {"Western Swing", "Country & Bluegrass", 365},
    {"World", "World & International", 285},
    {"World Beat", "World & International", 288},
    {"World Fusion", "Jazz", 340},
    {"World Jazz", "Jazz", 289},
    {"Young Adult & Children", "Young Adult & Children", 503},
}};

constexpr bool IsInLookupOrder() {
    for (int i = 2; i <= kGenreCount; ++i) {
        const GenreEntry& a = kGenreTable[i - 1];
        const GenreEntry& b = kGenreTable[i];
        if (a.Name > b.Name || (a.Name == b.Name && a.Code >= b.Code)) {
            return false;
        }
    }
    return true;
}
static_assert(IsInLookupOrder());

// Whole-text equality after upper-casing both sides through the Mac Roman table.
bool NamesMatch(std::string_view upperQuery, std::string_view name) {
    return upperQuery.size() == name.size() &&
           std::equal(name.begin(), name.end(), upperQuery.begin(), [](char n, char q) {
               return static_cast<char>(MacRomanUpper(static_cast<uint8_t>(n))) == q;
           });
}

constexpr std::array<std::string_view, 4> kHolidayKeywords = {"CHRISTMAS", "XMAS", "DECEMBER",
                                                              "SANTA CLAUS"};
constexpr std::string_view kHoliday = "Holiday & Seasonal";

}  // namespace

const std::array<GenreEntry, kGenreCount + 1>& GenreTable() {
    return kGenreTable;
}

std::optional<int16_t> GenreCodeForName(std::string_view name) {
    const std::string upper = UpperCasedString(name);
    std::optional<int16_t> code;
    for (int i = 1; i <= kGenreCount; ++i) {
        if (NamesMatch(upper, kGenreTable[i].Name)) {
            code = kGenreTable[i].Code;  // the last match wins
        }
    }
    return code;
}

std::optional<std::string_view> GenreCategoryForName(std::string_view name) {
    const std::string upper = UpperCasedString(name);
    for (int i = 1; i <= kGenreCount; ++i) {
        if (NamesMatch(upper, kGenreTable[i].Name)) {
            return kGenreTable[i].Category;  // the first match wins
        }
    }
    return std::nullopt;
}

const GenreEntry* GenreForCode(int32_t code) {
    for (int i = 1; i <= kGenreCount; ++i) {
        if (kGenreTable[i].Code == code) {
            return &kGenreTable[i];
        }
    }
    return nullptr;
}

void AssignGenreCategories(Library& library, int32_t first, int32_t last) {
    first = std::max(first, 1);
    last = std::min(last, kMaxTunes);
    for (int32_t slot = first; slot <= last; ++slot) {
        TuneRecord& r = library.Slots.Write(slot);
        const std::string album = UpperCasedString(r.Album.view());
        const bool holiday =
            std::any_of(kHolidayKeywords.begin(), kHolidayKeywords.end(),
                        [&](std::string_view k) { return album.find(k) != std::string::npos; });
        if (holiday) {
            r.Genre.Set(kHoliday);
            r.GenreCode = kHolidayCode;
            r.GenreCategory.Set(kHoliday);
        } else if (r.Genre.view() == "Unknown") {
            r.GenreCategory.Set("Unknown");
            r.GenreCode = kUnknownGenreCode;
        } else if (auto category = GenreCategoryForName(r.Genre.view())) {
            r.GenreCategory.Set(*category);
        }
    }
}

}  // namespace harmovia
