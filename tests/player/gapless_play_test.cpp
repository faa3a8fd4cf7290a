// The play loop over the real decoder and the fast silent output: what the listener would
// hear, sample by sample, across tune boundaries, requests, pauses and seeks.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/movie_playback_ffmpeg.h"
#include "player/player_requests.h"
#include "tests/player/fake_player.h"
#include "tests/support/audio_suite.h"

namespace harmovia {
namespace {

namespace fs = std::filesystem;
using testing::TestAudio;
using testing::TestEncoding;

// A rising tone: every moment sounds different, so a stretch of it tells where it is.
constexpr const char* kChirp = "aevalsrc=0.3*sin(2*PI*(200+300*t)*t):s=44100";

TestAudio Tone(TestEncoding encoding) {
    return {.amplitude = 0.3, .seconds = 1.1, .encoding = encoding, .kbps = 192};
}

class GaplessPlay : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const TestAudio caf = Tone(TestEncoding::CafPcm), mp3 = Tone(TestEncoding::Mp3Cbr),
                        m4a = Tone(TestEncoding::AacM4a);
        folder_ = testing::MakeTestAudioFolder(
            {{"a.caf", caf},
             {"b.caf", caf},
             {"c.caf", caf},
             {"a.mp3", mp3},
             {"b.mp3", mp3},
             {"a.m4a", m4a},
             {"b.m4a", m4a},
             {"chirp.caf",
              {.seconds = 2.0, .encoding = TestEncoding::CafPcm, .customSource = kChirp}},
             {"chirp.mp3", {.seconds = 2.0, .kbps = 192, .customSource = kChirp}}});
    }
    static void TearDownTestSuite() { folder_.reset(); }
    static fs::path Path(const std::string& name) { return *folder_ / name; }

    // A list of `files`, each levelled by its peak power, ready to play at volume 256.
    std::unique_ptr<test::PlayerHarness> List(const std::vector<std::string>& files,
                                              const std::vector<int>& peaks = {}) {
        levels_ = {};
        levels_.keep = true;
        movies_->CloseOutput();
        auto h =
            std::make_unique<test::PlayerHarness>(static_cast<int>(files.size()), movies_.get());
        for (size_t i = 0; i < files.size(); ++i) {
            TuneRecord& tune = h->view->List[static_cast<int32_t>(i + 1)];
            tune.Location.Set(Path(files[i]).string());
            tune.DurationSeconds = 2;
            tune.PeakPowerMean = i < peaks.size() ? peaks[i] : 300;
        }
        h->preferences.Volume = 256;
        h->view->ViewStamp = 0;  // played in list order
        return h;
    }

    // Ticks (the decoders run meanwhile) until `until` holds.
    static bool TickUntil(test::PlayerHarness& h, const std::function<bool()>& until) {
        return testing::StepUntil(until, [&h] {
            h.Tick();
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        });
    }
    static bool PlayToEnd(test::PlayerHarness& h) {
        return TickUntil(h, [&h] { return h.player->Phase == PlayPhase::Idle; });
    }

    // Every sample of `files` played as a list from the start.
    std::vector<int16_t> Played(const std::vector<std::string>& files) {
        auto h = List(files);
        PlayCommand(h->ctx);
        EXPECT_TRUE(PlayToEnd(*h));
        return levels_.kept;
    }

    static inline std::unique_ptr<testing::TempFolder> folder_;
    SampleLevels levels_;
    std::unique_ptr<MoviePlayer> movies_ =
        MakeFfmpegMoviePlayer(AudioOutputChoice::SilentFast, levels_);
};

int PeakOf(const std::vector<int16_t>& samples, size_t from, size_t to) {
    int peak = 0;
    for (size_t i = from; i < std::min(to, samples.size()); ++i) {
        peak = std::max(peak, std::abs(int{samples[i]}));
    }
    return peak;
}

// Two tunes give one run of exactly both tunes' samples, and the second tune's volume
// starts at its first sample: a quiet-mastered tune (x 1.6) then a loud one (x 0.4).
TEST_F(GaplessPlay, TunesFollowEachOtherSampleForSample) {
    for (const std::string kind : {"caf", "mp3", "m4a"}) {
        SCOPED_TRACE(kind);
        const std::string a = "a." + kind, b = "b." + kind;
        const size_t aloneA = Played({a}).size(), aloneB = Played({b}).size();
        auto h = List({a, b}, {80, 900});
        PlayCommand(h->ctx);
        ASSERT_TRUE(PlayToEnd(*h));
        EXPECT_EQ(h->seams.started, (std::vector<int32_t>{1, 2}));
        const std::vector<int16_t>& heard = levels_.kept;
        ASSERT_EQ(heard.size(), aloneA + aloneB);
        // 0.3 of full scale: 15728 at 409 / 256, 3932 at 102 / 256. 441 frames: two periods.
        EXPECT_GT(PeakOf(heard, aloneA - 882, aloneA), 14000);
        EXPECT_LT(PeakOf(heard, aloneA, aloneA + 882), 4400);
        EXPECT_GT(PeakOf(heard, aloneA, aloneA + 882), 3000);
    }
}

