// The add task with its real steps: tag readers, FFmpeg decoding, the sound measurement and
// mood scoring, over one folder of tunes made by the ffmpeg command.

#include <algorithm>
#include <chrono>
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
const std::string kLongFolder = "i-" + std::string(120, 'x');
const std::string kLongPath = kLongFolder + "/" + std::string(140, 'y') + ".mp3";

// A tone with four tags.
TestAudio Tune(const std::string& title, TestAudio audio) {
    audio.tags = {{"title", title}, {"artist", "Ørjan"}, {"album", "Señor"}, {"genre", "Jazz"}};
    return audio;
}

void MakeFolder(const fs::path& root) {
    fs::create_directories(root / "b-folder/c-deeper");
    fs::create_directories(root / kLongFolder);
    fs::create_directory_symlink("..", root / "b-folder/loop");
    TestAudio carols = Tune("Carols", {.frequency = 330, .seconds = 16, .kbps = 32});
    carols.tags[2].second = "A Christmas Album";
    const std::pair<std::string, TestAudio> made[] = {
        // ffmpeg writes version 2.3 texts as UTF-16, version 2.4 ones as UTF-8.
        {"a-first.mp3", Tune("First", {.seconds = 16, .kbps = 32, .id3v2Version = 3})},
        // The MP4 reader takes no file under 100,001 bytes.
        {"b-folder/c-deeper/deep.m4a",
         Tune("Deep",
              {.frequency = 660, .seconds = 16, .encoding = TestEncoding::AacM4a, .kbps = 64})},
        {"b-folder/c-deeper/field.caf",
         {.frequency = 770, .seconds = 16, .encoding = TestEncoding::CafPcm}},
        {"b-folder/nested.mp3", Tune("Café", {.frequency = 550, .seconds = 16, .kbps = 32})},
        {"c-carols.mp3", carols},
        {"f-short.mp3", Tune("Short", {.seconds = 14, .kbps = 32})},
        {"g-silent.mp3",
         Tune("Silent", {.signal = TestSignal::Silence, .seconds = 16, .kbps = 32})},
        {"h-mono.mp3", Tune("Mono", {.seconds = 16, .channels = 1, .kbps = 32})},
        // Loud noise scores another mood than the tones.
        {"song.Mp3",
         Tune("Song",
              {.signal = TestSignal::WhiteNoise, .amplitude = 0.3, .seconds = 16, .kbps = 32})},
    };
    // Each encoding is a process of its own; side by side they keep the suite's start short.
    std::vector<std::future<void>> encodings;
    for (const auto& [name, audio] : made) {
        encodings.push_back(std::async(
            std::launch::async, [&root, &name, &audio] { MakeTestAudio(root / name, audio); }));
    }
    // No ID3v2 tag at all: the file starts with its first MPEG frame.
    testing::RunFfmpeg({"-f", "lavfi", "-i", "sine=f=500:d=16", "-ac", "2", "-c:a", "libmp3lame",
                        "-b:a", "32k", "-fflags", "+bitexact", "-id3v2_version", "0",
                        (root / "e-untagged.mp3").string()});
    for (std::future<void>& encoding : encodings) {
        encoding.get();
    }
    fs::copy_file(root / "a-first.mp3", root / "._a-first.mp3");  // never read
    fs::copy_file(root / "a-first.mp3", root / "d-copy.mp3");
    fs::copy_file(root / "a-first.mp3", root / kLongPath);
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

TEST(RealAdd, EachFileGetsItsOutcomeAndMeasuringAheadChangesNothing) {
    testing::TempFolder folder;
    MakeFolder(folder.path());
    const std::unique_ptr<MovieFramework> movies = MakeFfmpegMovieFramework();
    ASSERT_EQ(movies->EnterMovies(), kNoErr);
    const std::unique_ptr<AddRun> run = Add(*movies, folder.path(), 2);
    const Library& library = *run->library;

    // The skipped files in walk order; the long path is checked before the tags, or this copy
    // of a kept tune would be a duplicate.
    const std::vector<std::pair<std::string, AddOutcome>> skipped = {
        {"d-copy.mp3", AddOutcome::Duplicate}, {"e-untagged.mp3", AddOutcome::NotTagged},
        {"f-short.mp3", AddOutcome::TooShort}, {"g-silent.mp3", AddOutcome::NoSound},
        {"h-mono.mp3", AddOutcome::NotStereo}, {kLongPath, AddOutcome::PathTooLong},
    };
    ASSERT_EQ(run->summary.skipped.size(), skipped.size());
    for (size_t i = 0; i < skipped.size(); ++i) {
        EXPECT_EQ(run->summary.skipped[i].file, folder / skipped[i].first);
        EXPECT_EQ(AddOutcomeName(run->summary.skipped[i].outcome),
                  AddOutcomeName(skipped[i].second));
    }

    // The kept files in slot order: title, artist, album, genre category, kind.
    using Kept =
        std::tuple<std::string_view, std::string_view, std::string_view, std::string_view, int>;
    const std::string tagged = "\xAFrjan", album = "Se\x96or";
    const std::pair<std::string, Kept> kept[] = {
        {"a-first.mp3", {"First", tagged, album, "Jazz", kFileKindMp3}},
        {"b-folder/c-deeper/deep.m4a", {"Deep", tagged, album, "Jazz", kFileKindMp4}},
        // Untagged: named by its file.
        {"b-folder/c-deeper/field.caf", {"field", "Unknown", "Unknown", "Unknown", kFileKindCaf}},
        {"b-folder/nested.mp3", {"Caf\x8E", tagged, album, "Jazz", kFileKindMp3}},
        {"c-carols.mp3",
         {"Carols", tagged, "A Christmas Album", "Holiday & Seasonal", kFileKindMp3}},
        {"song.Mp3", {"Song", tagged, album, "Jazz", kFileKindMp3}},
    };
    EXPECT_EQ(run->summary.kept, static_cast<int32_t>(std::size(kept)));
    ASSERT_EQ(library.TuneCount, static_cast<int32_t>(std::size(kept)));
    EXPECT_EQ(run->savedCounts, std::vector<int32_t>{library.TuneCount});
    EXPECT_TRUE(run->notices.alerts.empty());
    int32_t lastSerial = 0;
    for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
        const auto& [name, expected] = kept[static_cast<size_t>(slot - 1)];
        const TuneRecord& r = library[slot];
        SCOPED_TRACE(name);
        EXPECT_EQ(Kept(r.Title.view(), r.Artist.view(), r.Album.view(), r.GenreCategory.view(),
                       r.FileKind),
                  expected);
        EXPECT_EQ(r.Location.view(), (folder / name).native());
        EXPECT_EQ(std::tuple(r.LastAddedFlag, r.RecordIndex), std::tuple(1, slot));
        // The measurement reaches the record whole, its last figures included.
        EXPECT_GT(std::min(r.FirstWindowSignificant, r.FirstWindowCentroid), 0);
        EXPECT_GT(r.AddedSerial, lastSerial);
        lastSerial = r.AddedSerial;
    }
    // Every kept tune is counted under its mood, and not all tunes share one.
    const auto moods = std::span(library.MoodCounts).subspan(1, kMoodCount);
    EXPECT_EQ(std::accumulate(moods.begin(), moods.end(), 0), library.TuneCount);
    EXPECT_GE(std::ranges::count_if(moods, [](int32_t n) { return n > 0; }), 2);

    // Measuring ahead on workers keeps the very bytes of measuring in the step.
    EXPECT_TRUE(EncodeLibrary(*Add(*movies, folder.path(), 0)->library) == EncodeLibrary(library));
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

// Each kind end to end: what every file comes to, and the texts a kept one stores.
TEST(RealAdd, EveryKindKeptOrRefusedWithItsTexts) {
    testing::TempFolder folder;
    using enum TestEncoding;
    using enum AddOutcome;
    using Texts =
        std::tuple<std::string_view, std::string_view, std::string_view, std::string_view, int>;
    using Tags = std::vector<std::pair<std::string, std::string>>;
    const auto tags = [](const std::string& title, const std::string& genre = "Jazz") {
        return Tags{{"title", title}, {"artist", "Ørjan"}, {"album", "Señor"}, {"genre", genre}};
    };
    const std::string a = "\xAFrjan", b = "Se\x96or", u = "Unknown";
    const auto audio = [](testing::TestEncoding encoding, Tags written = {}) {
        return TestAudio{.seconds = 16, .encoding = encoding, .tags = std::move(written)};
    };
    const TestAudio small{.seconds = 3, .encoding = Opus, .kbps = 32, .tags = tags("Small")};
    const struct {
        const char* name;  // walk order; "junk" in it: bytes that are no audio
        TestAudio audio;
        AddOutcome outcome;
        Texts texts;  // of a kept file: title, artist, album, genre category, FileKind
    } cases[] = {
        {"a.flac", audio(Flac, tags("Flac Café")), Kept, {"Flac Caf\x8E", a, b, "Jazz", 5}},
        {"b.ogg", audio(Vorbis, tags("Vorbis", "Vapor")), Kept, {"Vorbis", a, b, "Vapor", 6}},
        {"c.opus", audio(Opus, tags("Opus")), Kept, {"Opus", a, b, "Jazz", 7}},
        {"e-info.wav", audio(WavPcm, tags("Wav Info")), Kept, {"Wav Info", a, b, "Jazz", 8}},
        {"f-id3.wav", audio(WavPcm), Kept, {"Wav Id3", a, b, "Jazz", 8}},  // chunk added below
        {"g.aiff", audio(AiffPcm, tags("Aiff")), Kept, {"Aiff", a, b, "Jazz", 9}},
        {"h-plain.aif", audio(AiffPcm), Kept, {"h-plain", u, u, u, 9}},
        {"j-untagged.flac", audio(Flac), ContainerNotTagged, {}},
        {"k-title-only.ogg", audio(Vorbis, {{"title", "T"}}), ContainerNotTagged, {}},
        {"l-podcast.opus", audio(Opus, tags("Talk", "podcast")), Podcast, {}},
        {"m-small.opus", small, TooSmall, {}},
        {"n-twin.mp3", audio(Mp3Cbr, tags("Flac Café")), Duplicate, {}},
        {"o-mp3.flac", audio(Mp3Cbr, tags("Mislabelled")), UnreadKind, {}},
        {"p-junk.ogg", {}, NotDecodable, {}},
        {"r-junk.wma", {}, UnreadKind, {}},
    };
    std::vector<std::future<void>> encodings;
    for (const auto& c : cases) {
        encodings.push_back(std::async(std::launch::async, [&folder, &c] {
            if (std::string_view(c.name).find("junk") != std::string_view::npos) {
                testing::WriteBytes(folder / c.name, std::vector<uint8_t>(200000, 0x5A));
            } else {
                MakeTestAudio(folder / c.name, c.audio);
            }
        }));
    }
    for (std::future<void>& encoding : encodings) {
        encoding.get();
    }
    using testing::Utf8Text;
    AppendId3Chunk(folder / "f-id3.wav", testing::Id3Tag(4, {{"TIT2", Utf8Text("Wav Id3")},
                                                             {"TPE1", Utf8Text("Ørjan")},
                                                             {"TALB", Utf8Text("Señor")},
                                                             {"TCON", Utf8Text("(8)")}}));
    for (const char* other : {"cover.jpg", "list.m3u8", "notes.txt"}) {
        testing::WriteBytes(folder / other, {1, 2, 3});  // neither read nor counted
    }

    const std::unique_ptr<MovieFramework> movies = MakeFfmpegMovieFramework();
    ASSERT_EQ(movies->EnterMovies(), kNoErr);
    const std::unique_ptr<AddRun> run = Add(*movies, folder.path(), 2);
    const Library& library = *run->library;
    int32_t slot = 0;
    size_t skipped = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.outcome == Kept) {
            const TuneRecord& r = library[++slot];
            EXPECT_EQ(r.Location.view(), (folder / c.name).native());
            EXPECT_EQ(Texts(r.Title.view(), r.Artist.view(), r.Album.view(), r.GenreCategory.view(),
                            r.FileKind),
                      c.texts);
        } else if (skipped < run->summary.skipped.size()) {
            const SkippedFile& s = run->summary.skipped[skipped++];
            EXPECT_EQ(std::pair(s.file, AddOutcomeName(s.outcome)),
                      std::pair(folder / c.name, AddOutcomeName(c.outcome)));
        }
    }
    EXPECT_EQ(library.TuneCount, slot);
    EXPECT_EQ(run->summary.skipped.size(), skipped);
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
        const std::vector<uint8_t> whole = testing::ReadBytes(MakeTestAudio(
            folder / extension, Tune("Whole", {.seconds = 16, .encoding = encoding})));
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

}  // namespace
}  // namespace harmovia
