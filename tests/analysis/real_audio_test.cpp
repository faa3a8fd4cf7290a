// Tunes encoded by the ffmpeg command, decoded by the program's movie framework, measured and
// scored as an add does.

#include <memory>

#include <gtest/gtest.h>

#include "analysis/mood_scoring.h"
#include "analysis/sound_analysis.h"
#include "platform/movie_ffmpeg.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

namespace harmovia {
namespace {

using testing::TestAudio;
using testing::TestSignal;

TEST(RealAudio, SineKeepsItsPeakAtEitherRateAndSilenceScoresNothing) {
    const struct {
        const char* name;
        int rate;  // at 22050 Hz a window holds half the frames; the rest measures as silence
        TestSignal signal;
        int32_t score;
    } cases[] = {
        {"sine.mp3", 44100, TestSignal::Sine, 0},
        {"sine22.mp3", 22050, TestSignal::Sine, 0},
        {"silence.mp3", 44100, TestSignal::Silence, kNoSignificantBins},
    };
    testing::TempFolder folder;
    auto framework = MakeFfmpegMovieFramework();
    ASSERT_EQ(framework->EnterMovies(), kNoErr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // 15 s: the shortest tune that is measured.
        const TestAudio audio{
            .signal = c.signal, .frequency = 1000, .seconds = 15, .sampleRate = c.rate};
        std::unique_ptr<Movie> movie;
        ASSERT_EQ(framework->OpenMovie(MakeTestAudio(folder / c.name, audio), movie), kNoErr);
        auto library = std::make_unique<Library>();
        auto state = std::make_unique<SoundAnalysisState>();
        TuneRecord& record = (*library)[*ClaimSlot(*library)];
        ASSERT_EQ(MeasureTune(*state, *movie, record), kNoErr);
        EXPECT_EQ(record.PeakBins[1] != 0, c.signal == TestSignal::Sine);
        for (int w = 2; w <= 20; ++w) {
            EXPECT_EQ(record.PeakBins[w], record.PeakBins[1]) << "spectrum " << w;
        }
        EXPECT_EQ(ScoreMood(*state, *library, c.name), c.score);
    }
}

}  // namespace
}  // namespace harmovia
