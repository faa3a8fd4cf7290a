#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "browse/display_area.h"
#include "browse/list_rows.h"
#include "browse/mood_views.h"
#include "browse/status_line.h"
#include "browse/view_titles.h"
#include "tests/browse/browse_test_tunes.h"

namespace harmovia {
namespace {

TEST(BrowseTexts, StatusLine) {
    const std::tuple<int32_t, uint32_t, uint32_t, const char*> cases[] = {
        {0, 500, 7, "Tunes: 0 \xA5 Time: 0 secs \xA5 Size: 0 MB"},
        {12, 3907, 1024, "Tunes: 12  \xA5  Time: 1 hr  5 mins  7 secs  \xA5  Size: 1024 MB"},
        {3, 4'000'000'000u, 0,
         "Tunes: 3  \xA5  Time: 24855 days  3 hrs  14 mins  7 secs  \xA5  Size: 0 MB"},
    };
    for (const auto& [count, seconds, megabytes, text] : cases) {
        EXPECT_EQ(StatusLineText(count, seconds, megabytes), text);
    }
}

TEST(BrowseTexts, TitlesAndDisplayLines) {
    const auto label = [](uint16_t mode, int16_t mood = 0, int16_t genreItem = 1) {
        return ViewLabel{mode, mood, genreItem, PStr("Seed"), PStr("lake"), {}, 0};
    };
    // Playlist names, and so the titles of the views that name their playlist by title, are
    // checked where the playlist is sent.
    const std::tuple<ViewLabel, const char*, const char*> cases[] = {
        {label(kModeTuneBased), "Tune Based", "Tunes Based On: Seed"},
        {label(kModeMoreFromArtist), "More From Artist", "More Artist: Seed"},
        {label(kModeMoreFromGenre), "More From Genre", "More Genre: Seed"},
        {label(kModeMoreFromAlbum), "More From Album", "More Album: Seed"},
        // A plain mood view is of all genres whatever the pop-up shows.
        {label(MoodViewMode(9), 9, 24), "Maximum Wild \xA5 All Tunes",
         "Maximum Wild \xA5 All Tunes"},
        {label(kModeMoodByGenre, 5, 24), "Move & Groove \xA5 Rock", "Move & Groove \xA5 Rock"},
    };
    for (const auto& [view, browsing, playing] : cases) {
        EXPECT_EQ(BrowsingTitle(view), browsing) << view.Mode;
        EXPECT_EQ(PlayingTitle(view), playing) << view.Mode;
    }

    const auto lines = [](const DisplayAreaLines& l) {
        return std::vector<std::string>{l.Line1.str(), l.Line2.str(), l.Line3.str()};
    };
    EXPECT_EQ(lines(BrowsingDisplayLines(label(kModeTuneBased))),
              (std::vector<std::string>{"-", "Tune Based", "-"}));
    const TuneRecord tune = test::MakeTune({.title = "Song", .artist = "Band", .album = "LP"});
    EXPECT_EQ(lines(PlayingDisplayLines(label(kModeTuneBased), tune)),
              (std::vector<std::string>{"Tunes Based On: Seed", "Song", "Band \xA5 LP"}));
}

// Text cells and the order of each column are also checked through the window's list.
TEST(BrowseList, CellsAndSortOrder) {
    ViewList list;
    TuneRecord r = test::MakeTune({});
    r.MoodColourRed = 0xFF00;
    r.MoodColourGreen = 0xAD00;
    r.MoodEnergy = -5;
    AppendRow(list, r);  // row 1
    r.Checked = 0;
    r.MoodEnergy = 30000;
    r.FileKind = 0;      // any kind but MP3 shows as AAC
    AppendRow(list, r);  // row 2
    const std::tuple<int32_t, ViewColumn, const char*> cells[] = {
        {1, ViewColumn::Type, "MP3"},    {2, ViewColumn::Type, "AAC"},
        {2, ViewColumn::RowNumber, "2"}, {2, ViewColumn::PlayRowNumber, "2"},
        {1, ViewColumn::Time, "3:20"},   {1, ViewColumn::Blank, ""},
        {3, ViewColumn::Title, ""}};  // no row 3
    for (const auto& [row, column, text] : cells) {
        EXPECT_EQ(ListCellValue(list, row, column).text, text) << row;
    }
    // Every kind by its number; CAF and kinds from later builds show as AAC.
    const std::pair<uint16_t, const char*> kinds[] = {
        {0, "AAC"},    {1, "MP3"},  {2, "AAC"}, {3, "AAC"},  {4, "AAC"},  {5, "FLAC"},
        {6, "Vorbis"}, {7, "Opus"}, {8, "WAV"}, {9, "AIFF"}, {10, "AAC"},
    };
    for (const auto& [kind, text] : kinds) {
        EXPECT_EQ(FileTypeText(kind), text) << kind;
    }
    EXPECT_TRUE(ListCellValue(list, 1, ViewColumn::Check).checked);
    EXPECT_FALSE(ListCellValue(list, 2, ViewColumn::Check).checked);
    const ListCell swatch = ListCellValue(list, 2, ViewColumn::Energy);
    EXPECT_EQ(swatch.kind, CellKind::Swatch);
    EXPECT_EQ(swatch.colour, (MoodColour{0xFF00, 0xAD00, 0}));
    EXPECT_EQ(LaidOutColumnWidth(kListColumns[3], 1001), 250);  // Title: width x 0.25
    EXPECT_EQ(LaidOutColumnWidth(kListColumns[7], 1001), 157);  // Genre: fixed

    EXPECT_TRUE(CompareRows(list, 2, 1, ViewColumn::Check));   // unchecked first
    EXPECT_TRUE(CompareRows(list, 1, 2, ViewColumn::Energy));  // lowest first, signed
    // A sort needs a strict order: no row comes before itself.
    for (const ListColumnSpec& column : kListColumns) {
        EXPECT_FALSE(CompareRows(list, 1, 1, column.property));
    }
    EXPECT_FALSE(CompareRows(list, 1, 2, static_cast<ViewColumn>(FourCharCode("Date"))));
    EXPECT_FALSE(CompareRows(list, 0, 1, ViewColumn::RowNumber));
    EXPECT_FALSE(CompareRows(list, 1, 3, ViewColumn::RowNumber));
}

}  // namespace
}  // namespace harmovia
