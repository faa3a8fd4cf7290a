// The add task with its real steps: tag readers, FFmpeg decoding, the sound measurement and
// mood scoring, over one folder of tunes made by the ffmpeg command.

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "import/add_task.h"
#include "import/tune_add_steps.h"
#include "library/library_file.h"
#include "platform/movie_ffmpeg.h"
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

// What the add makes of the folder: the kept files with their titles in slot order, the
// skipped ones in walk order.
const std::vector<std::pair<std::string, std::string>> kKept = {
    {"a-first.mp3", "First"},
    {"b-folder/c-deeper/deep.m4a", "Deep"},
    {"b-folder/c-deeper/field.caf", "field"},  // untagged: named by file
    {"b-folder/nested.mp3", "Caf\x8E"},
    {"c-carols.mp3", "Carols"},
    {"song.Mp3", "Song"},
};
const std::vector<std::pair<std::string, AddOutcome>> kSkipped = {
    {"d-copy.mp3", AddOutcome::Duplicate},
    {"e-untagged.mp3", AddOutcome::NotTagged},
    {"f-short.mp3", AddOutcome::TooShort},
    {"g-silent.mp3", AddOutcome::NoSound},
    {"h-mono.mp3", AddOutcome::NotStereo},
    // Checked before the tags: this copy of a kept tune would be a duplicate.
    {kLongPath, AddOutcome::PathTooLong},
};

// A 16-second tone at 32 kbit/s with four tags, then changed by `change`.
TestAudio Tune(
    const std::string& title, double frequency, void (*change)(TestAudio&) = [](TestAudio&) {}) {
    TestAudio audio{.frequency = frequency, .seconds = 16, .kbps = 32};
    audio.tags = {{"title", title}, {"artist", "Ørjan"}, {"album", "Señor"}, {"genre", "Jazz"}};
    change(audio);
    return audio;
}

struct AddRun {
    std::unique_ptr<Library> library = std::make_unique<Library>();
    AddSummary summary;
    RecordingNotices notices;
    std::vector<int32_t> savedCounts;  // TuneCount at every save
};

// Adds the folder into an empty library with this many workers.
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

// Writes the files of kFolderFiles into `root`.
void MakeFolder(const fs::path& root) {
    fs::create_directories(root / "b-folder/c-deeper");
    fs::create_directories(root / kLongFolder);
    fs::create_directory_symlink("..", root / "b-folder/loop");
    const std::pair<std::string, TestAudio> made[] = {
        // ffmpeg writes version 2.3 texts as UTF-16, version 2.4 ones as UTF-8.
        {"a-first.mp3", Tune("First", 440, [](TestAudio& a) { a.id3v2Version = 3; })},
        // The MP4 reader takes no file under 100,001 bytes.
        {"b-folder/c-deeper/deep.m4a", Tune("Deep", 660,
                                            [](TestAudio& a) {
                                                a.encoding = TestEncoding::AacM4a;
                                                a.kbps = 64;
                                            })},
        {"b-folder/c-deeper/field.caf", Tune("", 770,
                                             [](TestAudio& a) {
                                                 a.encoding = TestEncoding::CafPcm;
                                                 a.tags.clear();
                                             })},
        {"b-folder/nested.mp3", Tune("Café", 550)},
        {"c-carols.mp3",
         Tune("Carols", 330, [](TestAudio& a) { a.tags[2].second = "A Christmas Album"; })},
        {"f-short.mp3", Tune("Short", 440, [](TestAudio& a) { a.seconds = 14; })},
        {"g-silent.mp3", Tune("Silent", 440, [](TestAudio& a) { a.signal = TestSignal::Silence; })},
        {"h-mono.mp3", Tune("Mono", 440, [](TestAudio& a) { a.channels = 1; })},
        // Loud noise scores another mood than the tones.
        {"song.Mp3", Tune("Song", 0,
                          [](TestAudio& a) {
                              a.signal = TestSignal::WhiteNoise;
                              a.amplitude = 0.3;
                          })},
    };
    // Each encoding is a process of its own; running them side by side keeps the
    // suite's start short.
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

TEST(RealAdd, EachFileGetsItsOutcomeAndMeasuringAheadChangesNothing) {
    testing::TempFolder folder;
    MakeFolder(folder.path());
    const std::unique_ptr<MovieFramework> movies = MakeFfmpegMovieFramework();
    ASSERT_EQ(movies->EnterMovies(), kNoErr);
    const std::unique_ptr<AddRun> added = Add(*movies, folder.path(), 2);
    const AddRun& run = *added;
    const Library& library = *run.library;

    ASSERT_EQ(run.summary.skipped.size(), kSkipped.size());
    for (size_t i = 0; i < kSkipped.size(); ++i) {
        EXPECT_EQ(run.summary.skipped[i].file, folder / kSkipped[i].first);
        EXPECT_EQ(AddOutcomeName(run.summary.skipped[i].outcome),
                  AddOutcomeName(kSkipped[i].second));
    }
    EXPECT_EQ(run.summary.kept, static_cast<int32_t>(kKept.size()));
    ASSERT_EQ(library.TuneCount, static_cast<int32_t>(kKept.size()));
    EXPECT_EQ(run.savedCounts, std::vector<int32_t>{library.TuneCount});
    EXPECT_TRUE(run.notices.alerts.empty());

    int32_t lastSerial = 0;
    for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
        const auto& [name, title] = kKept[static_cast<size_t>(slot - 1)];
        const TuneRecord& record = library[slot];
        SCOPED_TRACE(name);
        EXPECT_EQ(record.Title.view(), title);
        const bool tagged = title != "field";
        EXPECT_EQ(record.Artist.view(), tagged ? "\xAFrjan" : "Unknown");
        EXPECT_EQ(record.Album.view(), !tagged             ? "Unknown"
                                       : title == "Carols" ? "A Christmas Album"
                                                           : "Se\x96or");
        EXPECT_EQ(record.Location.view(), (folder / name).native());
        EXPECT_EQ(record.FileKind, name.ends_with(".m4a")   ? kFileKindMp4
                                   : name.ends_with(".caf") ? kFileKindCaf
                                                            : kFileKindMp3);
        EXPECT_EQ(record.LastAddedFlag, 1);
        EXPECT_EQ(record.RecordIndex, slot);
        // The measurement reaches the record whole, its last figures included.
        EXPECT_GT(record.FirstWindowSignificant, 0);
        EXPECT_GT(record.FirstWindowCentroid, 0);
        EXPECT_GT(record.AddedSerial, lastSerial);
        lastSerial = record.AddedSerial;
        EXPECT_EQ(record.GenreCategory.view(), title == "Carols"  ? "Holiday & Seasonal"
                                               : title == "field" ? "Unknown"
                                                                  : "Jazz");
    }

    int32_t moods = 0;
    int moodsUsed = 0;
    for (int mood = 1; mood <= kMoodCount; ++mood) {
        moods += library.MoodCounts[static_cast<size_t>(mood)];
        moodsUsed += library.MoodCounts[static_cast<size_t>(mood)] > 0 ? 1 : 0;
    }
    EXPECT_EQ(moods, library.TuneCount);
    EXPECT_GE(moodsUsed, 2);

    // Measuring ahead on workers keeps the very bytes of measuring in the step.
    EXPECT_TRUE(EncodeLibrary(*Add(*movies, folder.path(), 0)->library) == EncodeLibrary(library));
}

}  // namespace
}  // namespace harmovia
