// The add task with its real steps: tag readers, FFmpeg decoding, the sound measurement and
// mood scoring, over one folder of tunes made by the ffmpeg command.

#include <chrono>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "import/add_task.h"
#include "import/tune_add_steps.h"
#include "library/library_file.h"
#include "platform/app_folders.h"
#include "platform/movie_ffmpeg.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

namespace harmovia {
namespace {

namespace fs = std::filesystem;
using testing::TestAudio;
using testing::TestEncoding;
using testing::TestSignal;

// Every file of the folder in walk order. No outcome: the name is not a music file's, so
// the add never reads it. A title: the tune is kept under it.
struct FolderFile {
    std::string name;
    std::optional<AddOutcome> outcome;
    std::string title;
};

// Every name fits, the whole path does not.
const std::string kLongFolder = "i-" + std::string(120, 'x');
const std::string kLongPath = kLongFolder + "/" + std::string(140, 'y') + ".mp3";

const std::vector<FolderFile>& FolderFiles() {
    static const std::vector<FolderFile> files = {
        {"._a-first.mp3", std::nullopt, ""},
        {"a-first.mp3", AddOutcome::Kept, "First"},
        {"b-folder/c-deeper/deep.m4a", AddOutcome::Kept, "Deep"},
        {"b-folder/c-deeper/field.caf", AddOutcome::Kept, "field"},  // untagged: named by file
        {"b-folder/nested.mp3", AddOutcome::Kept, "Nested"},
        {"c-carols.mp3", AddOutcome::Kept, "Carols"},
        {"d-copy.mp3", AddOutcome::Duplicate, ""},
        {"e-untagged.mp3", AddOutcome::NotTagged, ""},
        {"f-short.mp3", AddOutcome::TooShort, ""},
        {"g-silent.mp3", AddOutcome::NoSound, ""},
        {"h-mono.mp3", AddOutcome::NotStereo, ""},
        // Checked before the tags: this copy of a kept tune would be a duplicate.
        {kLongPath, AddOutcome::PathTooLong, ""},
        {"song.Mp3", AddOutcome::Kept, "Song"},
        {"song.aac", std::nullopt, ""},
        {"song.mpeg", std::nullopt, ""},
    };
    return files;
}

TestAudio Tune(const std::string& title, double frequency) {
    TestAudio audio;
    audio.frequency = frequency;
    audio.seconds = 16;
    audio.kbps = 32;
    audio.tags = {
        {"title", title}, {"artist", "Aster"}, {"album", "Plain Songs"}, {"genre", "Jazz"}};
    return audio;
}

struct AddRun {
    std::unique_ptr<Library> library = std::make_unique<Library>();
    AddSummary summary;
    RecordingNotices notices;
    std::vector<int32_t> savedCounts;  // TuneCount at every save
};

class RealAdd : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<testing::TempFolder>();
        const fs::path root = folder_->path();
        ASSERT_TRUE(root.is_absolute());
        fs::create_directories(root / "b-folder/c-deeper");
        fs::create_directories(root / kLongFolder);
        fs::create_directory_symlink("..", root / "b-folder/loop");

