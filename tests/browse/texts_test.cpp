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
    const struct {
        int32_t count;
        uint32_t seconds;
        uint32_t megabytes;
        const char* text;
    } cases[] = {
        {0, 0, 0, "Tunes: 0 \xA5 Time: 0 secs \xA5 Size: 0 MB"},
        {0, 500, 7, "Tunes: 0 \xA5 Time: 0 secs \xA5 Size: 0 MB"},
        {12, 3907, 1024, "Tunes: 12  \xA5  Time: 1 hr  5 mins  7 secs  \xA5  Size: 1024 MB"},
        {12, 45, 1025, "Tunes: 12  \xA5  Time: 45 secs  \xA5  Size: 1 GB"},
        {1, 65, 2048, "Tunes: 1  \xA5  Time: 1 min  5 secs  \xA5  Size: 2 GB"},
        {3, 4'000'000'000u, 0,
         "Tunes: 3  \xA5  Time: 24855 days  3 hrs  14 mins  7 secs  \xA5  Size: 0 MB"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StatusLineText(c.count, c.seconds, c.megabytes), c.text);
    }
}

TEST(BrowseTexts, TitlesAndPlaylistNames) {
    const auto label = [](uint16_t mode, int16_t mood = 0, int16_t genreItem = 1) {
        return ViewLabel{mode, mood, genreItem, PStr("Seed"), PStr("lake")};
    };
    const struct {
        ViewLabel view;
        const char* browsing;
        const char* playing;
        const char* playlist;
    } cases[] = {
        {label(kModeAllTunes), "All Tunes", "All Tunes", "All Tunes"},
        {label(kModeLastAdded), "Last Added Tunes", "Last Added Tunes", "Last Added Tunes"},
        {label(kModeSmartPlays), "Smart-Plays", "Smart-Plays", "Smart-Plays"},
        {label(kModeTuneBased), "Tune Based", "Tunes Based On: Seed", "Tunes Based On: Seed"},
        {label(kModeMoreFromArtist), "More From Artist", "More Artist: Seed", "Artist: Seed"},
        {label(kModeSearchResults), "Search Results: lake", "Search Results: lake",
         "Search Results: lake"},
        {label(kModeMoreFromGenre), "More From Genre", "More Genre: Seed", "Genre: Seed"},
        {label(kModeMoreFromAlbum), "More From Album", "More Album: Seed", "Album: Seed"},
        {label(MoodViewMode(1), 1), "Deep Relaxation \xA5 All Tunes",
         "Deep Relaxation \xA5 All Tunes", "M1 - Deep Relaxation Tunes"},
        // A plain mood view is of all genres whatever the pop-up shows.
        {label(MoodViewMode(8), 8, 24), "Dance, Dance, Dance \xA5 All Tunes",
         "Dance, Dance, Dance \xA5 All Tunes", "M8 - Dance, Dance, Dance Tunes"},
        {label(kModeMoodByGenre, 5, 24), "Move & Groove \xA5 Rock", "Move & Groove \xA5 Rock",
         "M5 - Move & Groove - Rock"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BrowsingTitle(c.view), c.browsing) << c.view.Mode;
        EXPECT_EQ(PlayingTitle(c.view), c.playing) << c.view.Mode;
        EXPECT_EQ(DefaultPlaylistName(c.view), c.playlist) << c.view.Mode;
    }

    const TuneRecord tune = test::MakeTune({.title = "Song", .artist = "Band", .album = "LP"});
    const DisplayAreaLines browsing = BrowsingDisplayLines(label(kModeTuneBased));
    EXPECT_EQ(browsing.Line1, "-");
    EXPECT_EQ(browsing.Line2, "Tune Based");
    EXPECT_EQ(browsing.Line3, "-");
    const DisplayAreaLines playing = PlayingDisplayLines(label(kModeTuneBased), tune);
    EXPECT_EQ(playing.Line1, "Tunes Based On: Seed");
    EXPECT_EQ(playing.Line2, "Song");
    EXPECT_EQ(playing.Line3, "Band \xA5 LP");

    EXPECT_EQ(EmptyMoodButtonNotice(1), "No midnight blue tunes...");
    EXPECT_EQ(EmptyMoodButtonNotice(4), "No bright green tunes...");
    EXPECT_EQ(EmptyMoodMenuNotice(8), "No Dance, Dance, Dance tunes...");
}

TEST(BrowseTexts, ListCells) {
    ViewList list;
    TuneRecord r = test::MakeTune({.title = "Song", .genre = "Jazz"});
    r.MoodColourRed = 0xFF00;
    r.MoodColourGreen = 0xAD00;
    for (const uint16_t kind : {1, 4, 0}) {
        r.FileKind = kind;
        r.Checked = kind == 1;
        AppendRow(list, r);
    }
    const struct {
        int32_t row;
        ViewColumn column;
        const char* text;
    } cells[] = {{1, ViewColumn::Type, "MP3"},    {2, ViewColumn::Type, "AAC"},
                 {3, ViewColumn::Type, "AAC"},    {3, ViewColumn::RowNumber, "3"},
                 {1, ViewColumn::Title, "Song"},  {1, ViewColumn::Time, "3:20"},
                 {1, ViewColumn::Genre, "Jazz"},  {1, ViewColumn::Artist, "Artist"},
                 {1, ViewColumn::Album, "Album"}, {2, ViewColumn::PlayRowNumber, "2"},
                 {1, ViewColumn::Blank, ""},      {4, ViewColumn::Title, ""}};  // no row 4
    for (const auto& c : cells) {
        EXPECT_EQ(ListCellValue(list, c.row, c.column).text, c.text) << c.row;
    }
    EXPECT_TRUE(ListCellValue(list, 1, ViewColumn::Check).checked);
    EXPECT_FALSE(ListCellValue(list, 2, ViewColumn::Check).checked);
    const ListCell swatch = ListCellValue(list, 2, ViewColumn::Energy);
    EXPECT_EQ(swatch.kind, CellKind::Swatch);
    EXPECT_EQ(swatch.colour, (MoodColour{0xFF00, 0xAD00, 0}));
    EXPECT_EQ(LaidOutColumnWidth(kListColumns[3], 1001), 250);  // Title: width x 0.25
    EXPECT_EQ(LaidOutColumnWidth(kListColumns[7], 1001), 157);  // Genre: fixed
}

}  // namespace
}  // namespace harmovia
