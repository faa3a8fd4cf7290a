// The add task with its real steps: tag readers, FFmpeg decoding, the sound measurement and
// mood scoring, over one folder of tunes made by the ffmpeg command.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <memory>
#include <numeric>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "import/add_task.h"
#include "import/tune_add_steps.h"
#include "library/library_file.h"
#include "library/mood.h"
#include "platform/movie_ffmpeg.h"
#include "tests/import/tag_builders.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

namespace harmovia {
namespace {

namespace fs = std::filesystem;
using testing::TestAudio;
using testing::TestEncoding;
using testing::TestSignal;

// Every name fits, the whole path does not.
const std::string kLongPath = "i-" + std::string(120, 'x') + "/" + std::string(140, 'y') + ".mp3";

using Tags = std::vector<std::pair<std::string, std::string>>;
Tags Tagged(const std::string& title, const std::string& genre = "Jazz",
            const std::string& album = "Señor") {
    return {{"title", title}, {"artist", "Ørjan"}, {"album", album}, {"genre", genre}};
}

struct AddRun {
    std::unique_ptr<Library> library = std::make_unique<Library>();
    AddSummary summary;
    RecordingNotices notices;
    std::vector<int32_t> savedCounts;  // TuneCount at every save
};

std::unique_ptr<AddRun> Add(MovieFramework& movies, const fs::path& folder, int workers) {
    auto run = std::make_unique<AddRun>();
    TuneAddSteps steps(movies);
    AddHooks hooks;
    hooks.saveLibrary = [&run](const Library& library) {
        run->savedCounts.push_back(library.TuneCount);
        return kNoErr;
    };
    hooks.notices = &run->notices;
    AddTask task(*run->library, steps, hooks, folder, kFolderLimitMessage, workers);
    while (task.Step(std::chrono::milliseconds(20)) != AddTask::State::Finished) {
    }
    run->summary = task.summary();
    return run;
}

// A WAVE file with an ID3 chunk behind its sound, as some taggers write it.
void AppendId3Chunk(const fs::path& wav, testing::Bytes tag) {
    using testing::Bytes;
    tag.resize(tag.size() + tag.size() % 2);  // chunks keep an even length
    const auto le32 = [](size_t v) {
        return Bytes{static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                     static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    };
    Bytes bytes =
        testing::Concat({testing::ReadBytes(wav), testing::BytesOf("id3 "), le32(tag.size()), tag});
    const Bytes riff = le32(bytes.size() - 8);
    std::copy(riff.begin(), riff.end(), bytes.begin() + 4);
    testing::WriteBytes(wav, bytes);
}

// Each kind end to end over one folder: what every file comes to, the record a kept one
// stores, and that measuring ahead on workers changes no byte.
TEST(RealAdd, EveryFileItsOutcomeAndRecordAndMeasuringAheadChangesNothing) {
    testing::TempFolder folder;
    fs::create_directories(folder / "b-folder/c-deeper");
    fs::create_directories(fs::path(folder / kLongPath).parent_path());
    fs::create_directory_symlink("..", folder / "b-folder/loop");
    using enum TestEncoding;
    using enum TestSignal;
    using enum AddOutcome;
    using Texts =
        std::tuple<std::string_view, std::string_view, std::string_view, std::string_view, int>;
    const std::string a = "\xAFrjan", b = "Se\x96or", u = "Unknown", j = "Jazz";
    const std::string xmas = "A Christmas Album";
    const auto audio = [](TestEncoding encoding, Tags tags = {}) {
        return TestAudio{.seconds = 16, .encoding = encoding, .tags = std::move(tags)};
    };
    // ffmpeg writes version 2.3 texts as UTF-16, version 2.4 ones as UTF-8.
    const TestAudio first{.seconds = 16, .kbps = 32, .tags = Tagged("First"), .id3v2Version = 3};
    const TestAudio small{.seconds = 3, .encoding = Opus, .kbps = 32, .tags = Tagged("Small")};
    // Loud noise scores another mood than the tones; at 128 kbit/s it is not kept.
    const TestAudio noise{
        .signal = WhiteNoise, .amplitude = 0.3, .seconds = 16, .kbps = 32, .tags = Tagged("Song")};
    const struct {
        std::string name;  // walk order; "junk": bytes that are no audio; "raw": no ID3 tag
        TestAudio audio;
        AddOutcome outcome;
        Texts texts;  // of a kept file: title, artist, album, genre category, FileKind
    } cases[] = {
        {"a-first.mp3", first, Kept, {"First", a, b, j, 1}},
        {"b-folder/c-deeper/deep.m4a", audio(AacM4a, Tagged("Deep")), Kept, {"Deep", a, b, j, 4}},
        {"b-folder/c-deeper/field.caf", audio(CafPcm), Kept, {"field", u, u, u, 2}},
        {"b-folder/nested.mp3", audio(Mp3Cbr, Tagged("Café")), Kept, {"Caf\x8E", a, b, j, 1}},
        {"c-carols.mp3",
         audio(Mp3Cbr, Tagged("Carols", j, xmas)),
         Kept,
         {"Carols", a, xmas, "Holiday & Seasonal", 1}},
        {"e-raw.mp3", audio(Mp3Cbr), NotTagged, {}},
        {"f-short.mp3", {.seconds = 14, .kbps = 32, .tags = Tagged("Short")}, TooShort, {}},
        {"g-silent.mp3", {.signal = Silence, .seconds = 16, .tags = Tagged("Silent")}, NoSound, {}},
        {"h-mono.mp3", {.seconds = 16, .channels = 1, .tags = Tagged("Mono")}, NotStereo, {}},
        // Its tags are a-first's: the path must be checked before them.
        {kLongPath, first, PathTooLong, {}},
        {"ma.flac", audio(Flac, Tagged("Flac Café")), Kept, {"Flac Caf\x8E", a, b, j, 5}},
        {"mb.ogg", audio(Vorbis, Tagged("Vorbis", "Vapor")), Kept, {"Vorbis", a, b, "Vapor", 6}},
        {"mc.opus", audio(Opus, Tagged("Opus")), Kept, {"Opus", a, b, j, 7}},
        {"me-info.wav", audio(WavPcm, Tagged("Wav Info")), Kept, {"Wav Info", a, b, j, 8}},
        {"mf-id3.wav", audio(WavPcm), Kept, {"Wav Id3", a, b, j, 8}},  // chunk added below
        {"mg.aiff", audio(AiffPcm, Tagged("Aiff")), Kept, {"Aiff", a, b, j, 9}},
        {"mh-plain.aif", audio(AiffPcm), Kept, {"mh-plain", u, u, u, 9}},
        {"mj-untagged.flac", audio(Flac), ContainerNotTagged, {}},
        {"mk-title-only.ogg", audio(Vorbis, {{"title", "T"}}), ContainerNotTagged, {}},
        {"ml-podcast.opus", audio(Opus, Tagged("Talk", "podcast")), Podcast, {}},
        {"mm-small.opus", small, TooSmall, {}},
        {"mn-twin.mp3", audio(Mp3Cbr, Tagged("Flac Café")), Duplicate, {}},
        {"mo-mp3.flac", audio(Mp3Cbr, Tagged("Mislabelled")), UnreadKind, {}},
        {"mp-junk.ogg", {}, NotDecodable, {}},
        {"mr-junk.wma", {}, UnreadKind, {}},
        {"song.Mp3", noise, Kept, {"Song", a, b, j, 1}},
    };
    // Each encoding is a process of its own; side by side they keep the suite's start short.
    std::vector<std::future<void>> encodings;
    for (const auto& c : cases) {
        encodings.push_back(std::async(std::launch::async, [&folder, &c] {
            const fs::path file = folder / c.name;
            if (c.name.find("junk") != std::string::npos) {
                testing::WriteBytes(file, std::vector<uint8_t>(200000, 0x5A));
            } else if (c.name.find("raw") != std::string::npos) {
                // No ID3v2 tag at all: the file starts with its first MPEG frame.
                testing::RunFfmpeg({"-f", "lavfi", "-i", "sine=f=500:d=16", "-ac", "2", "-c:a",
                                    "libmp3lame", "-b:a", "32k", "-fflags", "+bitexact",
                                    "-id3v2_version", "0", file.string()});
            } else {
                MakeTestAudio(file, c.audio);
            }
        }));
    }
    for (std::future<void>& encoding : encodings) {
        encoding.get();
    }
    using testing::Utf8Text;
    AppendId3Chunk(folder / "mf-id3.wav", testing::Id3Tag(4, {{"TIT2", Utf8Text("Wav Id3")},
                                                              {"TPE1", Utf8Text("\xC3\x98rjan")},
                                                              {"TALB", Utf8Text("Se\xC3\xB1or")},
                                                              {"TCON", Utf8Text("(8)")}}));
    // Neither read nor counted: were they read, these three bytes would be skipped as too small.
    for (const char* other : {"._a-first.mp3", "cover.jpg", "list.m3u8", "notes.txt"}) {
        testing::WriteBytes(folder / other, {1, 2, 3});
    }

    const std::unique_ptr<MovieFramework> movies = MakeFfmpegMovieFramework();
    ASSERT_EQ(movies->EnterMovies(), kNoErr);
    const std::unique_ptr<AddRun> run = Add(*movies, folder.path(), 2);
    const Library& library = *run->library;
    int32_t slot = 0, lastSerial = 0;
    size_t skipped = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.outcome == Kept) {
            const TuneRecord& r = library[++slot];
            EXPECT_EQ(r.Location.view(), (folder / c.name).native());
            EXPECT_EQ(Texts(r.Title.view(), r.Artist.view(), r.Album.view(), r.GenreCategory.view(),
                            r.FileKind),
                      c.texts);
            EXPECT_EQ(std::tuple(r.LastAddedFlag, r.RecordIndex), std::tuple(1, slot));
            // The measurement reaches the record whole, its last figures included.
            EXPECT_GT(std::min(r.FirstWindowSignificant, r.FirstWindowCentroid), 0);
            EXPECT_GT(r.AddedSerial, lastSerial);
            lastSerial = r.AddedSerial;
        } else if (skipped < run->summary.skipped.size()) {
            const SkippedFile& s = run->summary.skipped[skipped++];
            EXPECT_EQ(std::pair(s.file, AddOutcomeName(s.outcome)),
                      std::pair(folder / c.name, AddOutcomeName(c.outcome)));
        }
    }
    EXPECT_EQ(std::tuple(library.TuneCount, run->summary.kept), std::tuple(slot, slot));
    EXPECT_EQ(run->summary.skipped.size(), skipped);
    EXPECT_EQ(run->savedCounts, std::vector<int32_t>{library.TuneCount});
    EXPECT_TRUE(run->notices.alerts.empty());
    // Every kept tune is counted under its mood, and not all tunes share one.
    const auto moods = std::span(library.MoodCounts).subspan(1, kMoodCount);
    EXPECT_EQ(std::accumulate(moods.begin(), moods.end(), 0), library.TuneCount);
    EXPECT_GE(std::ranges::count_if(moods, [](int32_t n) { return n > 0; }), 2);

