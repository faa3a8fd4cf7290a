#include "browse/view_builder.h"

#include <numeric>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "browse/mood_views.h"
#include "browse/seed_views.h"
#include "tests/browse/browse_test_tunes.h"

namespace harmovia {
namespace {

using test::AddTune;
using test::MakeTune;

std::vector<int32_t> RowRecordIndexes(const ViewState& view) {
    std::vector<int32_t> out;
    for (int32_t row = 1; row <= view.List.ViewCount; ++row) {
        out.push_back(view.List[row].RecordIndex);
    }
    return out;
}

// The shuffle as the program's documents give it, drawn from the same generator.
std::vector<int32_t> ShuffledBySpec(std::vector<int32_t> items, uint32_t seed) {
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

TEST(Shuffle, FollowsTheDocumentedDraws) {
    // Long enough that every kind of draw occurs, 51 included.
    std::vector<int32_t> positions(1000);
    std::iota(positions.begin(), positions.end(), 1);
    const std::vector<int32_t> expected = ShuffledBySpec(positions, 2024);
    RandomSource random(2024);
    ShufflePositions(positions, random);
    EXPECT_EQ(positions, expected);
    std::vector<int32_t> none;
    ShufflePositions(none, random);  // an empty view draws nothing and does nothing
}

class ViewBuilderTest : public ::testing::Test {
  protected:
    ViewBuilderTest() {
        // Slots 1..40: moods 4 and 5 in turn; every third tune last added; Rock or Jazz.
        for (int i = 1; i <= 40; ++i) {
            TuneRecord r = MakeTune({.artist = i % 2 ? "Odd" : "Even",
                                     .genre = i % 4 ? "Rock" : "Jazz",
                                     .category = i % 4 ? "Rock" : "Jazz",
                                     .mood = 4 + i % 2});
            r.LastAddedFlag = i % 3 == 0;
            AddTune(library, r);
        }
    }
    Library library;
    ViewState view;
    FixedClock clock{"12:34:56"};
};

TEST_F(ViewBuilderTest, SelectionsOrderAndIdentity) {
    RandomSource random(7);
    view.ViewMode = kModeAllTunes;
    BuildView(view, library, clock, random);
    std::vector<int32_t> all(40);
    std::iota(all.begin(), all.end(), 1);
    EXPECT_EQ(RowRecordIndexes(view), all);  // library order
    EXPECT_EQ(view.ViewSeconds, 40u * 200);
    EXPECT_EQ(view.ViewMegabytes, 40u * 5);
    EXPECT_EQ(view.ViewTitle, "12:34:56");
    const uint64_t firstStamp = view.ViewStamp;

    // Mood 5: the odd slots, shuffled exactly as documented.
    std::vector<int32_t> odd;
    for (int i = 1; i <= 40; i += 2) {
        odd.push_back(i);
    }
    view.ViewMode = MoodViewMode(5);
    RandomSource seeded(99);
    BuildView(view, library, clock, seeded);
    EXPECT_EQ(RowRecordIndexes(view), ShuffledBySpec(odd, 99));
    // Same second, same title, but a different build.
    EXPECT_EQ(view.ViewTitle, "12:34:56");
    EXPECT_NE(view.ViewStamp, firstStamp);

    // Mood By Genre with item 1 is the plain mood view; with "Rock" only its Rock tunes.
    RandomSource seededAgain(99);
    BuildMoodByGenreView(view, library, 5, kAllGenresItem, clock, seededAgain);
    EXPECT_EQ(RowRecordIndexes(view), ShuffledBySpec(odd, 99));
    EXPECT_EQ(view.ViewMode, kModeMoodByGenre);
    BuildMoodByGenreView(view, library, 5, 24 /* "Rock" */, clock, random);
    EXPECT_EQ(view.List.ViewCount, 20);  // every odd slot is Rock (i % 4 != 0)
    BuildMoodByGenreView(view, library, 4, 15 /* "Jazz" */, clock, random);
    EXPECT_EQ(view.List.ViewCount, 10);
    BuildMoodByGenreView(view, library, 4, 30 /* no such item */, clock, random);
    EXPECT_EQ(view.List.ViewCount, 0);

    // Last added: the same set in any order.
    view.ViewMode = kModeLastAdded;
    BuildView(view, library, clock, random);
    std::vector<int32_t> rows = RowRecordIndexes(view);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (std::vector<int32_t>{3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 33, 36, 39}));

    // An empty library leaves the view as it was.
    Library empty;
    const uint64_t stamp = view.ViewStamp;
    BuildView(view, empty, clock, random);
    EXPECT_EQ(view.ViewStamp, stamp);
    EXPECT_EQ(view.List.ViewCount, 13);
}

TEST_F(ViewBuilderTest, TotalsSaturateOnDamagedRecords) {
    Library damaged;
    TuneRecord r = MakeTune({});
    r.DurationSeconds = -50;
    AddTune(damaged, r);
    r.DurationSeconds = 2'000'000'000;
    r.FileSize = 0xFFFFFFFFu;
    AddTune(damaged, r);
    AddTune(damaged, r);
    RandomSource random(1);
    BuildView(view, damaged, clock, random);
    EXPECT_EQ(view.ViewSeconds, 2'147'483'647u);
    EXPECT_EQ(view.ViewMegabytes, 5u + 2 * 4095);
}

TEST_F(ViewBuilderTest, MoodButtonsAndMoodByGenre) {
    RandomSource random(3);
    RecordingNotices notices;
    view.SelectedGenreItem = 9;
    MoodViewResult result =
        ShowMoodView(view, library, kFirstMoodButton + 8, clock, random, notices);
    EXPECT_EQ(result.outcome, MoodViewOutcome::EmptyMood);
    ASSERT_EQ(notices.overlays.size(), 1u);
    EXPECT_EQ(notices.overlays[0].text, "No purple tunes...");
    EXPECT_EQ(notices.overlays[0].mood, 9);
    EXPECT_EQ(notices.beeps, 1);
    EXPECT_EQ(notices.waitedMilliseconds, 2000);
    EXPECT_EQ(notices.overlaysClosed, 1);
    EXPECT_EQ(view.ViewStamp, 0u);

    result = ShowMoodView(view, library, kFirstMoodButton + 3, clock, random, notices);
    EXPECT_EQ(result.outcome, MoodViewOutcome::Built);
    EXPECT_TRUE(result.autoplay);
    EXPECT_EQ(view.ViewMode, MoodViewMode(4));
    EXPECT_EQ(view.SelectedMood, 4);
    EXPECT_EQ(view.SelectedGenreItem, kAllGenresItem);
    EXPECT_EQ(view.List.ViewCount, 20);

    view.SelectedMood = 2;
    result = ShowMoodView(view, library, kLastAddedButton, clock, random, notices);
    EXPECT_FALSE(result.autoplay);
    EXPECT_EQ(view.SelectedMood, 2);  // untouched by All Tunes and Last Added

    EXPECT_FALSE(ShowMoodByGenre(view, library, 15 /* Jazz */, 5, clock, random, notices));
    EXPECT_EQ(notices.overlays.back().text, "No tunes found...");
    EXPECT_EQ(notices.overlays.back().mood, 5);
    EXPECT_TRUE(ShowMoodByGenre(view, library, 15, 4, clock, random, notices));
    EXPECT_EQ(view.SelectedGenreItem, 15);

    RecordingNotices emptyNotices;
    Library empty;
    EXPECT_EQ(ShowMoodView(view, empty, kAllTunesButton, clock, random, emptyNotices).outcome,
              MoodViewOutcome::Refused);
    EXPECT_EQ(emptyNotices.beeps, 3);
}

TEST_F(ViewBuilderTest, SeedViewsCountOnlyOnTheDesktopPath) {
    // 250 tunes by one artist: More From Artist keeps 100, and the totals follow the cut.
    Library big;
    for (int i = 0; i < 250; ++i) {
        AddTune(big, MakeTune({.artist = "Prolific"}));
    }
    RandomSource random(5);
    ASSERT_TRUE(BuildSeedView(view, big, SeedCommand::MoreFromArtist, 10, clock, random));
    EXPECT_EQ(view.List.ViewCount, 100);
    EXPECT_EQ(view.ViewSeconds, 100u * 200);
    EXPECT_EQ(view.BaseText, "Prolific");
    EXPECT_EQ(big[10].SmartPlayCount, 0);
    EXPECT_FALSE(BuildSeedView(view, big, SeedCommand::TuneBased, 251, clock, random));

    // The desktop path finds the seed through the selected row and counts its use.
    view.SelectedRow = 3;
    const int32_t seed = view.List[3].RecordIndex;
    ASSERT_TRUE(ShowSeedView(view, big, SeedCommand::TuneBased, clock, random));
    EXPECT_EQ(view.SelectedTuneIndex, seed);
    EXPECT_EQ(big[seed].SmartPlayCount, 1);
    EXPECT_EQ(view.ViewMode, kModeTuneBased);
    EXPECT_EQ(view.Label.BaseText, "Song");

    // No row and no earlier seed: nothing happens.
    ViewState fresh;
    EXPECT_FALSE(ShowSeedView(fresh, big, SeedCommand::MoreFromAlbum, clock, random));
    EXPECT_EQ(fresh.ViewStamp, 0u);
}

}  // namespace
}  // namespace harmovia
