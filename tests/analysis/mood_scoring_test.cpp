#include "analysis/mood_scoring.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/mood_by_hand.h"
#include "analysis/mood_explanation.h"
#include "analysis/sound_analysis.h"
#include "library/library_file.h"
#include "library/mood.h"
#include "platform/app_folders.h"
#include "platform/file_system.h"
#include "tests/support/temp_folder.h"

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

// The record as scoring leaves it, with a spectral centroid that sets its pitch.
TuneRecord Scored(int32_t significant, int32_t distinct, uint16_t byteRate = 0,
                  double centroid = 0) {
    Scoring t(significant, distinct, byteRate);
    t.state->Centroid = centroid;
    EXPECT_EQ(ScoreMood(*t.state, *t.library, "a.mp3"), 0);
    return t.record();
}

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
        const TuneRecord r = Scored(c.s, c.d, c.byteRate);
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

MoodColour ColourOf(const TuneRecord& r) {
    return {r.MoodColourRed, r.MoodColourGreen, r.MoodColourBlue};
}

TEST(MoodByHand, ChoicesMarkKeepAndRestore) {
    const TuneRecord groove = Scored(5000, 2500);  // energy 23972: Move & Groove
    ASSERT_EQ(groove.Mood, 5);
    const struct {
        const char* what;
        std::array<int32_t, 3> choices;  // 0 is "As Measured"; -1 no choice
        MoodChoice last;
        int32_t mood;
        uint8_t mark;
    } cases[] = {
        {"by hand", {9, -1, -1}, MoodChoice::Changed, 9, 0x85},
        {"by hand twice", {9, 2, -1}, MoodChoice::Changed, 2, 0x85},
        {"the same again", {9, 9, -1}, MoodChoice::Unchanged, 9, 0x85},
        {"as measured", {9, 0, -1}, MoodChoice::Changed, 5, 0},
        {"the measured mood", {9, 5, -1}, MoodChoice::Changed, 5, 0},
        {"as measured, never set", {0, -1, -1}, MoodChoice::Unchanged, 5, 0},
        {"out of range", {10, -1, -1}, MoodChoice::Unchanged, 5, 0},
        {"back and forth", {1, 0, 8}, MoodChoice::Changed, 8, 0x85},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TuneRecord r = groove;
        MoodChoice last = MoodChoice::Unchanged;
        for (const int32_t choice : c.choices) {
            if (choice != -1) {
                last = ChooseMood(r, choice);
            }
        }
        EXPECT_EQ(last, c.last);
        EXPECT_EQ(r.Mood, c.mood);
        EXPECT_EQ(ColourOf(r), MoodTable[static_cast<size_t>(c.mood)].colour);
        EXPECT_EQ(r.MoodMark, c.mark);
        EXPECT_EQ(IsMoodSetByHand(r), c.mark != 0);
        EXPECT_EQ(MeasuredMood(r), 5);
        // The measurement is never touched.
        EXPECT_EQ(r.MoodEnergy, groove.MoodEnergy);
        EXPECT_EQ(r.SignificantCount, groove.SignificantCount);
    }
}

