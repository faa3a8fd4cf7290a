#include <chrono>
#include <cmath>
#include <functional>
#include <numeric>
#include <thread>

#include <gtest/gtest.h>

#include "platform/movie_playback_ffmpeg.h"
#include "platform/movie_volume.h"
#include "platform/sample_ring.h"
#include "tests/support/audio_suite.h"

namespace harmovia {
namespace {

using testing::TestEncoding;

constexpr int kRate = 44100;
constexpr int64_t kTuneSamples = 3 * kRate * 2;  // three seconds of stereo

class MoviePlayback : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = testing::MakeTestAudioFolder({
            {"tune.caf", {.amplitude = 0.3, .encoding = TestEncoding::CafPcm}},
            {"loud.mp3", {.amplitude = 0.9, .kbps = 320}},
            {"short.mp3", {.seconds = 1.0}},
            {"mono.mp3", {.seconds = 2.0, .channels = 1}},
            {"six.m4a", {.seconds = 2.0, .channels = 6, .encoding = TestEncoding::AacM4a}},
            {"48k.mp3", {.seconds = 2.0, .sampleRate = 48000}},
            {"tune.flac", {.amplitude = 0.3, .encoding = TestEncoding::Flac}},
            {"tune.ogg", {.amplitude = 0.3, .encoding = TestEncoding::Vorbis}},
            {"tune.opus", {.amplitude = 0.3, .encoding = TestEncoding::Opus}},
        });
    }
    static void TearDownTestSuite() { folder_.reset(); }

    // Opens `name` for the fast silent output at `volume` and starts it.
    std::unique_ptr<PlayingMovie> Started(const std::string& name, int16_t volume) {
        std::unique_ptr<PlayingMovie> movie;
        EXPECT_EQ(player_->OpenPlayingMovie(*folder_ / name, movie), kNoErr) << name;
        if (movie) {
            movie->SetVolume(volume);
            movie->GoToBeginning();
            movie->Start();
        }
        return movie;
    }

    // Gives the movie time until `enough` holds, pausing `pause` between its tasks.
    static bool TaskUntil(PlayingMovie& movie, const std::function<bool()>& enough,
                          std::chrono::milliseconds pause = std::chrono::milliseconds(0)) {
        return testing::StepUntil(enough, [&] {
            movie.Task();
            std::this_thread::sleep_for(pause);
        });
    }
    static bool PlayToEnd(PlayingMovie& movie) {
        return TaskUntil(movie, [&] { return movie.IsDone(); });
    }

    static inline std::unique_ptr<testing::TempFolder> folder_;
    SampleLevels levels_;
    std::unique_ptr<MoviePlayer> player_ =
        MakeFfmpegMoviePlayer(AudioOutputChoice::SilentFast, levels_);
};

// Truncated towards zero, saturated at +-32767 (never -32768), nothing for a volume <= 0.
TEST(MovieVolume, ScalesTruncatesAndSaturates) {
    const struct {
        int16_t sample, volume, expected;
    } cases[] = {
        {1000, 102, 398},        {-1000, 410, -1601},   {-255, 1, 0},
        {20000, 512, 32767},     {-20000, 512, -32767}, {-32768, 256, -32767},
        {-32768, 32767, -32767}, {100, -1, 0},
    };
    for (const auto& c : cases) {
        int16_t sample[] = {c.sample};
        ApplyMovieVolume(sample, c.volume);
        EXPECT_EQ(sample[0], c.expected) << c.sample << " at " << c.volume;
    }
}

// Writes and reads of uneven sizes, so that frames straddle the ring's end.
TEST(SampleRingTest, MovesWholeFramesInOrderAcrossTheWrap) {
    SampleRing ring(4, 2);  // eight samples
    std::vector<int16_t> source(40), received;
    std::iota(source.begin(), source.end(), int16_t{1});
    size_t written = 0;
    for (const size_t take : {3, 8, 1, 6, 5, 8, 8, 8, 8}) {
        written += ring.Write(std::span<const int16_t>(source).subspan(written));
        std::vector<int16_t> block(take);
        block.resize(ring.Read(block));
        EXPECT_EQ(block.size() % 2, 0u);
        received.insert(received.end(), block.begin(), block.end());
    }
    EXPECT_EQ(received, source);
    EXPECT_EQ(ring.Write(std::vector<int16_t>(3, 7)), 2u);  // only the whole frame
}

TEST(SampleRingTest, AWaitingWriterEndsWhenStopped) {
    SampleRing ring(4, 2);
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        const std::vector<int16_t> block(64, 1);
        while (!stop) {
            if (ring.Write(block) == 0) {
                ring.WaitForRoom(stop);
            }
        }
    });
    while (ring.Available() < 8) {
        std::this_thread::yield();  // until the writer has filled the ring
    }
    stop = true;
    ring.Wake();
    writer.join();  // a lost wake-up hangs here
}