// What the listener does near a tune's end, when the next tune is read ahead already.
TEST_F(GaplessPlay, RequestsDuringTheReadAheadFollowTheRules) {
    const auto readAhead = [](test::PlayerHarness& h) { return h.player->ReadAhead != nullptr; };
    const auto lastFifth = [](test::PlayerHarness& h) {
        return h.player->NowPlayingIndex == 1 &&
               h.player->CurrentMovie->HeardMicroseconds() > 900'000;
    };
    const struct {
        const char* what;
        std::function<bool(test::PlayerHarness&)> when;
        std::function<void(test::PlayerHarness&)> act;
        std::vector<int32_t> started;
    } cases[] = {
        {"Next plays the next tune", readAhead, [](auto& h) { RequestNext(h.ctx); }, {1, 2, 3}},
        {"Stop in the last 200 ms stops", lastFifth, [](auto& h) { RequestStop(h.ctx); }, {1}},
        {"a file deleted meanwhile is passed over",
         readAhead,
         [](auto& h) { fs::remove(fs::path(h.player->NowPlayingList[2].Location.view())); },
         {1, 3}},
        {"an unchecked tune is passed over",
         readAhead,
         [](auto& h) { RequestCheckToggle(h.ctx, 2); },
         {1, 3}},
        {"Loop Tune plays the tune again",
         readAhead,
         [](auto& h) { ToggleLoopTune(h.ctx); },
         {1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testing::MakeTestAudio(Path("b.caf"), Tone(TestEncoding::CafPcm));  // deleted by a case
        auto h = List({"a.caf", "b.caf", "c.caf"});
        PlayCommand(h->ctx);
        ASSERT_TRUE(TickUntil(*h, [&] { return c.when(*h); }));
        c.act(*h);
        ASSERT_TRUE(TickUntil(*h, [&] {
            return h->player->Phase == PlayPhase::Idle ||
                   h->seams.started.size() >= c.started.size();
        }));
        RequestStop(h->ctx);  // a looped tune would play on
        ASSERT_TRUE(PlayToEnd(*h));
        EXPECT_EQ(h->seams.started, c.started);
    }
}

// Paused, nothing is heard; resumed, the tune goes on at the very sample. A seek lands
// where it was asked to, in the file's own timing (an MP3 decodes from a little before).
TEST_F(GaplessPlay, PauseKeepsThePlaceAndASeekLandsOnIt) {
    const std::vector<int16_t> whole = Played({"chirp.caf"});
    auto h = List({"chirp.caf"});
    PlayCommand(h->ctx);
    ASSERT_TRUE(TickUntil(*h, [&] { return levels_.kept.size() > 20000; }));
    RequestPause(h->ctx);
    h->Tick();
    const size_t atPause = levels_.kept.size();
    h->Tick(20);
    EXPECT_EQ(std::tuple(levels_.kept.size(), h->seams.display.Line1.view()),
              std::tuple(atPause, "Paused"));
    RequestResume(h->ctx);
    ASSERT_TRUE(PlayToEnd(*h));
    EXPECT_EQ(levels_.kept, whole);

    for (const char* file : {"chirp.caf", "chirp.mp3"}) {
        SCOPED_TRACE(file);
        const std::vector<int16_t> reference = Played({file});
        auto s = List({file});
        PlayCommand(s->ctx);
        ASSERT_TRUE(TickUntil(*s, [&] { return levels_.kept.size() > 8820; }));
        RequestSeek(s->ctx, 1'200'000);
        s->Tick();
        const size_t from = levels_.kept.size();
        ASSERT_TRUE(TickUntil(*s, [&] { return levels_.kept.size() > from + 4096; }));
        // Where in the whole tune the first 2048 samples after the jump lie.
        const std::span<const int16_t> after(levels_.kept.data() + from, 2048);
        double best = std::numeric_limits<double>::max();
        int64_t bestFrame = 0;
        for (int64_t frame = 40000; frame < 66000; ++frame) {
            double difference = 0;
            for (size_t i = 0; i < after.size(); ++i) {
                const double d = after[i] - reference[static_cast<size_t>(frame) * 2 + i];
                difference += d * d;
            }
            if (difference < best) {
                best = difference;
                bestFrame = frame;
            }
        }
        EXPECT_NEAR(static_cast<double>(bestFrame), 1.2 * 44100, 441);  // 10 ms
    }
}

}  // namespace
}  // namespace harmovia
