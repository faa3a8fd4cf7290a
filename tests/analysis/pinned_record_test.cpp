// One synthetic tune, measured and scored, pinned field by field. Its samples are computed
// with integers only and fed through a stand-in movie, so every number below follows from
// the measurement's own arithmetic: a change in any step (byte pairing, mono reduction,
// transform, significance, scoring) shows here, on any machine and build.

#include <algorithm>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "analysis/mood_scoring.h"
#include "analysis/sound_analysis.h"
#include "tests/analysis/synthetic_movie.h"

namespace harmovia {
namespace {

// Two sawtooth voices whose pitches change every few seconds, an envelope, and hashed noise.
int16_t PinnedSample(int64_t frame, int channel) {
    const int64_t second = frame / 44100;
    const int64_t period = 60 + 17 * ((second / 3) % 9) + 5 * channel;
    const int64_t saw = (frame % period) * 2000 / period - 1000;
    const int64_t period2 = 23 + 11 * ((second / 5) % 4);
    const int64_t saw2 = (frame % period2) * 600 / period2 - 300;
    uint64_t h = static_cast<uint64_t>(frame * 2 + channel) * 0x9E3779B97F4A7C15u;
    h ^= h >> 29;
    const int64_t noise = static_cast<int64_t>(h % 1601) - 800;
    const int64_t value = saw * (4 + second % 5) * 2 + saw2 * 5 + noise * (1 + second % 3);
    return static_cast<int16_t>(std::clamp<int64_t>(value, -32768, 32767));
}

// Every numeric field that means something, in record order: "Name=value" and arrays as
// "Name=e1,e2,...,e30".
struct NumberText {
    std::string text;

    template <class T>
    void Number(int, std::string_view name, FieldRole role, FieldOrder, const T& value) {
        if (role == FieldRole::Data && !name.empty()) {
            text += std::string(name) + "=" + std::to_string(value) + " ";
        }
    }
    template <class Span>
    void NumberArray(int, std::string_view name, FieldRole role, Span values) {
        if (role == FieldRole::Data) {
            text += std::string(name) + "=";
            for (size_t k = 0; k < values.size(); ++k) {
                text += std::to_string(values[k]) + (k + 1 < values.size() ? "," : " ");
            }
        }
    }
    template <class Slot>
    void Text(int, std::string_view, const Slot&) {}
    template <class Span>
    void Bytes(int, std::string_view, FieldRole, Span) {}
};

TEST(PinnedRecord, EveryFieldOfOneSyntheticTune) {
    testing::SyntheticMovie movie(187, PinnedSample);
    auto library = std::make_unique<Library>();
    TuneRecord& record = (*library)[*ClaimSlot(*library)];
    record.FileSize = 187 * 600 * 25 + 123;  // byte rate 25: the factor applies
    record.Genre.Set("(17)");
    record.Album.Set("Night Drive");
    auto state = std::make_unique<SoundAnalysisState>();
    ASSERT_EQ(MeasureTune(*state, movie, record), kNoErr);
    ASSERT_EQ(ScoreMood(*state, *library, "Pinned.mp3"), 0);
    NumberText numbers;
    VisitTuneFields(record, numbers);
    EXPECT_EQ(numbers.text,
              "VolumeRef=0 FolderId=0 FileSize=2805123 DurationSeconds=187 ByteRateIndex=25 "
              "GenreCode=17 ActivityLevel=34 MoodEnergy=16402 Mood=4 PitchIndex=1879 "
              "ActivityTens=342 MoodColourRed=43264 MoodColourGreen=46336 MoodColourBlue=0 "
              "FileKind=0 "
              "PeakBins=197,197,135,131,364,336,197,188,364,336,135,119,171,164,284,266,122,119,"
              "171,146,0,0,0,0,0,0,0,0,0,0 "
              "PeakPowers=6148,796,5526,2829,5223,2363,3455,1963,2623,618,1078,658,3683,2427,2915,"
              "1580,2511,1082,3511,658,0,0,0,0,0,0,0,0,0,0 "
              "PeakBinMode=197 PeakBinTrimmedMean=203 PeakBinMean=207 PeakPowerMean=2582 "
              "DistinctRatio=432 SignificantBinMean=1870 PeakBinDistinctCount=13 "
              "FirstWindowCentroid=8036 SignificantBinSum=6291370 FirstWindowDistinct=139 "
              "DistinctBinCountRaw=1455 FirstWindowSignificant=139 SignificantCountRaw=3363 "
              "DistinctBinCount=1480 DistinctBinMean=3263 SignificantCount=3421 Centroid=6691 "
              "Reserved2406=0 Reserved2410=0 LastAddedFlag=1 Reserved2416=0 SmartPlayCount=0 "
              "RecordIndex=1 Rating=0 Checked=1 Similarity=0 AddedSerial=1 ");
    EXPECT_EQ(record.Genre.view(), "Rock");
    EXPECT_EQ(record.DurationText.view(), "3:07");
    EXPECT_EQ(record.FileName.view(), "Pinned.mp3");
}

}  // namespace
}  // namespace harmovia