// A byte that is no consistent mark is not a choice: a stale one in a reused slot, one an
// older build carried along, a damaged record.
TEST(MoodByHand, OnlyAConsistentMarkCounts) {
    const TuneRecord groove = Scored(5000, 2500);
    const struct {
        const char* what;
        uint8_t mark;
        int32_t mood;
        bool byHand;
    } cases[] = {
        {"mark of another tune's measured mood", 0x82, 5, false},
        {"mark of its own mood", 0x85, 5, false},
        {"mark beyond the moods", 0x8A, 7, false},
        {"garbage", 0x37, 7, false},
        {"a real choice", 0x85, 7, true},
        {"a damaged mood", 0x85, 12, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TuneRecord r = groove;
        r.MoodMark = c.mark;
        r.Mood = c.mood;
        EXPECT_EQ(IsMoodSetByHand(r), c.byHand);
    }
    TuneRecord damaged = groove;
    damaged.Mood = 12;
    EXPECT_EQ(ChooseMood(damaged, 3), MoodChoice::NotMeasured);
    EXPECT_EQ(damaged.Mood, 12);
}

// Set, save, load: the mark and both moods come back, and only the mood's bytes and the
// mark's byte differ from the record as measured. A build that knows no mark reads the
// chosen mood.
TEST(MoodByHand, SurvivesTheFileAndOlderBuildsReadTheChoice) {
    testing::TempFolder folder;
    auto library = std::make_unique<Library>();
    (*library)[1] = Scored(5000, 2500);
    (*library)[1].Spare2418 = {0xDEADBEEF, 1, 2, 3};  // spare neighbours with something in
    (*library)[1].Reserved2416 = 0x5A;
    library->TuneCount = library->CurrentTuneIndex = 1;
    const std::vector<uint8_t> measured = EncodeLibrary(*library);
    ASSERT_EQ(ChooseMood((*library)[1], 8), MoodChoice::Changed);
    DiskFileSystem files;
    ASSERT_EQ(SaveLibrary(*library, files, folder.path()), kNoErr);

    auto loaded = std::make_unique<Library>();
    ASSERT_EQ(LoadLibrary(*loaded, files, folder.path()).error, kNoErr);
    EXPECT_EQ((*loaded)[1].Mood, 8);
    EXPECT_TRUE(IsMoodSetByHand((*loaded)[1]));
    EXPECT_EQ(MeasuredMood((*loaded)[1]), 5);
    EXPECT_EQ(loaded->MoodCounts[8], 1);
    EXPECT_EQ(loaded->MoodCounts[5], 0);

    const std::vector<uint8_t> chosen = testing::ReadBytes(folder / kLibraryFileName);
    ASSERT_EQ(chosen.size(), measured.size());
    for (size_t at = 0; at < chosen.size(); ++at) {
        const bool mood = at >= 1820 && at < 1824;
        const bool colour = at == 1834 || at == 1838 || at == 1842;  // high bytes of the words
        if (!mood && !colour && at != 2417) {
            EXPECT_EQ(chosen[at], measured[at]) << "offset " << at;
        }
    }
    EXPECT_EQ(chosen[2417], 0x85);

    // An older build: the byte is spare, carried along, and Mood is what it shows.
    TuneRecord older;
    DecodeTuneRecord(std::span<const uint8_t, kTuneRecordSize>(chosen.data(), kTuneRecordSize),
                     older);
    EXPECT_EQ(older.Mood, 8);
    EXPECT_EQ(ColourOf(older), MoodTable[8].colour);
    older.MoodMark = 0;
    EXPECT_FALSE(IsMoodSetByHand(older));

    ASSERT_EQ(ChooseMood((*loaded)[1], 0), MoodChoice::Changed);
    EXPECT_EQ(EncodeLibrary(*loaded), measured) << "As Measured gives back the measured bytes";
}

TEST(MoodExplanation, WordsAndOrderFromTheStoredMeasurement) {
    TuneRecord handSet = Scored(25000, 5000, 0, 1500.0);
    ASSERT_EQ(ChooseMood(handSet, 2), MoodChoice::Changed);
    TuneRecord retraced = Scored(5000, 2500);
    retraced.MoodEnergy = 30000;  // a stored energy its activity does not give
    const struct {
        const char* what;
        TuneRecord record;
        const char* text;
    } cases[] = {
        {"activity alone", Scored(5000, 2500, 0, 800.0),
         "Move & Groove: energy 23972, 1% of the way through its band (23800 to 37299). "
         "Activity 50.00 made all of it; pitch 216, spectral spread 500, genre and album do "
         "not enter the energy. Below activity 49.64 it would be Lite & Lively, from 91.84 "
         "Uptempo Workout."},
        {"corrected for the bit rate", Scored(3000, 600, 20),
         "Dinner & Drinks: energy 14628, 85% of the way through its band (11200 to 15219). "
         "Activity 30.00 gave 14383 and the correction for its bit rate added 245 (activity "
         "30.51); pitch 0, spectral spread 199, genre and album do not enter the energy. Below "
         "activity 23.36 it would be Cool Blue Chill, from 31.75 Lite & Lively."},
        {"set by hand", handSet,
         "Set by hand to Cool Blue Chill; measured Maximum Wild. Maximum Wild: energy 57698, "
         "6698 above the 51000 where its band begins. Activity 250.00 made all of it; pitch "
         "405, spectral spread 200, genre and album do not enter the energy. Below activity "
         "198.06 it would be Dance, Dance, Dance."},
        {"the quietest mood", Scored(1000, 500),
         "Deep Relaxation: energy 4794, below the 6000 where Cool Blue Chill begins. Activity "
         "10.00 made all of it; pitch 0, spectral spread 500, genre and album do not enter "
         "the energy. From activity 12.52 it would be Cool Blue Chill."},
        {"not retraceable", retraced,
         "Move & Groove: energy 30000, 45% of the way through its band (23800 to 37299). Its "
         "stored activity 50.00 gives 23972, not its energy, so the record does not tell what "
         "made it; pitch 0, spectral spread 500, genre and album do not enter the energy. "
         "Below activity 49.64 it would be Lite & Lively, from 91.84 Uptempo Workout."},
        {"never scored", TuneRecord{}, "Not measured: there is no mood to explain."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ExplainMood(c.record), c.text);
    }
}

// Each mood begins at the least count whose energy reaches its band, one below does not.
TEST(MoodExplanation, LeastCountsMeetTheBandEdges) {
    for (int32_t mood = 2; mood <= kMoodCount; ++mood) {
        SCOPED_TRACE(mood);
        const int32_t least = LeastCountForMood(mood);
        EXPECT_GE(MoodForEnergy(static_cast<int32_t>(MoodEnergyForCount(least))), mood);
        EXPECT_LT(MoodForEnergy(static_cast<int32_t>(MoodEnergyForCount(least - 1))), mood);
    }
    EXPECT_EQ(LeastCountForMood(1), 0);
}

}  // namespace
}  // namespace harmovia
