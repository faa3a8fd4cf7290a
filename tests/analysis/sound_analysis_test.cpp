#include "analysis/sound_analysis.h"

#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tests/analysis/synthetic_movie.h"

namespace harmovia {
namespace {

using testing::SyntheticMovie;

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

}  // namespace
}  // namespace harmovia
