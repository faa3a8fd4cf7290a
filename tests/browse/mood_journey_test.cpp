#include "browse/mood_journey.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "browse/view_titles.h"
#include "tests/browse/browse_test_tunes.h"

namespace harmovia {
namespace {

// `perMood` tunes of every mood but those in `empty`, by `artists` artists with one album
// each; tune t lasts 120 + 7 t % 200 seconds.
std::unique_ptr<Library> Spread(int perMood, int artists, std::set<int> empty = {}) {
    auto library = std::make_unique<Library>();
    int t = 0;
    for (int mood = 1; mood <= kMoodCount; ++mood) {
        for (int i = 0; i < perMood && !empty.contains(mood); ++i, ++t) {
            const std::string artist = "Artist " + std::to_string(t % artists);
            TuneRecord r =
                test::MakeTune({.artist = artist, .album = artist + " LP", .mood = mood});
            r.DurationSeconds = 120 + 7 * t % 200;
            test::AddTune(*library, r);
        }
    }
    return library;
}

// `artists` artists, one album each, in every mood: one with 30 tunes, the others with
// `fewer`. With nine, holding both rules takes every one of the nine in turn; a pick by
// chance would mostly take the big one.
std::unique_ptr<Library> Crowded(int artists, int fewer) {
    auto library = std::make_unique<Library>();
    for (int mood = 1; mood <= kMoodCount; ++mood) {
        for (int a = 0; a < artists; ++a) {
            const std::string artist = "Artist " + std::to_string(a);
            for (int i = 0; i < (a == 0 ? 30 : fewer); ++i) {
                test::AddTune(
                    *library,
                    test::MakeTune({.artist = artist, .album = artist + " LP", .mood = mood}));
            }
        }
    }
    return library;
}

ViewState Journey(const Library& library, JourneyRequest request) {
    FixedClock clock{"12:00:00"};
    ViewState view;
    BuildJourneyView(view, library, request, clock);
    return view;
}

std::vector<int32_t> Moods(const ViewList& rows, int32_t first = 1) {
    std::vector<int32_t> moods;
    for (int32_t row = first; row <= rows.ViewCount; ++row) {
        moods.push_back(rows[row].Mood);
    }
    return moods;
}

std::vector<int32_t> Tunes(const ViewList& rows) {
    std::vector<int32_t> tunes;
    for (int32_t row = 1; row <= rows.ViewCount; ++row) {
        tunes.push_back(rows[row].RecordIndex);
    }
    return tunes;
}

// The shortest distance between two rows of the same artist (or album).
int32_t NearestRepeat(const ViewList& rows, bool album) {
    int32_t nearest = rows.ViewCount;
    for (int32_t a = 1; a <= rows.ViewCount; ++a) {
        for (int32_t b = a + 1; b <= rows.ViewCount; ++b) {
            const auto field = [album](const TuneRecord& r) {
                return std::string(album ? r.Album.view() : r.Artist.view());
            };
            if (field(rows[a]) == field(rows[b])) {
                nearest = std::min(nearest, b - a);
            }
        }
    }
    return nearest;
}

TEST(MoodJourney, MoodsWalkMonotoneFromFirstToLast) {
    const auto full = Spread(20, 40);
    const auto gaps = Spread(20, 40, {2, 4, 5, 6});
    const struct {
        const char* what;
        const Library& library;
        JourneyRequest request;
        std::vector<int32_t> moods;  // empty: only monotone, from A to B
    } cases[] = {
        {"up", *full, {1, 9, 9}, {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {"down", *full, {9, 1, 5}, {9, 7, 5, 3, 1}},
        {"stays", *full, {4, 4, 6}, {4, 4, 4, 4, 4, 4}},
        {"halves to even", *full, {3, 6, 5}, {3, 4, 4, 5, 6}},
        {"empty moods: nearest ahead", *gaps, {1, 9, 9}, {1, 1, 3, 3, 3, 7, 7, 8, 9}},
        {"empty moods, down", *gaps, {8, 1, 8}, {8, 7, 7, 7, 3, 3, 3, 1}},
        {"long", *full, {2, 8, 120}, {}},
        {"in minutes", *full, {9, 3, 0, 45}, {}},
        {"the path runs out: short", *full, {5, 5, 30}, std::vector<int32_t>(20, 5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ViewState view = Journey(c.library, c.request);
        const std::vector<int32_t> moods = Moods(view.List);
        if (!c.moods.empty()) {
            EXPECT_EQ(moods, c.moods);
        }
        ASSERT_FALSE(moods.empty());
        EXPECT_EQ(moods.front(), c.request.FromMood);
        EXPECT_EQ(moods.back(), c.request.ToMood);
        const int direction =
            (c.request.ToMood > c.request.FromMood) - (c.request.ToMood < c.request.FromMood);
        for (size_t i = 1; i < moods.size(); ++i) {
            EXPECT_GE((moods[i] - moods[i - 1]) * (direction == 0 ? 1 : direction), 0) << i;
            EXPECT_TRUE(direction != 0 || moods[i] == moods[i - 1]) << i;
        }
        const std::vector<int32_t> tunes = Tunes(view.List);
        EXPECT_EQ(std::set<int32_t>(tunes.begin(), tunes.end()).size(), tunes.size());
        if (c.request.Minutes > 0) {
            const int32_t last = view.List[view.List.ViewCount].DurationSeconds;
            EXPECT_GE(view.ViewSeconds, c.request.Minutes * 60u);
            EXPECT_LT(view.ViewSeconds - last, c.request.Minutes * 60u);
        }
    }
}

TEST(MoodJourney, ArtistAndAlbumSpacingHoldWhereTheLibraryAllows) {
    const auto nine = Crowded(9, 2);
    const auto three = Crowded(3, 3);
    const struct {
        const char* what;
        const Library& library;
        JourneyRequest request;
        int32_t artistRepeat;  // the nearest repeat, at least
        int32_t albumRepeat;
    } cases[] = {
        {"nine artists, one mood", *nine, {5, 5, 18}, 9, 9},
        {"nine artists, across the moods", *nine, {1, 9, 60}, 9, 9},
        {"nine artists, down", *nine, {9, 2, 25}, 9, 9},
        {"three artists: each in turn", *three, {3, 7, 30}, 3, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (uint32_t seed = 1; seed <= 20; ++seed) {
            JourneyRequest request = c.request;
            request.Seed = seed;
            const ViewState view = Journey(c.library, request);
            ASSERT_EQ(view.List.ViewCount, request.Count);
            EXPECT_GE(NearestRepeat(view.List, false), c.artistRepeat) << seed;
            EXPECT_GE(NearestRepeat(view.List, true), c.albumRepeat) << seed;
        }
    }
}

TEST(MoodJourney, SeedsRepeatAndLabelsName) {
    const auto library = Spread(30, 25);
    const JourneyRequest request{2, 7, 24, 0, 7};
    const ViewState first = Journey(*library, request);
    EXPECT_EQ(Tunes(Journey(*library, request).List), Tunes(first.List));
    EXPECT_NE(Tunes(Journey(*library, {2, 7, 24, 0, 8}).List), Tunes(first.List));
    EXPECT_EQ(first.ViewMode, kModeMoodJourney);
    EXPECT_EQ(first.Label.Journey, request);
    EXPECT_EQ(BrowsingTitle(first.Label), "Mood Journey: Cool Blue Chill to Intense Activities");
    EXPECT_EQ(first.ViewSeconds, [&] {
        uint32_t sum = 0;
        for (int32_t row = 1; row <= first.List.ViewCount; ++row) {
            sum += first.List[row].DurationSeconds;
        }
        return sum;
    }());

    for (const JourneyRequest bad : {JourneyRequest{0, 5, 10}, JourneyRequest{1, 10, 10},
                                     JourneyRequest{1, 9, 0, 0}, JourneyRequest{1, 9, 2001}}) {
        EXPECT_TRUE(JourneyRequestProblem(bad));
        EXPECT_EQ(Journey(*library, bad).List.ViewCount, 0);
    }

    // Only checked tunes travel; one is enough for a journey, none says why not.
    for (const int checked : {0, 1, 2}) {
        auto few = Spread(1, 1);
        for (int32_t slot = 1; slot <= few->TuneCount; ++slot) {
            (*few)[slot].Checked = slot <= checked ? 1 : 0;
        }
        ViewState view;
        FixedClock clock{"12:00:00"};
        RecordingNotices notices;
        EXPECT_EQ(ShowJourney(view, *few, {1, 9, 5}, clock, notices), checked > 0) << checked;
        EXPECT_EQ(view.List.ViewCount, checked);
        EXPECT_EQ(notices.overlays.size(), checked > 0 ? 0u : 1u);
    }
}

TEST(MoodJourney, EndlessRefillsWithoutRepeatsUntilThePathRunsOut) {
    const struct {
        const char* what;
        int perMood;
        JourneyRequest request;
        int32_t path;  // tunes of the moods on the path
    } cases[] = {
        {"up and back", 12, {2, 5, 10, 0, 3, true}, 48},
        {"one mood", 15, {6, 6, 4, 0, 3, true}, 15},
        {"in minutes", 12, {9, 7, 0, 20, 3, true}, 36},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto library = Spread(c.perMood, 7);
        ViewState view = Journey(*library, c.request);
        std::vector<int32_t> legStarts{1};
        while (view.List.ViewCount < 3 * c.path) {
            legStarts.push_back(view.List.ViewCount + 1);
            ASSERT_GT(ExtendEndlessJourney(view.List, view.Label, *library), 0);
        }
        const std::vector<int32_t> tunes = Tunes(view.List);
        EXPECT_EQ(std::set<int32_t>(tunes.begin(), tunes.begin() + c.path).size(), size_t(c.path));
        // The second leg walks back from where the first ended.
        const std::vector<int32_t> back = Moods(view.List, legStarts[1]);
        EXPECT_EQ(back.front(), c.request.ToMood);
        EXPECT_EQ(view.Label.JourneyLegs, static_cast<int32_t>(legStarts.size()));
    }
    // Only an endless journey grows.
    const auto library = Spread(5, 3);
    ViewState finite = Journey(*library, {1, 9, 10});
    EXPECT_EQ(ExtendEndlessJourney(finite.List, finite.Label, *library), 0);
}

}  // namespace
}  // namespace harmovia