    // Measuring ahead on workers keeps the very bytes of measuring in the step.
    EXPECT_TRUE(EncodeLibrary(*Add(*movies, folder.path(), 0)->library) == EncodeLibrary(library));
}

// 200 damaged copies each of a FLAC and an Ogg tune: bytes overwritten anywhere or in the
// headers, cut short, a block zeroed. Each gets an outcome; none brings the add down.
TEST(RealAdd, DamagedFlacAndOggFilesEachGetAnOutcome) {
    testing::TempFolder folder;
    fs::create_directory(folder / "damaged");
    std::mt19937 random(2024);
    const auto below = [&random](size_t n) { return static_cast<size_t>(random() % n); };
    for (const auto& [extension, encoding] :
         {std::pair{".flac", TestEncoding::Flac}, std::pair{".ogg", TestEncoding::Vorbis}}) {
        const std::vector<uint8_t> whole = testing::ReadBytes(testing::MakeTestAudio(
            folder / extension, {.seconds = 16, .encoding = encoding, .tags = Tagged("Whole")}));
        for (int i = 0; i < 200; ++i) {
            std::vector<uint8_t> copy = whole;
            if (i % 4 < 2) {  // anywhere, or within the headers and tags
                const size_t reach = i % 4 == 0 ? copy.size() : 8192;
                for (size_t n = 1 + below(64); n > 0; --n) {
                    copy[below(reach)] = static_cast<uint8_t>(random());
                }
            } else if (i % 4 == 2) {
                copy.resize(below(copy.size()));
            } else {
                std::fill_n(copy.begin() + static_cast<ptrdiff_t>(below(copy.size() - 4096)), 4096,
                            0);
            }
            testing::WriteBytes(folder / "damaged" / (std::to_string(i) + extension), copy);
        }
    }
    const std::unique_ptr<MovieFramework> movies = MakeFfmpegMovieFramework();
    ASSERT_EQ(movies->EnterMovies(), kNoErr);
    const std::unique_ptr<AddRun> run = Add(*movies, folder / "damaged", 2);
    EXPECT_EQ(run->summary.kept + static_cast<int32_t>(run->summary.skipped.size()), 400);
    for (int32_t slot = 1; slot <= run->library->TuneCount; ++slot) {
        EXPECT_TRUE(IsMood((*run->library)[slot].Mood));
    }
}

// The same recording as FLAC, MP3 at 320 and 128 kbit/s, AAC at 256 and Opus at 160 kbit/s
// lands in the same mood. The printed table shows how far the measured values drift and
// why: lossy encoders reshape the quiet partials (MP3 at 128 kbit/s cuts above about
// 16 kHz); the bit-rate factor raises the count of files between 72 and 163 kbit/s
// (ByteRateIndex 15..34) by 1.73 %; Opus decodes at 48 kHz, so each frequency lands in a
// bin 44100/48000 as high as in 44.1 kHz sound (the peak bin column).
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
        const std::unique_ptr<Library> library = std::move(Add(*movies, folder.path(), 2)->library);
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
