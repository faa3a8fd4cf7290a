// The same recording as FLAC, MP3 at 320 and 128 kbit/s, AAC at 256 and Opus at 160 kbit/s
// lands in the same mood. The printed table shows how far the measured values drift and
// why: lossy encoders reshape the quiet partials (MP3 at 128 kbit/s cuts above about
// 16 kHz); the bit-rate factor raises the count of files between 72 and 163 kbit/s
// (ByteRateIndex 15..34) by 1.73 %; Opus decodes at 48 kHz, so each frequency lands in a
// bin 44100/48000 as high as in 44.1 kHz sound (the peak bin column).

#include <cstdio>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/add_task.h"
#include "import/tune_add_steps.h"
#include "platform/movie_ffmpeg.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

namespace harmovia {
namespace {

TEST(SameMood, OneRecordingInFiveFormats) {
    // Two tones, beats of pink noise, and a noise bed whose colour and level set the mood;
    // the right channel lags the left by 7 ms.
    const auto recording = [](const std::string& bed) {
        return "sine=f=220:r=44100,vibrato=f=5:d=0.2,tremolo=f=1:d=0.6,volume=1.1[a];"
               "sine=f=330:r=44100,tremolo=f=0.21:d=0.8,volume=0.7[b];"
               "anoisesrc=c=pink:r=44100:a=0.3:seed=7,highpass=f=400,"
               "volume='exp(-8*mod(t,0.5))':eval=frame[c];anoisesrc=r=44100:seed=21:" +
               bed +
               "[d];[a][b][c][d]amix=inputs=4:normalize=0,alimiter=limit=0.9,"
               "asplit[l][r0];[r0]adelay=7[r];[l][r]join=inputs=2:channel_layout=stereo";
    };
    const std::tuple<const char*, std::string, int32_t> recordings[] = {
        {"calm", "c=pink:a=0.3,lowpass=f=8000", 2},
        {"groove", "c=pink:a=0.65,lowpass=f=8000", 5},
        {"wild", "c=white:a=0.5,lowpass=f=6000", 9},
    };
    using enum testing::TestEncoding;
    const std::tuple<const char*, testing::TestEncoding, int> formats[] = {
        {"1 FLAC.flac", Flac, 0},
        {"2 MP3 320.mp3", Mp3Cbr, 320},
        {"3 MP3 128.mp3", Mp3Cbr, 128},
        {"4 AAC 256.m4a", AacM4a, 256},
        {"5 Opus 160.opus", Opus, 160}};  // walk order is slot order
    const std::unique_ptr<MovieFramework> movies = MakeFfmpegMovieFramework();
    ASSERT_EQ(movies->EnterMovies(), kNoErr);

    std::printf("%-8s %-9s %4s %6s %7s %6s %6s %5s %8s\n", "tune", "format", "Mood", "E", "E/FLAC",
                "S raw", "S", "rate", "peak bin");
    for (const auto& [name, bed, mood] : recordings) {
        testing::TempFolder folder;
        std::vector<std::future<void>> encodings;
        for (const auto& [file, encoding, kbps] : formats) {
            const testing::TestAudio audio{
                .seconds = 16,
                .encoding = encoding,
                .kbps = kbps,
                .customSource = recording(bed),
                .tags = {{"title", file}, {"artist", "Same"}, {"album", name}}};
            encodings.push_back(std::async(std::launch::async, [&folder, file = file, audio] {
                MakeTestAudio(folder / file, audio);
            }));
        }
        for (std::future<void>& encoding : encodings) {
            encoding.get();
        }
        auto library = std::make_unique<Library>();
        TuneAddSteps steps(*movies);
        AddTask task(*library, steps, {}, folder.path(), kFolderLimitMessage, 2);
        while (task.Step(std::chrono::milliseconds(20)) != AddTask::State::Finished) {
        }
        ASSERT_EQ(library->TuneCount, 5);
        for (int32_t slot = 1; slot <= 5; ++slot) {
            const TuneRecord& r = (*library)[slot];
            const double drift = static_cast<double>(r.MoodEnergy) / (*library)[1].MoodEnergy;
            const std::string_view format = r.FileName.view().substr(2);
            std::printf("%-8s %-9.*s %4d %6d %6.1f%% %6d %6d %5u %8d\n", name,
                        static_cast<int>(format.find('.')), format.data(), r.Mood, r.MoodEnergy,
                        100 * (drift - 1), r.SignificantCountRaw, r.SignificantCount,
                        r.ByteRateIndex, r.PeakBinMean);
            EXPECT_EQ(r.Mood, mood) << name << " " << format;
            EXPECT_NEAR(drift, 1.0, 0.08) << name << " " << format;
        }
    }
}

}  // namespace
}  // namespace harmovia
