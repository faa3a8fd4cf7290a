// The same recording as FLAC, MP3 at 320 and 128 kbit/s, AAC at 256 kbit/s and Opus at
// 160 kbit/s lands in the same mood. The table it prints shows how far the measured values
// drift and why: lossy encoders drop or reshape quiet high partials (MP3 at 128 kbit/s cuts
// above about 16 kHz), the bit-rate factor raises the count of files between 72 and 163
// kbit/s (ByteRateIndex 15..34) by 1.73 %, and Opus, which always decodes at 48 kHz, puts
// every frequency into a bin 44100/48000 as high as 44.1 kHz sound does.

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

namespace fs = std::filesystem;
using testing::TestAudio;
using testing::TestEncoding;

// A tone with vibrato and tremolo, a second tone, beats of pink noise, and a steady noise bed
// whose colour and level set the mood; the right channel lags the left by 7 ms.
std::string Recording(const std::string& bed) {
    return "sine=f=220:r=44100,vibrato=f=5:d=0.2,tremolo=f=1:d=0.6,volume=1.1[a];"
           "sine=f=330:r=44100,tremolo=f=0.21:d=0.8,volume=0.7[b];"
           "anoisesrc=c=pink:r=44100:a=0.3:seed=7,highpass=f=400,"
           "volume='exp(-8*mod(t,0.5))':eval=frame[c];" +
           bed +
           "[d];[a][b][c][d]amix=inputs=4:normalize=0,alimiter=limit=0.9,asplit[l][r0];"
           "[r0]adelay=7[r];[l][r]join=inputs=2:channel_layout=stereo";
}

TEST(SameMood, OneRecordingInFiveFormats) {
    const struct {
        const char* name;
        std::string bed;
        int32_t mood;
    } recordings[] = {
        {"calm", "anoisesrc=c=pink:r=44100:a=0.3:seed=21,lowpass=f=8000", 2},
        {"groove", "anoisesrc=c=pink:r=44100:a=0.65:seed=21,lowpass=f=8000", 5},
        {"wild", "anoisesrc=c=white:r=44100:a=0.5:seed=21,lowpass=f=6000", 9},
    };
    using enum TestEncoding;
    const struct {
        const char* file;  // walk order is slot order
        TestEncoding encoding;
        int kbps;
    } formats[] = {{"1 FLAC.flac", Flac, 0},
                   {"2 MP3 320.mp3", Mp3Cbr, 320},
                   {"3 MP3 128.mp3", Mp3Cbr, 128},
                   {"4 AAC 256.m4a", AacM4a, 256},
                   {"5 Opus 160.opus", Opus, 160}};
    const std::unique_ptr<MovieFramework> movies = MakeFfmpegMovieFramework();
    ASSERT_EQ(movies->EnterMovies(), kNoErr);

    std::printf("%-8s %-10s %4s %6s %7s %6s %6s %6s %9s\n", "tune", "format", "Mood", "E", "E/FLAC",
                "S raw", "S", "rate", "peak bin");
    for (const auto& recording : recordings) {
        testing::TempFolder folder;
        std::vector<std::future<void>> encodings;
        for (const auto& format : formats) {
            const TestAudio audio{
                .seconds = 16,
                .encoding = format.encoding,
                .kbps = format.kbps,
                .customSource = Recording(recording.bed),
                .tags = {{"title", format.file}, {"artist", "Same"}, {"album", recording.name}}};
            encodings.push_back(std::async(std::launch::async, [&folder, &format, audio] {
                MakeTestAudio(folder / format.file, audio);
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
        ASSERT_EQ(library->TuneCount, static_cast<int32_t>(std::size(formats)));

        const TuneRecord& flac = (*library)[1];
        for (int32_t slot = 1; slot <= library->TuneCount; ++slot) {
            const TuneRecord& r = (*library)[slot];
            const double drift = static_cast<double>(r.MoodEnergy) / flac.MoodEnergy;
            std::printf("%-8s %-10.*s %4d %6d %6.1f%% %6d %6d %6u %9d\n", recording.name,
                        static_cast<int>(r.FileName.view().find('.') - 2),
                        r.FileName.view().data() + 2, r.Mood, r.MoodEnergy, 100 * (drift - 1),
                        r.SignificantCountRaw, r.SignificantCount, r.ByteRateIndex, r.PeakBinMean);
            SCOPED_TRACE(std::string(recording.name) + " " + std::string(r.FileName.view()));
            EXPECT_EQ(r.Mood, recording.mood);
            EXPECT_NEAR(drift, 1.0, 0.08);
        }
    }
}

}  // namespace
}  // namespace harmovia
