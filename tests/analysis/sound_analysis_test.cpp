#include "analysis/sound_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <new>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "analysis/mood_scoring.h"
#include "analysis/spectrum_significance.h"
#include "analysis/spectrum_transform.h"
#include "platform/movie.h"

namespace harmovia {
namespace {

// A stand-in movie whose sound the test computes: frame f of channel c is sample(f, c) at
// 44.1 kHz, in blocks laid out as the decoder lays them out; a window past the end of the
// sound is shorter.
class SyntheticMovie final : public Movie {
  public:
    using Sample = std::function<int16_t(int64_t frame, int channel)>;

    // `seconds` of sound; a duration of `reportedUnits` (0: the sound's own length).
    SyntheticMovie(double seconds, Sample sample, int channels = 2, uint32_t reportedUnits = 0)
        : sample_(std::move(sample)),
          channels_(channels),
          frames_(static_cast<int64_t>(seconds * kRate)),
          units_(reportedUnits != 0 ? reportedUnits
                                    : static_cast<uint32_t>(seconds * kMovieTimeScale)) {}

    int32_t TimeScale() const override { return timeScale; }
    uint32_t Duration() const override { return units_; }
    OsError ExtractSecond(uint32_t start, std::vector<uint8_t>& block) override {
        starts.push_back(start);
        if (failWith == kMemFullErr) {
            throw std::bad_alloc();  // as the decoder runs out of memory
        }
        if (failWith != kNoErr) {
            return failWith;
        }
        const int64_t first = int64_t{start} * kRate / kMovieTimeScale;
        const int64_t last = std::min(first + kRate, frames_);
        block.assign(kSoundBlockHeaderSize, 0);
        block[kSoundBlockChannelsOffset] = static_cast<uint8_t>(channels_);
        for (int64_t f = first; f < last; ++f) {
            for (int c = 0; c < channels_; ++c) {
                const auto v = static_cast<uint16_t>(sample_(f, c));
                block.push_back(static_cast<uint8_t>(v >> 8));
                block.push_back(static_cast<uint8_t>(v & 0xFF));
            }
        }
        block.resize(std::min(block.size(), truncateTo));
        return kNoErr;
    }

    size_t truncateTo = SIZE_MAX;  // cuts every block to this many bytes
    int32_t timeScale = kMovieTimeScale;
    OsError failWith = kNoErr;
    std::vector<uint32_t> starts;  // every start asked for

