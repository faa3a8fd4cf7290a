// Tunes encoded by the ffmpeg command, decoded by the program's movie framework and measured
// as the add pipeline measures them.

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "analysis/mood_scoring.h"
#include "analysis/sound_analysis.h"
#include "platform/movie_ffmpeg.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

namespace harmovia {
namespace {

using testing::TestAudio;
using testing::TestEncoding;
using testing::TestSignal;

struct Measured {
    OsError code = kNoErr;
    int windows = 0;  // windows that returned 0
    std::unique_ptr<SoundAnalysisState> state = std::make_unique<SoundAnalysisState>();
    std::unique_ptr<Library> library = std::make_unique<Library>();
    TuneRecord& record() { return (*library)[1]; }
};

Measured MeasureFile(const TestAudio& audio, const std::string& name) {
    testing::TempFolder folder;
    const auto file = MakeTestAudio(folder / name, audio);
    auto framework = MakeFfmpegMovieFramework();
    EXPECT_EQ(framework->EnterMovies(), kNoErr);
    std::unique_ptr<Movie> movie;
    Measured m;
    EXPECT_EQ(framework->OpenMovie(file, movie), kNoErr) << name;
    if (!movie) {
        m.code = kIoErr;
        return m;
    }
    ClaimSlot(*m.library);
    ResetSoundAnalysis(*m.state);
    for (uint16_t position = 1; position <= kWindowsPerTune && m.code == kNoErr; ++position) {
        m.code = MeasureSoundWindow(*m.state, *movie, position, m.record());
        m.windows += m.code == kNoErr ? 1 : 0;
    }
    return m;
}

TestAudio Sine(double seconds, int channels = 2, TestEncoding encoding = TestEncoding::Mp3Cbr) {
    TestAudio audio;
    audio.frequency = 1000;
    audio.seconds = seconds;
    audio.channels = channels;
    audio.encoding = encoding;
    return audio;
}

TEST(RealAudio, LengthAndChannelRules) {
    const struct {
        std::string name;
        TestAudio audio;
        OsError code;
        int windows;
    } cases[] = {
        {"14s.mp3", Sine(14), kTuneTooShort, 0},
        {"15s.m4a", Sine(15, 2, TestEncoding::AacM4a), kNoErr, 10},
        {"15s.mp3", Sine(15), kNoErr, 10},
        {"mono.mp3", Sine(30, 1), kNotTwoChannels, 0},
        {"surround.m4a", Sine(30, 6, TestEncoding::AacM4a), kNotTwoChannels, 0},
    };
    for (const auto& c : cases) {
        Measured m = MeasureFile(c.audio, c.name);
        EXPECT_EQ(m.code, c.code) << c.name;
        EXPECT_EQ(m.windows, c.windows) << c.name;
        EXPECT_EQ(m.record().PeakBins[1] != 0, c.windows > 0) << c.name;
    }
}

TEST(RealAudio, SineSilenceAndLowRates) {
    // A steady tone peaks in the same bin in every spectrum; at 22050 Hz a window holds half
    // the frames and the rest is measured as silence.
    for (int rate : {44100, 22050}) {
        TestAudio audio = Sine(40);
        audio.sampleRate = rate;
        Measured m = MeasureFile(audio, "sine" + std::to_string(rate) + ".mp3");
        ASSERT_EQ(m.code, kNoErr) << rate;
        for (int w = 2; w <= 20; ++w) {
            EXPECT_EQ(m.record().PeakBins[w], m.record().PeakBins[1]) << rate << " Hz, " << w;
        }
        EXPECT_EQ(ScoreMood(*m.state, *m.library, "sine.mp3"), 0);
    }

    TestAudio silence = Sine(20);
    silence.signal = TestSignal::Silence;
    Measured m = MeasureFile(silence, "silence.mp3");
    ASSERT_EQ(m.code, kNoErr);
    EXPECT_EQ(ScoreMood(*m.state, *m.library, "silence.mp3"), kNoSignificantBins);
}

}  // namespace
}  // namespace harmovia