        TestAudio first = Tune("First", 440);
        first.id3v2Version = 3;
        TestAudio deep = Tune("Deep", 660);
        deep.encoding = TestEncoding::AacM4a;
        deep.kbps = 64;  // the MP4 reader takes no file under 100,001 bytes
        deep.moovFirst = true;
        TestAudio carols = Tune("Carols", 330);
        carols.tags[2].second = "A Christmas Album";
        TestAudio tooShort = Tune("Short", 440);
        tooShort.seconds = 14;
        TestAudio silent = Tune("Silent", 440);
        silent.signal = TestSignal::Silence;
        TestAudio mono = Tune("Mono", 440);
        mono.channels = 1;
        TestAudio song = Tune("Song", 0);  // loud noise scores another mood than the tones
        song.signal = TestSignal::WhiteNoise;
        song.amplitude = 0.3;
        TestAudio field = Tune("", 770);
        field.encoding = TestEncoding::CafPcm;
        field.tags.clear();
        const std::pair<std::string, TestAudio> made[] = {
            {"a-first.mp3", first},
            {"b-folder/c-deeper/deep.m4a", deep},
            {"b-folder/c-deeper/field.caf", field},
            {"b-folder/nested.mp3", Tune("Nested", 550)},
            {"c-carols.mp3", carols},
            {"f-short.mp3", tooShort},
            {"g-silent.mp3", silent},
            {"h-mono.mp3", mono},
            {"song.Mp3", song},
        };
        // Each encoding is a process of its own; running them side by side keeps the
        // suite's start short.
        std::vector<std::future<void>> encodings;
        for (const auto& [name, audio] : made) {
            encodings.push_back(std::async(
                std::launch::async, [&root, &name, &audio] { MakeTestAudio(root / name, audio); }));
        }
        // No ID3v2 tag at all: the file starts with its first MPEG frame.
        testing::RunFfmpeg({"-f", "lavfi", "-i", "sine=f=500:d=16", "-ac", "2", "-c:a",
                            "libmp3lame", "-b:a", "32k", "-fflags", "+bitexact", "-id3v2_version",
                            "0", (root / "e-untagged.mp3").string()});
        for (std::future<void>& encoding : encodings) {
            encoding.get();
        }
        fs::copy_file(root / "a-first.mp3", root / "._a-first.mp3");
        fs::copy_file(root / "a-first.mp3", root / "d-copy.mp3");
        fs::copy_file(root / "a-first.mp3", root / kLongPath);
        fs::copy_file(root / "song.Mp3", root / "song.aac");
        fs::copy_file(root / "song.Mp3", root / "song.mpeg");

        movies_ = MakeFfmpegMovieFramework();
        ASSERT_EQ(movies_->EnterMovies(), kNoErr);
    }
    static void TearDownTestSuite() {
        runs_.clear();
        movies_.reset();
        folder_.reset();
    }

    // Adds the folder into `run.library` with this many workers.
    static void Add(AddRun& run, int workers) {
        TuneAddSteps steps(*movies_);
        AddHooks hooks;
        hooks.saveLibrary = [&run](const Library& library) {
            run.savedCounts.push_back(library.TuneCount);
            return kNoErr;
        };
        hooks.notices = &run.notices;
        AddTask task(*run.library, steps, hooks, folder_->path(), kFolderLimitMessage, workers);
        while (task.Step(std::chrono::milliseconds(20)) != AddTask::State::Finished) {
        }
        run.summary = task.summary();
    }

    // The add of the folder into an empty library, made once per worker count.
    static const AddRun& AddedWith(int workers) {
        std::unique_ptr<AddRun>& run = runs_[workers];
        if (!run) {
            run = std::make_unique<AddRun>();
            Add(*run, workers);
        }
        return *run;
    }

    static fs::path File(const std::string& name) { return folder_->path() / name; }

    static inline std::unique_ptr<testing::TempFolder> folder_;
    static inline std::unique_ptr<MovieFramework> movies_;
    static inline std::map<int, std::unique_ptr<AddRun>> runs_;
};

