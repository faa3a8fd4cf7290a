#include "analysis/mood_scoring.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/sound_analysis.h"

namespace harmovia {
namespace {

// A library with one claimed slot (slot 1), and a state with the given counts.
struct Scoring {
    std::unique_ptr<Library> library = std::make_unique<Library>();
    std::unique_ptr<SoundAnalysisState> state = std::make_unique<SoundAnalysisState>();
    TuneRecord& record() { return (*library)[library->CurrentTuneIndex]; }

    explicit Scoring(int32_t significant, int32_t distinct = 1, uint16_t byteRate = 0) {
        ClaimSlot(*library);
        state->SignificantCount = significant;
        state->DistinctBinCount = distinct;
        state->SignificantBinSum = 1000;
        record().ByteRateIndex = byteRate;
        record().DurationSeconds = 200;
        record().Genre.Set("Rock");
    }
};

TEST(MoodScoring, EnergyScaleBitRateFactorAndBands) {
    const struct {
        int32_t s, d;
        uint16_t byteRate;
        int32_t count, distinct, energy, mood, level, tens, ratio;
    } cases[] = {
        {7300, 100, 0, 7300, 100, 35000, 5, 73, 730, 13},
        {7301, 100, 0, 7301, 100, 34872, 5, 73, 730, 13},  // the second piece starts lower
        {1000, 500, 14, 1000, 500, 4794, 1, 10, 100, 500},
        {1000, 500, 15, 1017, 508, 4876, 1, 10, 102, 499},
        {1000, 500, 34, 1017, 508, 4876, 1, 10, 102, 499},
        {1000, 500, 35, 1000, 500, 4794, 1, 10, 100, 500},
        {25, 25, 0, 25, 25, 119, 1, 0, 2, 1000},  // 2.5 rounds to even
        {350, 7, 0, 350, 7, 1678, 1, 4, 35, 20},  // 3.5 rounds to even
    };
    for (const auto& c : cases) {
        Scoring t(c.s, c.d, c.byteRate);
        ASSERT_EQ(ScoreMood(*t.state, *t.library, "a.mp3"), 0);
        const TuneRecord& r = t.record();
        SCOPED_TRACE(std::to_string(c.s) + " at byte rate " + std::to_string(c.byteRate));
        EXPECT_EQ(r.SignificantCount, c.count);
        EXPECT_EQ(r.DistinctBinCount, c.distinct);
        EXPECT_EQ(r.MoodEnergy, c.energy);
        EXPECT_EQ(r.Mood, c.mood);
        EXPECT_EQ(r.ActivityLevel, c.level);
        EXPECT_EQ(r.ActivityTens, c.tens);
        EXPECT_EQ(r.DistinctRatio, c.ratio);
    }

    const struct {
        int32_t energy, mood;
    } bands[] = {{-40, 1},   {5999, 1},  {6000, 2},  {11199, 2}, {11200, 3}, {15219, 3},
                 {15220, 4}, {23799, 4}, {23800, 5}, {37299, 5}, {37300, 6}, {38999, 6},
                 {39000, 7}, {44999, 7}, {45000, 8}, {50999, 8}, {51000, 9}, {900000, 9}};
    for (const auto& b : bands) {
        EXPECT_EQ(MoodForEnergy(b.energy), b.mood) << b.energy;
    }
}

TEST(MoodScoring, PeakStatistics) {
    std::vector<int32_t> outliers(18, 100), ties(10, 5), mixed = {5, 5, 7, 7};
    outliers.insert(outliers.end(), {0, 8192});
    ties.insert(ties.end(), 10, 7);
    mixed.insert(mixed.end(), 16, 9);
    std::vector<int16_t> wrapped(20, -25536), ramp;
    for (int16_t k = 1; k <= 20; ++k) {
        ramp.push_back(k);
    }
    const struct {
        std::vector<int32_t> bins;
        std::vector<int16_t> powers;
        int16_t mode;
        int32_t mean, trimmed, powerMean, pitch;
    } cases[] = {
        {std::vector<int32_t>(20, 0), {}, 0, 0, 0, 0, 0},
        {mixed, wrapped, 9, 8, 9, -25536, 2},
        {ties, ramp, 5, 6, 6, 10, 2},  // mode: the earlier of equal counts; 10.5 to even
        {outliers, {}, 100, 499, 100, 0, 26},
    };
    for (const auto& c : cases) {
        Scoring t(100);
        for (size_t k = 0; k < 20; ++k) {
            t.record().PeakBins[k + 1] = c.bins[k];
            t.record().PeakPowers[k + 1] = c.powers.empty() ? int16_t{0} : c.powers[k];
        }
        ASSERT_EQ(ScoreMood(*t.state, *t.library, "a.mp3"), 0);
        const TuneRecord& r = t.record();
        EXPECT_EQ(r.PeakBinMode, c.mode) << c.mean;
        EXPECT_EQ(r.PeakBinMean, c.mean);
        EXPECT_EQ(r.PeakBinTrimmedMean, c.trimmed) << c.mean;
        EXPECT_EQ(r.PeakPowerMean, c.powerMean) << c.mean;
        EXPECT_EQ(r.PitchIndex, c.pitch) << c.mean;
    }
}

TEST(MoodScoring, SilenceAndBookkeeping) {
    // A silent tune (no significant bins) is not scored and takes no serial number.
    Scoring t(150);
    t.state->SignificantBinSum = 0;
    t.library->AddedSerialCounter = 41;
    EXPECT_EQ(ScoreMood(*t.state, *t.library, "quiet.mp3"), kNoSignificantBins);
    EXPECT_EQ(t.record().FileName.view(), "");
    EXPECT_EQ(t.library->AddedSerialCounter, 41);

    t.state->SignificantBinSum = 1000;
    t.state->DistinctBinMean = 31.5;
    ASSERT_EQ(ScoreMood(*t.state, *t.library, "Song.mp3"), 0);
    EXPECT_EQ(t.library->AddedSerialCounter, 42);
    EXPECT_EQ(t.record().DistinctBinMean, 32);  // 31.5 to even
    EXPECT_EQ(t.library->TuneCount, 0) << "scoring commits nothing";

    // No slot under construction: nothing is scored, slot 0 included.
    Scoring none(150);
    none.library->CurrentTuneIndex = 0;
    EXPECT_NE(ScoreMood(*none.state, *none.library, "x.mp3"), 0);
    EXPECT_EQ((*none.library)[0], TuneRecord{});
}

TEST(MoodScoring, GenreResolution) {
    const struct {
        std::string genre, expectedGenre;
        int16_t code;
        std::string category;  // GenreCategory starts as "was"
    } cases[] = {
        {"(17)", "Rock", 17, "was"},     {"()", "Blues", 0, "was"},
        {"", "Unknown", -2, "was"},      {"Zydeco", "Zydeco", 255, "Zydeco"},
        {"(999)", "Unknown", -2, "was"}, {"(45)", "", 45, "was"},
        {"(17)Rock", "Rock", 17, "was"}, {"blues", "blues", 501, "was"},
    };
    for (const auto& c : cases) {
        TuneRecord r;
        r.Genre.Set(c.genre);
        r.GenreCategory.Set("was");
        r.GenreCode = 99;
        ResolveGenre(r);
        EXPECT_EQ(r.Genre.view(), c.expectedGenre) << c.genre;
        EXPECT_EQ(r.GenreCode, c.code) << c.genre;
        EXPECT_EQ(r.GenreCategory.view(), c.category) << c.genre;
    }
}

// Every 200th slot commits the tunes since the last commit, their genre categories first.
TEST(MoodScoring, CommitEvery200thWithHolidayAlbums) {
    auto library = std::make_unique<Library>();
    for (int i = 0; i < 199; ++i) {
        (*library)[*ClaimSlot(*library)].Genre.Set("Jazz");
    }
    (*library)[1].Album.Set("Merry xMas Songs");
    int saves = 0;
    EXPECT_FALSE(CommitAtInterval(*library, [&] { ++saves; }));
    (*library)[*ClaimSlot(*library)].Genre.Set("Jazz");
    EXPECT_TRUE(CommitAtInterval(*library, [&] { ++saves; }));
    EXPECT_FALSE(CommitAtInterval(*library, [&] { ++saves; })) << "nothing new to commit";
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(library->TuneCount, 200);
    EXPECT_EQ((*library)[1].GenreCategory.view(), "Holiday & Seasonal");
    EXPECT_EQ((*library)[200].GenreCategory.view(), "Jazz");
    EXPECT_EQ((*library)[0], TuneRecord{}) << "slot 0 is never touched";
}

TEST(MoodScoring, KeepTest) {
    const struct {
        int32_t code, count, binMean;
        bool kept;
    } cases[] = {{0, 8, 2736, true},     {0, 7, 100, false},    {0, 59999, 100, true},
                 {0, 60000, 100, false}, {0, 100, 2737, false}, {900, 100, 100, false}};
    for (const auto& c : cases) {
        SoundAnalysisState state;
        state.SignificantCount = c.count;
        TuneRecord record;
        record.SignificantBinMean = c.binMean;
        EXPECT_EQ(PassesKeepTest(c.code, state, record), c.kept) << c.count << "/" << c.binMean;
    }
}

}  // namespace
}  // namespace harmovia