// Any layout and rate comes out whole as 16-bit stereo at the tune's own rate, each sample
// scaled by volume / 256 and clipped at full scale rather than wrapped round.
TEST_F(MoviePlayback, PlaysWholeAsStereoAtTheVolumeAndClipsWithoutWrapping) {
    const struct {
        const char* file;
        int16_t volume;
        int64_t samples;  // MP3 and AAC within a frame of it: the encoder's padding is trimmed
        double rms;       // of full scale; < 0: clipped at full scale
    } cases[] = {
        {"tune.caf", 410, kTuneSamples, 0.3 * M_SQRT1_2 * 410 / 256},
        {"loud.mp3", 730, kTuneSamples, -1},
        {"mono.mp3", 256, 2 * 2 * kRate, 0.5 * M_SQRT1_2 * M_SQRT1_2},  // -3 dB to each side
        {"six.m4a", 256, 2 * 2 * kRate, 0.5 * M_SQRT1_2},
        {"48k.mp3", 256, 2 * 2 * 48000, 0.5 * M_SQRT1_2},
        {"tune.flac", 256, kTuneSamples, 0.3 * M_SQRT1_2},
        {"tune.ogg", 256, kTuneSamples, 0.3 * M_SQRT1_2},
        {"tune.opus", 256, 3 * 2 * 48000, 0.3 * M_SQRT1_2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.volume));
        levels_ = {};
        player_->CloseOutput();  // each its own run: the silent output takes the tune's rate
        auto movie = Started(c.file, c.volume);
        ASSERT_TRUE(movie && PlayToEnd(*movie));
        const std::string file = c.file;
        const bool exact = !file.ends_with(".mp3") && !file.ends_with(".m4a");
        EXPECT_NEAR(static_cast<double>(levels_.samples), static_cast<double>(c.samples),
                    exact ? 0.0 : 2 * 1152.0);
        // A sine moves by under 2 % of full scale per sample at 440 Hz, even at 2.85 times;
        // a sample that wrapped round jumps by more than half of it.
        EXPECT_LT(levels_.largestStep, 16384);
        if (c.rms >= 0) {
            EXPECT_NEAR(RmsOf(levels_), c.rms, 0.08 * c.rms);  // lossy coding moves it a little
        } else {
            EXPECT_EQ(levels_.highest, 32767);
            EXPECT_EQ(levels_.lowest, -32767);
            EXPECT_GT(RmsOf(levels_), 0.9 * M_SQRT1_2);
        }
    }
}

// Stop, volume changes and going back, in the middle of a tune (fast output: the ring holds
// half a second, so the first samples come long before the tune's end).
TEST_F(MoviePlayback, StopVolumeAndRewindApplyWhilePlaying) {
    for (const int step : {0, 1, 2}) {
        SCOPED_TRACE(step);
        levels_ = {};
        auto movie = Started("tune.caf", kUnityMovieVolume);
        ASSERT_TRUE(movie && TaskUntil(*movie, [&] { return levels_.samples > 0; }));
        const SampleLevels before = levels_;
        ASSERT_LT(before.samples, kTuneSamples);
        if (step == 0) {
            movie->SetVolume(0);
            levels_ = {};
            ASSERT_TRUE(PlayToEnd(*movie));
            EXPECT_GT(before.highest, 1000);
            EXPECT_EQ(levels_.highest, 0);
            EXPECT_EQ(before.samples + levels_.samples, kTuneSamples);
        } else if (step == 1) {
            movie->Stop();
            for (int i = 0; i < 20; ++i) {
                movie->Task();
            }
            EXPECT_EQ(levels_.samples, before.samples);
            EXPECT_FALSE(movie->IsDone());
            movie->Start();
            ASSERT_TRUE(PlayToEnd(*movie));
            EXPECT_EQ(levels_.samples, kTuneSamples);  // nothing lost, nothing twice
        } else {
            // Back to the start while playing, then at the end.
            for (const int64_t times : {1, 2}) {
                movie->GoToBeginning();
                ASSERT_TRUE(PlayToEnd(*movie));
                EXPECT_EQ(levels_.samples, before.samples + times * kTuneSamples);
            }
        }
    }
}

// Run without a sound server (as in CI), the device output falls back to the silent one in
// real time; with one, it plays. Either way the tune is heard to its end.
TEST_F(MoviePlayback, DevicePlaysToTheEndWithOrWithoutASoundServer) {
    player_ = MakeFfmpegMoviePlayer(AudioOutputChoice::Device, levels_);
    const auto started = std::chrono::steady_clock::now();
    auto movie = Started("short.mp3", kUnityMovieVolume);
    ASSERT_TRUE(movie &&
                TaskUntil(
                    *movie, [&] { return movie->IsDone(); }, std::chrono::milliseconds(33)));
    // In real time: a second of sound never ends sooner (a slow machine only makes it later).
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(900));
    EXPECT_GT(levels_.highest, 1000);  // at the device's own rate, which need not be the tune's
    movie.reset();
    player_.reset();
}

}  // namespace
}  // namespace harmovia
