#include "browse/view_builder.h"

#include <algorithm>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "browse/mood_views.h"
#include "browse/search.h"
#include "browse/seed_views.h"
#include "tests/browse/browse_test_tunes.h"

namespace harmovia {
namespace {

using test::AddTune;
using test::MakeTune;

// The record index of each row, in row order.
std::vector<int32_t> RowIndexes(const ViewState& view) {
    std::vector<int32_t> out;
    for (int32_t row = 1; row <= view.List.ViewCount; ++row) {
        out.push_back(view.List[row].RecordIndex);
    }
    return out;
}

// The shuffle as the program's documents give it, drawn from the same generator.
std::vector<int32_t> ShuffledAsDocumented(std::vector<int32_t> items, uint32_t seed) {
    std::mt19937 engine(seed);
    auto random = [&engine](int64_t n) {
        return static_cast<int32_t>(n * static_cast<int64_t>(engine() >> 1) / (int64_t{1} << 31)) +
               1;
    };
    const auto n = static_cast<int32_t>(items.size());
    for (int32_t i = 1; i <= n; ++i) {
        if (random(100) >= 51) {
            std::swap(items[static_cast<size_t>(i - 1)], items[static_cast<size_t>(random(n) - 1)]);
        }
    }
    return items;
}

// The same six tunes twice (slots 1..6 and 7..12), so that every selection has a few
// rows to shuffle.
class ViewBuilderTest : public ::testing::Test {
  protected:
    ViewBuilderTest() {
        // Each tune, whether the last add kept it, and its smart-play count.
        const std::tuple<test::TuneSpec, bool, int> tunes[] = {
            {{"Lake Song", "Odd", "A", "Rock", "Rock", 4}, true, 0},
            {{"Two", "Even", "A", "Jazz", "Jazz", 5}, false, 2},
            {{"Three", "Odd", "B", "Jazz", "Jazz", 4}, true, 0},
            {{"Lakeside", "Even", "B", "Rock", "Rock", 5}, false, 1},
            {{"Five", "Odd", "C", "Rock", "Rock", 1}, false, 0},
            {{"Six", "Odd", "A", "Rock", "Rock", 5}, true, 0}};
        for (int copy = 0; copy < 2; ++copy) {
            for (const auto& [spec, lastAdded, smartPlays] : tunes) {
                TuneRecord r = MakeTune(spec);
                r.LastAddedFlag = lastAdded;
                r.SmartPlayCount = smartPlays;
                AddTune(library, r);
            }
        }
    }
    Library library;
    ViewState view;
    FixedClock clock{"12:34:56"};
    RandomSource random{3};
    RecordingNotices notices;
};

TEST_F(ViewBuilderTest, EveryModeSelectsItsTunes) {
    const struct {
        uint16_t mode;
        std::vector<int32_t> slots;  // of the first six, in library order
        int16_t mood = 0;            // Mood By Genre: the label it rebuilds
        int16_t genreItem = kAllGenresItem;
    } cases[] = {
        {kModeAllTunes, {1, 2, 3, 4, 5, 6}},
        {kModeLastAdded, {1, 3, 6}},
        {kModeSmartPlays, {2, 4}},
        {kModeTuneBased, {1, 2, 3, 4, 6}},  // seed 2, mood 5: moods 4..6
        {kModeMoreFromArtist, {2, 4}},
        {kModeSearchResults, {1, 4}},  // "lake"
        {kModeMoreFromGenre, {2, 3}},
        {kModeMoreFromAlbum, {1, 2, 6}},
        {MoodViewMode(1), {5}},
        {MoodViewMode(5), {2, 4, 6}},
        {kModeMoodByGenre, {2, 4, 6}, 5, kAllGenresItem},
        {kModeMoodByGenre, {4, 6}, 5, 24 /* Rock */},
        {kModeMoodByGenre, {}, 4, 30 /* no such item */},
        {2, {}},
    };
    uint64_t stamp = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        view.ViewMode = c.mode;
        view.SelectedTuneIndex = 2;
        view.SearchText = PStr("lake");
        view.Label.Mood = c.mood;
        view.Label.GenreItem = c.genreItem;
        RandomSource seeded(356);  // its draws include 50 and 51, either side of the threshold
        BuildView(view, library, clock, seeded);
        std::vector<int32_t> expected = c.slots;
        for (const int32_t slot : c.slots) {
            expected.push_back(slot + 6);
        }
        const bool shuffled = c.mode != kModeAllTunes && c.mode != kModeTuneBased;
        EXPECT_EQ(RowIndexes(view), shuffled ? ShuffledAsDocumented(expected, 356) : expected);
        EXPECT_EQ(view.ViewSeconds, expected.size() * 200);
        EXPECT_EQ(view.ViewTitle, "12:34:56");
        EXPECT_EQ(view.Label.Mode, c.mode);
        EXPECT_GT(view.ViewStamp, stamp) << "every build is a new one";
        stamp = view.ViewStamp;
    }
    // An empty library leaves the view as it was.
    view.ViewMode = kModeAllTunes;
    BuildView(view, Library{}, clock, random);
    EXPECT_EQ(view.ViewStamp, stamp);
    EXPECT_EQ(view.Label.Mode, 2);

