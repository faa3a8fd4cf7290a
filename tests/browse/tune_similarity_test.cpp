#include "browse/tune_similarity.h"

#include <iterator>
#include <optional>
#include <tuple>

#include <gtest/gtest.h>

#include "browse/seed_views.h"
#include "tests/browse/browse_test_tunes.h"

namespace harmovia {
namespace {

using test::AddTune;
using test::MakeTune;

TuneRecord WithFigures(int32_t distinct, int32_t significant, int32_t peak, int32_t centroid) {
    TuneRecord r = MakeTune({});
    r.DistinctBinCount = distinct;
    r.SignificantCount = significant;
    r.PeakBinMean = peak;
    r.Centroid = centroid;
    return r;
}

TEST(TuneSimilarity, ScoresAndExclusions) {
    const TuneRecord song = MakeTune({});
    const TuneRecord unknown = MakeTune({"Unknown", "Unknown", "Unknown", "Unknown", "Unknown"});
    TuneRecord unchecked = song;
    unchecked.Checked = 0;
    // Ratio 1, SignificantCount 2500, PeakBinMean 120, Centroid 900.
    const TuneRecord figures = WithFigures(2500, 2500, 120, 900);
    const TuneRecord blank = WithFigures(0, 0, 0, 0);
    // The seed, the candidate and its score ({}: not chosen).
    const std::tuple<TuneRecord, TuneRecord, std::optional<int32_t>> cases[] = {
        {song, song, 131},
        // The two "Unknown" bonuses fall away; the text bonuses stay even for "Unknown".
        {unknown, unknown, 111},
        // Artist, title and album ignore case, Mac Roman accents included (a- and A-umlaut).
        {MakeTune({"T\x8A", "ARTIST", "x"}), MakeTune({"t\x80", "artist", "y"}), 128},
        // An unchecked tune never qualifies, not even as its own seed.
        {unchecked, unchecked, {}},
        {MakeTune({.mood = 5}), MakeTune({.mood = 4}), 131},
        {MakeTune({.mood = 5}), MakeTune({.mood = 3}), {}},
        // A damaged record's mood counts as 0 (and a huge one cannot overflow the distance).
        {MakeTune({.mood = 1}), MakeTune({.mood = -2147483647 - 1}), 131},
        {MakeTune({.mood = 2147483647}), MakeTune({.mood = 2}), {}},
        {MakeTune({.category = "Classical"}), MakeTune({.category = "Classical"}), 131},
        {MakeTune({.category = "Classical"}), song, {}},
        {MakeTune({.category = "Heavy Metal"}), song, {}},
        {song, MakeTune({.category = "Heavy Metal"}), {}},
        {MakeTune({.category = "Holiday & Seasonal"}), song, {}},
        // Country by Genre, one way: a Country seed collects Rock, a Rock seed no Country.
        {MakeTune({.genre = "Country"}), song, 121},
        {song, MakeTune({.genre = "Country"}), {}},
        {MakeTune({.genre = "Country"}), MakeTune({.genre = "Country"}), 131},
        // The sound figures; every pair shares its texts: +31.
        {figures, WithFigures(1936, 2200, 120, 900), 89 + 31},  // a = b = 0.88 exactly
        {figures, WithFigures(1914, 2200, 120, 900), {}},       // a = 0.87
        {figures, WithFigures(2175, 2175, 120, 900), {}},       // b = 0.87
        {figures, WithFigures(1936, 2200, 24, 180), 77 + 31},   // q = 10.08 / 13
        {figures, WithFigures(1936, 2200, 12, 90), {}},         // q = 9.88 / 13
        {blank, blank, 131},  // a tune without figures is still similar to itself
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& [seed, candidate, score] = cases[i];
        EXPECT_EQ(SimilarityScore(MakeSimilaritySeed(seed), candidate), score) << "case " << i;
    }
}

// A tune-based view keeps the 100 best, highest score first, ties in library order.
TEST(TuneSimilarity, TuneBasedViewIsRankedBySimilarity) {
    Library library;
    for (int32_t slot = 1; slot < 150; ++slot) {
        const bool song = slot == 2 || slot == 3;  // 123
        const bool artist = slot == 140;           // 125, behind row 100
        AddTune(library, MakeTune({.title = song ? "Song" : "x",
                                   .artist = artist ? "Artist" : "x",
                                   .album = "x"}));  // else 120
    }
    const int32_t seed = AddTune(library, MakeTune({}));  // 131
    AddTune(library, MakeTune({.mood = 3}));              // not chosen
    ViewState view;
    FixedClock clock("00:00:00");
    RandomSource random(1);
    ASSERT_TRUE(BuildSeedView(view, library, SeedCommand::TuneBased, seed, clock, random));
    ASSERT_EQ(view.List.ViewCount, 100);
    const int32_t order[] = {150, 140, 2, 3, 1, 4};
    const int32_t scores[] = {131, 125, 123, 123, 120, 120};
    for (int row = 1; row <= 6; ++row) {
        EXPECT_EQ(view.List[row].RecordIndex, order[row - 1]);
        EXPECT_EQ(view.List[row].Similarity, scores[row - 1]);
    }
    EXPECT_EQ(view.List[100].RecordIndex, 98);
}

}  // namespace
}  // namespace harmovia
