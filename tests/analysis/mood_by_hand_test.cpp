#include "analysis/mood_by_hand.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "analysis/mood_explanation.h"
#include "analysis/mood_scoring.h"
#include "library/library_file.h"
#include "library/mood.h"
#include "platform/app_folders.h"
#include "platform/file_system.h"
#include "tests/support/temp_folder.h"

namespace harmovia {
namespace {

// A record as scoring leaves it: S significant bins (D distinct) at a byte rate, with a
// spectral centroid that sets its pitch.
TuneRecord Scored(int32_t significant, int32_t distinct, uint16_t byteRate = 0,
                  double centroid = 0) {
    auto library = std::make_unique<Library>();
    auto state = std::make_unique<SoundAnalysisState>();
    ClaimSlot(*library);
    TuneRecord& r = (*library)[1];
    r.ByteRateIndex = byteRate;
    r.Genre.Set("Rock");
    state->SignificantCount = significant;
    state->DistinctBinCount = distinct;
    state->SignificantBinSum = 1000;
    state->Centroid = centroid;
    EXPECT_EQ(ScoreMood(*state, *library, "a.mp3"), 0);
    return r;
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
