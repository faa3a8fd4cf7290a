#include "browse/tune_similarity.h"

#include <optional>

#include <gtest/gtest.h>

#include "browse/seed_views.h"
#include "tests/browse/browse_test_tunes.h"

namespace harmovia {
namespace {

using test::MakeTune;
using test::TuneSpec;

std::optional<int32_t> Score(const TuneRecord& seed, const TuneRecord& candidate) {
    return SimilarityScore(MakeSimilaritySeed(seed), candidate);
}

TEST(TuneSimilarity, SeedScoresItselfWithBonuses) {
    const TuneRecord seed = MakeTune({});
    EXPECT_EQ(Score(seed, seed), 131);
    // The two "Unknown" bonuses fall away; the text bonuses stay even for "Unknown".
    const TuneRecord unknown = MakeTune({.title = "Unknown",
                                         .artist = "Unknown",
                                         .album = "Unknown",
                                         .genre = "Unknown",
                                         .category = "Unknown"});
    EXPECT_EQ(Score(unknown, unknown), 111);
    // Artist, title and album are compared ignoring case, Mac Roman accents included
    // ("\x8A" is a-umlaut, "\x80" A-umlaut).
    const TuneRecord other = MakeTune({.title = "T\x8A", .artist = "ARTIST", .album = "x"});
    const TuneRecord otherCaps = MakeTune({.title = "t\x80", .artist = "artist", .album = "y"});
    EXPECT_EQ(Score(other, otherCaps), 100 + 10 + 10 + 5 + 3);
    // An unchecked tune never qualifies, not even as its own seed.
    TuneRecord unchecked = seed;
    unchecked.Checked = 0;
    EXPECT_EQ(Score(unchecked, unchecked), std::nullopt);
}

TEST(TuneSimilarity, MoodDistanceAndExclusiveCategories) {
    const struct {
        TuneSpec seed;
        TuneSpec candidate;
        bool chosen;
    } cases[] = {
        {{.mood = 5}, {.mood = 4}, true},
        {{.mood = 5}, {.mood = 6}, true},
        {{.mood = 5}, {.mood = 3}, false},
        {{.mood = 5}, {.mood = 7}, false},
        // A damaged record's mood counts as 0 (and a huge one cannot overflow the distance).
        {{.mood = 1}, {.mood = 1000}, true},
        {{.mood = 1}, {.mood = -2147483647 - 1}, true},
        {{.mood = 2147483647}, {.mood = 2}, false},
        {{.category = "Classical"}, {.category = "Classical"}, true},
        {{.category = "Classical"}, {.category = "Rock"}, false},
        {{.category = "Rock"}, {.category = "Classical"}, false},
        {{.category = "Heavy Metal"}, {.category = "Rock"}, false},
        {{.category = "Rock"}, {.category = "Heavy Metal"}, false},
        {{.category = "Holiday & Seasonal"}, {.category = "Pop"}, false},
        {{.category = "Pop"}, {.category = "Holiday & Seasonal"}, false},
        // Country by Genre, one way: a Country seed collects Rock, a Rock seed no Country.
        {{.genre = "Country"}, {.genre = "Rock"}, true},
        {{.genre = "Rock"}, {.genre = "Country"}, false},
        {{.genre = "Country"}, {.genre = "Country"}, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Score(MakeTune(c.seed), MakeTune(c.candidate)).has_value(), c.chosen)
            << c.seed.category << c.seed.genre << c.seed.mood << " / " << c.candidate.category
            << c.candidate.genre << c.candidate.mood;
    }
}

TEST(TuneSimilarity, ThresholdsAndScores) {
    auto withFigures = [](int32_t distinct, int32_t significant, int32_t peak, int32_t centroid) {
        TuneRecord r = MakeTune({.title = "other", .artist = "other", .album = "other"});
        r.DistinctBinCount = distinct;
        r.SignificantCount = significant;
        r.PeakBinMean = peak;
        r.Centroid = centroid;
        return r;
    };
    // Seed ratio 1, SignificantCount 2500, PeakBinMean 120, Centroid 900. Every candidate
    // shares the seed's texts: +31.
    const TuneRecord seed = withFigures(2500, 2500, 120, 900);
    const struct {
        TuneRecord candidate;
        std::optional<int32_t> score;
    } cases[] = {
        {withFigures(1936, 2200, 120, 900), 89 + 31},       // a = b = 0.88 exactly
        {withFigures(1914, 2200, 120, 900), std::nullopt},  // a = 0.87
        {withFigures(2175, 2175, 120, 900), std::nullopt},  // b = 0.87
        {withFigures(1936, 2200, 24, 180), 77 + 31},        // q = 10.08 / 13
        {withFigures(1936, 2200, 12, 90), std::nullopt},    // q = 9.88 / 13
        {withFigures(0, 0, 0, 0), std::nullopt},            // b = 0
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Score(seed, c.candidate), c.score)
            << c.candidate.DistinctBinCount << " " << c.candidate.SignificantCount;
    }
    // A tune without figures is still similar to itself.
    const TuneRecord blank = withFigures(0, 0, 0, 0);
    EXPECT_EQ(Score(blank, blank), 131);
}

TEST(TuneSimilarity, TuneBasedViewIsRankedBySimilarity) {
    Library library;
    const int32_t seed = test::AddTune(library, MakeTune({}));                      // 131
    test::AddTune(library, MakeTune({.title = "b", .artist = "b", .album = "b"}));  // 120
    test::AddTune(library, MakeTune({.title = "c", .album = "c"}));                 // 125
    test::AddTune(library, MakeTune({.title = "d", .artist = "d", .album = "d"}));  // 120
    test::AddTune(library, MakeTune({.mood = 3}));                                  // no
    ViewState view;
    FixedClock clock("00:00:00");
    RandomSource random(1);
    ASSERT_TRUE(BuildSeedView(view, library, SeedCommand::TuneBased, seed, clock, random));
    ASSERT_EQ(view.List.ViewCount, 4);
    const int32_t order[] = {1, 3, 2, 4};
    const int32_t scores[] = {131, 125, 120, 120};
    for (int row = 1; row <= 4; ++row) {
        EXPECT_EQ(view.List[row].RecordIndex, order[row - 1]);
        EXPECT_EQ(view.List[row].Similarity, scores[row - 1]);
    }
    EXPECT_EQ(library[1].Similarity, 0);  // library records never carry a score
}

}  // namespace
}  // namespace harmovia