  private:
    Sample sample_;
    int channels_;
    static constexpr int64_t kRate = 44100;
    int64_t frames_;
    uint32_t units_;
};

int16_t Sine(int64_t frame, double hz, double amplitude = 12000) {
    return static_cast<int16_t>(std::lround(amplitude * std::sin(frame * hz * 2 * M_PI / 44100)));
}

TEST(SoundAnalysis, ResultCodes) {
    const struct {
        std::string name;
        double seconds;
        int channels, timeScale;
        OsError failWith;  // kMemFullErr: the decoder throws std::bad_alloc
        size_t truncateTo;
        uint16_t position;
        OsError expected;
        bool writesLength;  // DurationSeconds is written before the extraction
    } cases[] = {
        {"15 s", 15.0, 2, 600, kNoErr, SIZE_MAX, 1, kNoErr, true},
        {"14.99 s", 14.99, 2, 600, kNoErr, SIZE_MAX, 1, kTuneTooShort, false},
        {"no time scale", 60, 2, 0, kNoErr, SIZE_MAX, 1, kTuneTooShort, false},
        {"mono", 60, 1, 600, kNoErr, SIZE_MAX, 1, kNotTwoChannels, true},
        {"5.1", 60, 6, 600, kNoErr, SIZE_MAX, 1, kNotTwoChannels, true},
        {"decoder error", 60, 2, 600, kIoErr, SIZE_MAX, 1, kIoErr, true},
        {"wide decoder error", 60, 2, 600, 70000, SIZE_MAX, 1, 70000, true},
        {"decoder out of memory", 60, 2, 600, kMemFullErr, SIZE_MAX, 1, kMemFullErr, true},
        {"position 0", 60, 2, 600, kNoErr, SIZE_MAX, 0, kBadWindowPosition, false},
        {"position 21", 60, 2, 600, kNoErr, SIZE_MAX, 21, kBadWindowPosition, false},
        {"10-byte block", 60, 2, 600, kNoErr, 10, 1, kNotTwoChannels, true},
        {"header only", 60, 2, 600, kNoErr, 84, 1, kNoErr, true},  // silence
        {"87 bytes: no whole frame", 60, 2, 600, kNoErr, 87, 1, kNoErr, true},
    };
    for (const auto& c : cases) {
        SyntheticMovie movie(
            c.seconds, [](int64_t f, int) { return Sine(f, 500); }, c.channels);
        movie.timeScale = c.timeScale;
        movie.failWith = c.failWith;
        movie.truncateTo = c.truncateTo;
        auto state = std::make_unique<SoundAnalysisState>();
        auto record = std::make_unique<TuneRecord>();
        record->FileSize = 1'000'000;
        const TuneRecord before = *record;
        EXPECT_EQ(MeasureSoundWindow(*state, movie, c.position, *record), c.expected) << c.name;
        EXPECT_EQ(record->DurationSeconds != 0, c.writesLength) << c.name;
        EXPECT_EQ(state->WindowCounter, c.expected == kNoErr ? 2 : 0) << c.name;
        if (!c.writesLength) {
            EXPECT_EQ(*record, before) << c.name;
        }
    }

    // The per-window entries end at 30: a 16th window is refused.
    SyntheticMovie movie(60, [](int64_t f, int) { return Sine(f, 500); });
    auto state = std::make_unique<SoundAnalysisState>();
    auto record = std::make_unique<TuneRecord>();
    for (uint16_t position = 1; position <= 15; ++position) {
        ASSERT_EQ(MeasureSoundWindow(*state, movie, position, *record), kNoErr);
    }
    EXPECT_EQ(MeasureSoundWindow(*state, movie, 16, *record), kBadWindowPosition);
}

TEST(SoundAnalysis, WindowStartsAndByteRate) {
    const struct {
        uint32_t units, fileSize;
        uint16_t position;
        uint32_t start;
        uint16_t byteRate;
    } cases[] = {
        {60000, 0, 1, 3000, 7},                // no file size: ByteRateIndex keeps its value
        {60000, 1'000'000, 7, 30000, 16},      // half way
        {60000, 1'000'000, 20, 52200, 16},     // 0.87
        {60000, 1'000'000, 16, 7800, 16},      // 0.13
        {9001, 9000, 7, 4500, 1},              // 4500.5 rounds to even
        {9003, 9000, 7, 4502, 1},              // 4501.5 rounds to even
        {9000, 4'000'000'000, 1, 450, 51228},  // 444444 keeps its low 16 bits
    };
    for (const auto& c : cases) {
        SyntheticMovie movie(
            c.units / 600.0, [](int64_t f, int) { return Sine(f, 300); }, 2, c.units);
        auto state = std::make_unique<SoundAnalysisState>();
        auto record = std::make_unique<TuneRecord>();
        record->FileSize = c.fileSize;
        record->ByteRateIndex = 7;
        ASSERT_EQ(MeasureSoundWindow(*state, movie, c.position, *record), kNoErr);
        EXPECT_EQ(movie.starts.at(0), c.start) << c.units << " @" << c.position;
        EXPECT_EQ(record->ByteRateIndex, c.byteRate) << c.units << " @" << c.position;
    }
}

// Only the low 16 bits of a peak power are kept: a louder tone's power reads back negative.
TEST(SoundAnalysis, PeakPowerKeepsItsLow16Bits) {
    int16_t firstPowers[2] = {};
    for (const int loud : {0, 1}) {
        const double amplitude = loud == 1 ? 32000.0 : 12000.0;
        SyntheticMovie movie(60, [=](int64_t f, int) { return Sine(f, 1000, amplitude); });
        auto state = std::make_unique<SoundAnalysisState>();
        auto record = std::make_unique<TuneRecord>();
        ASSERT_EQ(MeasureTune(*state, movie, *record), kNoErr);
        firstPowers[loud] = record->PeakPowers[1];
    }
    EXPECT_LT(firstPowers[1], 0);
    EXPECT_NEAR(firstPowers[1] + 65536, firstPowers[0] * (32000.0 / 12000) * (32000.0 / 12000), 20);
}

// The production transform and significance pass against the loops as written: the same
// bits and the same figures, whatever the input.
using Buffer = std::vector<double>;

TEST(SpectrumTransform, ProductionIsBitIdenticalToTheLoopAsWritten) {
    std::mt19937 random(1);
    std::uniform_real_distribution<double> value(-1e4, 1e4);
    using Point = std::pair<double, double>;
    const std::function<Point(int)> inputs[] = {
        [&](int) { return Point(value(random), value(random)); },
        [&](int) { return Point(std::round(value(random) * 3.2768), 0.0); },
        [](int) { return Point(0.0, 0.0); },
        // Music-like 16-bit input: two tones and a little hiss.
        [&](int j) {
            return Point(std::round(9000 * std::sin(j * 0.0627) + 4000 * std::sin(j * 0.31) +
                                    static_cast<double>(random() % 301) - 150),
                         0.0);
        },
        [](int j) { return Point(j % 2 == 0 ? -32768.0 : 32767.0, 0.0); },
    };
    for (size_t i = 0; i < std::size(inputs); ++i) {
        Buffer expected(kSpectrumSize, 0.0);
        for (int j = 0; j < kSpectrumPoints; ++j) {
            std::tie(expected[1 + 2 * j], expected[2 + 2 * j]) = inputs[i](j);
        }
        Buffer actual = expected;
        TransformSpectrumAsWritten(SpectrumSpan(expected.data(), kSpectrumSize));
        TransformSpectrum(SpectrumSpan(actual.data(), kSpectrumSize));
        EXPECT_EQ(std::memcmp(actual.data(), expected.data(), actual.size() * sizeof(double)), 0)
            << "input " << i;
    }
}

// Every accumulator a spectrum advances.
auto Accumulators(const SoundAnalysisState& s) {
    return std::tuple(s.SignificantBinSum, s.SignificantCount, s.DistinctBins,
                      s.DistinctBinListLength, s.DistinctBinSeen, s.DistinctBinCount,
                      s.DistinctBinMean, s.PeakBinsSeen, s.PeakBinDistinctCount, s.Centroid);
}

// Once-per-pass power and flag lookups give exactly what the per-bin rule gives, over a
// tune's worth of transformed spectra (including silence and repeated peaks).
TEST(SpectrumSignificance, MatchesTheRuleAsWritten) {
    auto fast = std::make_unique<SoundAnalysisState>();
    auto literal = std::make_unique<SoundAnalysisState>();
    std::mt19937 random(17);
    for (int pass = 0; pass < 20; ++pass) {
        Buffer x(kSpectrumSize, 0.0);
        if (pass != 4) {
            const double step = 0.01 + 0.003 * (pass % 7);
            const int noise = 2000 + 1500 * pass;
            for (int j = 0; j < kSpectrumPoints; ++j) {
                x[1 + 2 * static_cast<size_t>(j)] =
                    std::round(8000 * std::sin(j * step) +
                               static_cast<int>(random() % 4001) * noise / 2000 - noise);
            }
            TransformSpectrum(SpectrumSpan(x.data(), kSpectrumSize));
        }
        const ConstSpectrumSpan spectrum(x.data(), kSpectrumSize);
        const SpectrumFindings a = AccumulateSpectrum(spectrum, *fast);
        const SpectrumFindings b = AccumulateSpectrumAsWritten(spectrum, *literal);
        EXPECT_EQ(std::tie(a.peakBin, a.peakPower, a.significantBins, a.average),
                  std::tie(b.peakBin, b.peakPower, b.significantBins, b.average))
            << "pass " << pass;
    }
    EXPECT_TRUE(Accumulators(*fast) == Accumulators(*literal));
    EXPECT_GT(fast->DistinctBinCount, 2000) << "the input should exercise the distinct list";
}

// One synthetic tune, measured and scored, pinned field by field. Its samples are computed
// with integers only and fed through a stand-in movie, so every number below follows from
// the measurement's own arithmetic: a change in any step (byte pairing, mono reduction,
// transform, significance, scoring) shows here, on any machine and build.
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
    SyntheticMovie movie(187, PinnedSample);
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