TEST_F(RealAdd, EachFileGetsItsOutcomeAndKeptTunesTheirRecords) {
    const AddRun& run = AddedWith(2);
    const Library& library = *run.library;

    // Kept files fill the slots in walk order; skipped ones are listed in walk order.
    std::vector<const FolderFile*> kept;
    size_t skippedAt = 0;
    for (const FolderFile& file : FolderFiles()) {
        SCOPED_TRACE(file.name);
        if (file.outcome == AddOutcome::Kept) {
            kept.push_back(&file);
        } else if (file.outcome) {
            ASSERT_LT(skippedAt, run.summary.skipped.size());
            EXPECT_EQ(run.summary.skipped[skippedAt].file, File(file.name));
            EXPECT_EQ(AddOutcomeName(run.summary.skipped[skippedAt].outcome),
                      AddOutcomeName(*file.outcome));
            ++skippedAt;
        }
    }
    EXPECT_EQ(skippedAt, run.summary.skipped.size()) << "nothing else, nothing twice";
    EXPECT_EQ(run.summary.kept, static_cast<int32_t>(kept.size()));
    ASSERT_EQ(library.TuneCount, static_cast<int32_t>(kept.size()));
    EXPECT_EQ(library.CurrentTuneIndex, library.TuneCount);
    EXPECT_EQ(run.savedCounts, std::vector<int32_t>{library.TuneCount});
    EXPECT_TRUE(run.notices.alerts.empty());

    int32_t lastSerial = 0;
    for (int32_t slot = 1; slot <= library.TuneCount; ++slot) {
        const FolderFile& file = *kept[static_cast<size_t>(slot - 1)];
        const TuneRecord& record = library[slot];
        SCOPED_TRACE(file.name);
        EXPECT_EQ(record.Title.view(), file.title);
        EXPECT_EQ(record.Location.view(), File(file.name).native());
        EXPECT_EQ(record.FileKind, file.name.ends_with(".m4a")   ? kFileKindMp4
                                   : file.name.ends_with(".caf") ? kFileKindCaf
                                                                 : kFileKindMp3);
        EXPECT_EQ(record.LastAddedFlag, 1);
        EXPECT_EQ(record.RecordIndex, slot);
        // The measurement reaches the record whole, its last figures included.
        EXPECT_GT(record.FirstWindowSignificant, 0);
        EXPECT_GT(record.FirstWindowCentroid, 0);
        EXPECT_GT(record.AddedSerial, lastSerial);
        lastSerial = record.AddedSerial;
        EXPECT_EQ(record.GenreCategory.view(), file.title == "Carols"  ? "Holiday & Seasonal"
                                               : file.title == "field" ? "Unknown"
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
}

TEST_F(RealAdd, MeasuringAheadSavesTheSameBytesAsASequentialAdd) {
    testing::TempFolder sequentialFolder;
    testing::TempFolder parallelFolder;
    DiskFileSystem files;
    ASSERT_EQ(SaveLibrary(*AddedWith(0).library, files, sequentialFolder.path()), kNoErr);
    ASSERT_EQ(SaveLibrary(*AddedWith(2).library, files, parallelFolder.path()), kNoErr);
    const std::vector<uint8_t> sequential = testing::ReadBytes(sequentialFolder / kLibraryFileName);
    const std::vector<uint8_t> parallel = testing::ReadBytes(parallelFolder / kLibraryFileName);
    EXPECT_EQ(sequential.size(), 6u * kTuneRecordSize);
    EXPECT_TRUE(sequential == parallel) << "the saved libraries differ";
}

TEST_F(RealAdd, AnAlmostFullLibraryTakesOneTuneAndSaysItIsFull) {
    AddRun run;
    Library& library = *run.library;
    // Fillers that are no duplicate of any tune in the folder.
    for (int32_t slot = 1; slot < kMaxTunes; ++slot) {
        TuneRecord& record = library[slot];
        record.Title.Set("Filler " + std::to_string(slot));
        record.Artist.Set("Aster");
        record.Album.Set("Plain Songs");
        record.Mood = 1 + slot % kMoodCount;
        record.RecordIndex = slot;
        record.LastAddedFlag = 1;
    }
    library.TuneCount = library.CurrentTuneIndex = kMaxTunes - 1;

    Add(run, 0);
    EXPECT_EQ(run.summary.kept, 1);
    EXPECT_TRUE(run.summary.skipped.empty());
    EXPECT_EQ(library.TuneCount, kMaxTunes);
    EXPECT_EQ(library[kMaxTunes].Title.view(), "First");
    EXPECT_EQ(library[kMaxTunes].LastAddedFlag, 1);
    EXPECT_EQ(library[kMaxTunes].AddedSerial, kMaxTunes);
    EXPECT_EQ(library[kMaxTunes - 1].LastAddedFlag, 0) << "flags of an earlier add are cleared";
    EXPECT_TRUE(run.summary.libraryFull);
    // Slot 2000 is an every-200th commit; the end of the add saves once more.
    EXPECT_EQ(run.savedCounts, (std::vector<int32_t>{kMaxTunes, kMaxTunes}));
    ASSERT_EQ(run.notices.alerts.size(), 1u);
    EXPECT_EQ(run.notices.alerts[0].title, "Database Limit Reached");
    EXPECT_EQ(run.notices.alerts[0].message, kFolderLimitMessage);
}

}  // namespace
}  // namespace harmovia