    // One tune is a library too; damaged records' totals saturate instead of wrapping.
    Library damaged;
    TuneRecord r = MakeTune({});
    r.DurationSeconds = -50;
    AddTune(damaged, r);
    BuildView(view, damaged, clock, random);
    EXPECT_EQ(view.List.ViewCount, 1);
    EXPECT_EQ(view.ViewSeconds, 0u);
    r.DurationSeconds = 2'000'000'000;
    r.FileSize = 0xFFFFFFFFu;
    AddTune(damaged, r);
    AddTune(damaged, r);
    BuildView(view, damaged, clock, random);
    EXPECT_EQ(view.ViewSeconds, 2'147'483'647u);
    EXPECT_EQ(view.ViewMegabytes, 5u + 2 * 4095);
    // A recount after a row went (a delete) keeps to the same rule.
    view.List.ViewCount = 2;
    RecountViewTotals(view);
    EXPECT_EQ(std::pair(view.ViewSeconds, view.ViewMegabytes), std::pair(2'000'000'000u, 4100u));
}

TEST_F(ViewBuilderTest, MoodButtonsAndMoodByGenre) {
    EXPECT_EQ(ShowMoodView(view, Library{}, kAllTunesButton, clock, random, notices).outcome,
              MoodViewOutcome::Refused);
    EXPECT_EQ(notices.beeps, 3) << "an empty library";
    notices.beeps = 0;
    view.SelectedGenreItem = 9;
    MoodViewResult result =
        ShowMoodView(view, library, kFirstMoodButton + 8, clock, random, notices);
    EXPECT_EQ(result.outcome, MoodViewOutcome::EmptyMood);
    ASSERT_EQ(notices.overlays.size(), 1u);
    EXPECT_EQ(std::tie(notices.overlays[0].text, notices.overlays[0].mood),
              std::tuple("No purple tunes...", 9));
    EXPECT_EQ(std::tuple(notices.beeps, notices.waitedMilliseconds, notices.overlaysClosed),
              std::tuple(1, 2000, 1));

    result = ShowMoodView(view, library, kFirstMoodButton + 3, clock, random, notices);
    EXPECT_EQ(result.outcome, MoodViewOutcome::Built);
    EXPECT_EQ(view.ViewMode, MoodViewMode(4));
    EXPECT_EQ(view.SelectedMood, 4);
    EXPECT_EQ(view.SelectedGenreItem, kAllGenresItem);

    view.SelectedMood = 2;
    ShowMoodView(view, library, kLastAddedButton, clock, random, notices);
    EXPECT_EQ(view.ViewMode, kModeLastAdded);
    EXPECT_EQ(view.SelectedMood, 2);  // untouched by All Tunes and Last Added

    EXPECT_FALSE(ShowMoodByGenre(view, library, 12 /* Heavy Metal */, 5, clock, random, notices));
    EXPECT_EQ(std::tie(notices.overlays.back().text, notices.overlays.back().mood),
              std::tuple("No tunes found...", 5));
    EXPECT_TRUE(ShowMoodByGenre(view, library, 15 /* Jazz */, 4, clock, random, notices));
    EXPECT_EQ(view.SelectedGenreItem, 15);
}

TEST_F(ViewBuilderTest, SeedViewsCountOnlyOnTheDesktopPath) {
    // 250 tunes by one artist: More From Artist keeps 100, and the totals follow the cut.
    Library big;
    for (int i = 0; i < 250; ++i) {
        AddTune(big, MakeTune({.artist = "Prolific"}));
    }
    // The tune-based view's ranking is checked with the similarity scores.
    const std::pair<SeedCommand, const char*> seeds[] = {{SeedCommand::MoreFromGenre, "Rock"},
                                                         {SeedCommand::MoreFromAlbum, "Album"},
                                                         {SeedCommand::MoreFromArtist, "Prolific"}};
    for (const auto& [command, baseText] : seeds) {
        // The last slot is a seed too.
        ASSERT_TRUE(BuildSeedView(view, big, command, 250, clock, random));
        EXPECT_EQ(view.ViewMode, static_cast<uint16_t>(command));
        EXPECT_EQ(view.BaseText, baseText);
        EXPECT_EQ(view.List.ViewCount, 100);
        EXPECT_EQ(view.ViewSeconds, 100u * 200);
    }
    EXPECT_EQ(big[250].SmartPlayCount, 0);
    EXPECT_FALSE(BuildSeedView(view, big, SeedCommand::TuneBased, 251, clock, random));

    // The desktop path finds the seed through the selected row and counts its use.
    view.SelectedRow = 3;
    const int32_t seed = view.List[3].RecordIndex;
    ASSERT_TRUE(ShowSeedView(view, big, SeedCommand::TuneBased, clock, random));
    EXPECT_EQ(view.SelectedTuneIndex, seed);
    EXPECT_EQ(big[seed].SmartPlayCount, 1);
    EXPECT_EQ(view.Label.BaseText, "Song");

    // No row and no earlier seed: nothing happens.
    ViewState fresh;
    EXPECT_FALSE(ShowSeedView(fresh, big, SeedCommand::MoreFromAlbum, clock, random));
    EXPECT_EQ(fresh.ViewStamp, 0u);

    // Surprise gives nothing from an empty library (the window's commands show the rest).
    EXPECT_FALSE(ShowSurpriseView(fresh, Library{}, clock, random));
}

// e-acute matches E-acute both ways, but not a plain e.
TEST(Search, TextContainsIgnoresCaseThroughMacRoman) {
    const std::tuple<std::string_view, std::string_view, bool> cases[] = {
        {"The Beatles", "beat", true},
        {"The Beatles", "beatles!", false},
        {"Caf\x8E Noir", "CAF\x83", true},
        {"\x83TOILE", "\x8Etoile", true},
        {"Cafe", "caf\x8E", false},
        {"abc", "", true},
        {"", "a", false}};
    for (const auto& [field, text, found] : cases) {
        EXPECT_EQ(TextContains(field, text), found) << field << " / " << text;
    }
}

TEST_F(ViewBuilderTest, SearchLooksInTitleArtistAlbumAndGenreOnly) {
    library[2].Artist.Set("Monolake");
    library[3].Album.Set("By The Lake");
    library[5].Genre.Set("Lake Pop");
    library[6].Location.Set("/music/Lake/six.mp3");
    library[6].GenreCategory.Set("Lake Music");
    view.SelectedRow = 2;
    EXPECT_EQ(RunSearch(view, library, "lake", clock, random, notices), SearchOutcome::Shown);
    std::vector<int32_t> found = RowIndexes(view);
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<int32_t>{1, 2, 3, 4, 5, 7, 10}));
    EXPECT_EQ(view.SelectedRow, 0);
    EXPECT_EQ(view.ViewMode, kModeSearchResults);
    EXPECT_EQ(view.Label.SearchText, "lake");
    EXPECT_EQ(notices.beeps, 0);

    // An empty text, a text found only in Location or GenreCategory: the view stays.
    view.SelectedRow = 2;
    const uint64_t stamp = view.ViewStamp;
    EXPECT_EQ(RunSearch(view, library, "", clock, random, notices), SearchOutcome::EmptyText);
    EXPECT_EQ(notices.beeps, 1);
    for (const char* text : {".mp3", "lake music"}) {
        EXPECT_EQ(RunSearch(view, library, text, clock, random, notices), SearchOutcome::NoMatch);
    }
    ASSERT_EQ(notices.overlays.size(), 2u);
    EXPECT_EQ(notices.overlays[1].text, "No match found.");
    EXPECT_EQ(std::tuple(notices.beeps, notices.waitedMilliseconds, notices.overlaysClosed),
              std::tuple(3, 4000, 2));
    EXPECT_EQ(view.ViewStamp, stamp);
    EXPECT_EQ(view.SelectedRow, 2);
    EXPECT_EQ(view.SearchText, "lake music");
    EXPECT_EQ(RunSearch(view, Library{}, "x", clock, random, notices), SearchOutcome::NoMatch);
}

}  // namespace
}  // namespace harmovia
