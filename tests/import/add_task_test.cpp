#include "import/add_task.h"

#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <tuple>

#include <gtest/gtest.h>

#include "import/add_tunes.h"
#include "import/folder_walk.h"
#include "library/library_file.h"
#include "tests/support/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

namespace harmovia {
namespace {

namespace fs = std::filesystem;

std::string Content(const fs::path& file) {
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), {}};
}

void Write(const fs::path& file, const std::string& content) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << content;
}

// Stand-in steps: a file's content decides its fate. "keep N" is kept with Mood N;
// "untagged" fails the tags; "silent" fails the scoring.
struct ScriptedSteps final : AddSteps {
    struct Measured final : MeasuredFile {
        std::string content;
    };

    AddOutcome ReadTags(Library& library, const fs::path& file, MusicFileKind kind,
                        const MeasuredFile* measurement) override {
        // Tags that come with the sound are read from its measurement, the others before it.
        EXPECT_EQ(measurement != nullptr, TagsComeWithSound(kind)) << file;
        if (Content(file) == "untagged") {
            return AddOutcome::NotTagged;
        }
        const auto slot = ClaimSlot(library);
        if (!slot) {
            return AddOutcome::OutOfMemory;
        }
        library[*slot].Title.Set(file.stem().native());
        return AddOutcome::Kept;
    }
    std::unique_ptr<MeasuredFile> Measure(const fs::path& file) override {
        ++measured;
        auto m = std::make_unique<Measured>();
        m->content = Content(file);
        return m;
    }
    AddOutcome Score(Library& library, MeasuredFile& measuredFile) override {
        const std::string& content = static_cast<const Measured&>(measuredFile).content;
        onScore();
        if (!content.starts_with("keep ")) {
            GiveBackSlot(library);
            return AddOutcome::NoSound;
        }
        TuneRecord& r = library[library.CurrentTuneIndex];
        r.Mood = std::stoi(content.substr(5));
        r.RecordIndex = library.CurrentTuneIndex;
        r.AddedSerial = ++library.AddedSerialCounter;
        r.LastAddedFlag = 1;
        return AddOutcome::Kept;
    }

    std::atomic<int> measured{0};
    std::function<void()> onScore = [] {};
};

struct Run {
    ScriptedSteps steps;
    std::vector<int32_t> savedCounts;  // TuneCount at every save
    std::atomic<int> measurementsReady{0};
    RecordingNotices notices;
    AddSummary summary;
};

// Adds `folder` to `library` until the task finishes; Stop is pressed while the tune for
// slot `stopAtSlot` is being scored.
std::unique_ptr<Run> Add(Library& library, const fs::path& folder, int workers,
                         int stopAtSlot = -1) {
    auto run = std::make_unique<Run>();
    AddHooks hooks;
    hooks.saveLibrary = [&](const Library& l) {
        run->savedCounts.push_back(l.TuneCount);
        return kNoErr;
    };
    hooks.measurementReady = [&run] { ++run->measurementsReady; };
    hooks.notices = &run->notices;
    AddTask task(library, run->steps, hooks, folder, kFolderLimitMessage, workers);
    run->steps.onScore = [&] {
        if (library.CurrentTuneIndex == stopAtSlot) {
            task.RequestStop();
        }
    };
    while (task.Step(std::chrono::milliseconds(20)) != AddTask::State::Finished) {
    }
    EXPECT_FALSE(task.progress().AddingTunes);
    run->summary = task.summary();
    return run;
}

TEST(AddTask, ParallelRunEqualsSequentialRun) {
    testing::TempFolder folder;
    for (int i = 0; i < 60; ++i) {
        const std::string name = "album" + std::to_string(i % 4) + "/t" + std::to_string(i);
        const std::string content =
            i % 7 == 0 ? "untagged" : (i % 5 == 0 ? "silent" : "keep " + std::to_string(i % 9 + 1));
        Write(folder / (name + (i % 2 ? ".mp3" : ".M4A")), content);
        Write(folder / (name + ".txt"), "keep 1");  // not music
        Write(folder / ("._" + std::to_string(i) + ".mp3"), "keep 1");
    }
    auto sequential = std::make_unique<Library>();
    auto parallel = std::make_unique<Library>();
    auto first = Add(*sequential, folder.path(), 0);
    auto second = Add(*parallel, folder.path(), 3);
    EXPECT_EQ(second->measurementsReady, second->steps.measured) << "every worker result is told";
    EXPECT_GT(sequential->TuneCount, 30);
    EXPECT_EQ(EncodeLibrary(*sequential), EncodeLibrary(*parallel));
    EXPECT_EQ(first->summary.kept, sequential->TuneCount);
    EXPECT_EQ(first->summary.skipped.size(), second->summary.skipped.size());
    EXPECT_EQ(first->savedCounts, std::vector<int32_t>{sequential->TuneCount});
}

TEST(AddTask, CommitsEveryTwoHundredKeptTunesAndWhenStopped) {
    testing::TempFolder folder;
    for (int i = 0; i < 450; ++i) {
        // The tune that would land on slot 200 first is rejected: it must not be committed.
        const std::string name = "t" + std::to_string(10000 + i).substr(1) + ".mp3";
        Write(folder / name, i == 199 ? "silent" : "keep 3");
    }
    auto library = std::make_unique<Library>();
    auto run = Add(*library, folder.path(), 2, /*stopAtSlot=*/420);
    EXPECT_EQ(run->savedCounts, (std::vector<int32_t>{200, 400, 420}));
    EXPECT_EQ(library->TuneCount, 420) << "the file in hand is finished, then the add";
    EXPECT_EQ((*library)[200].Title.view(), "t0200");
}

TEST(AddTask, FullLibraryStopsAndSaysSo) {
    testing::TempFolder folder;
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "sub/d.m4a", "sub/notes.txt"}) {
        Write(folder / name, "keep 2");
    }
    auto library = std::make_unique<Library>();
    library->TuneCount = library->CurrentTuneIndex = kMaxTunes - 1;
    (*library)[kMaxTunes - 1].LastAddedFlag = 1;
    auto run = Add(*library, folder.path(), 2);
    EXPECT_EQ(std::tuple(library->TuneCount, (*library)[kMaxTunes].Title.view(),
                         (*library)[kMaxTunes].AddedSerial),
              std::tuple(kMaxTunes, "a", kMaxTunes));
    EXPECT_EQ((*library)[kMaxTunes - 1].LastAddedFlag, 0) << "flags of an earlier add are cleared";
    // Slot 2000 is an every-200th commit; the end of the add saves once more.
    EXPECT_EQ(run->savedCounts, (std::vector<int32_t>{kMaxTunes, kMaxTunes}));
    ASSERT_EQ(run->notices.alerts.size(), 1u);
    EXPECT_EQ(std::tuple(run->notices.alerts[0].title, run->notices.alerts[0].message),
              std::tuple("Database Limit Reached", kFolderLimitMessage));
    // b, c and sub/d, none of them read.
    EXPECT_EQ(std::tuple(run->summary.libraryFull, run->summary.leftOut), std::tuple(true, 3));
}

TEST(AddTask, NothingKeptIntoAnEmptyLibraryWritesNothing) {
    testing::TempFolder folder;
    Write(folder / "quiet.mp3", "silent");
    for (int i = 0; i < 3000; ++i) {
        Write(folder / "notes" / (std::to_string(i) + ".txt"), "");
    }
    auto library = std::make_unique<Library>();
    auto run = Add(*library, folder.path(), 2);
    EXPECT_TRUE(run->savedCounts.empty());
    EXPECT_EQ(std::tuple(library->TuneCount, library->CurrentTuneIndex), std::tuple(0, 0));
    // Non-music files are walked, never read.
    EXPECT_EQ(std::tuple(run->steps.measured.load(), run->summary.entriesWalked),
              std::tuple(1, 3002));
}

// A movie framework that only answers whether the decoders are there.
struct DecodersPresent final : MovieFramework {
    explicit DecodersPresent(bool decoders) : present(decoders) {}
    OsError EnterMovies() override { return present ? kNoErr : kIoErr; }
    OsError OpenMovie(const fs::path&, std::unique_ptr<Movie>&) override { return kIoErr; }
    bool present;
};

TEST(AddStart, DecodersFolderAndMusicFolder) {
    testing::TempFolder home;
    fs::create_directories(home / "empty");
    Write(home / "music" / "a.mp3", "keep 1");
    Write(home / "file", "");
    using enum AddStartResult;
    const struct {
        const char* name;
        bool decoders, musicFolder;
        std::optional<fs::path> folder;
        AddStartResult result;
    } cases[] = {
        {"no decoders", false, false, home / "music", NoAudioDecoders},
        {"chosen folder", true, false, home / "music", Started},
        {"chosen file", true, false, home / "file", NotAFolder},
        {"music folder", true, true, home / "music", Started},
        {"empty music folder", true, true, home / "empty", NoMusicFound},
        {"no music folder", true, true, std::nullopt, NoMusicFound},
        {"music folder, no decoders", false, true, home / "music", NoAudioDecoders},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto library = std::make_unique<Library>();
        DecodersPresent movies(c.decoders);
        ScriptedSteps steps;
        RecordingNotices notices;
        AddHooks hooks;
        hooks.notices = &notices;
        AddStart start = c.musicFolder
                             ? AddTunesFromITunes(*library, movies, steps, hooks, c.folder, 0)
                             : AddTunesFromFolder(*library, movies, steps, hooks, *c.folder, 0);
        EXPECT_EQ(start.result, c.result);
        // Only the music folder's absence is explained; a missing decoder just beeps.
        EXPECT_EQ(notices.beeps, c.result == NoMusicFound || c.result == NoAudioDecoders ? 1 : 0);
        ASSERT_EQ(notices.alerts.size(), c.result == NoMusicFound ? 1u : 0u);
        if (c.result == NoMusicFound) {
            EXPECT_EQ(notices.alerts[0].title, "iTunes Library Alert");
        }
        while (start.task && start.task->Step() != AddTask::State::Finished) {
        }
        EXPECT_EQ(library->TuneCount, c.result == Started ? 1 : 0);
    }
}

namespace fs = std::filesystem;

TEST(FolderWalk, MusicFileNames) {
    using enum MusicFileKind;
    const struct {
        const char* name;
        MusicFileKind kind;
    } cases[] = {
        {"song.Mp3", Mp3},   {"a.M4A", M4a},   {"loop.caf", Caf},    {"._Song.mp3", None},
        {"mp3", None},       {".mp3", Mp3},    {"x.mp3 ", None},     {"a.FLAC", Flac},
        {"a.ogg", Ogg},      {"a.Oga", Ogg},   {"a.opus", Ogg},      {"a.wav", Wav},
        {"a.aif", Aiff},     {"a.AIFF", Aiff}, {"a.flac.txt", None}, {"song.aac", Unread},
        {"a.WMA", Unread},   {"a.wv", Unread}, {"._a.wma", None},    {"cover.jpg", None},
        {"list.m3u8", None}, {"wma", None},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MusicFileKindForName(c.name), c.kind) << c.name;
    }
}

// Relative paths of every entry, in walk order; folders end in "/".
std::vector<std::string> Walk(const fs::path& root) {
    std::vector<std::string> seen;
    FolderWalk walk(root);
    while (auto entry = walk.Next()) {
        seen.push_back(entry->path.lexically_relative(root).string() +
                       (entry->isFolder ? "/" : "") +
                       (entry->error != 0 ? " " + std::string(std::strerror(entry->error)) : ""));
    }
    return seen;
}

TEST(FolderWalk, DepthFirstInByteOrder) {
    testing::TempFolder root;
    fs::create_directories(root / "b" / "inner");
    // The last name is not UTF-8 and holds a newline.
    const std::string odd = "\xE9t\xE9\n'q'.mp3";
    for (const char* name : {"B.mp3", "a.mp3", "b/z.mp3", "b/inner/deep.m4a", "c.mp3"}) {
        Write(root / name, "x");
    }
    Write(root / odd, "x");
    const std::vector<std::string> expected = {
        "B.mp3", "a.mp3", "b/", "b/inner/", "b/inner/deep.m4a", "b/z.mp3", "c.mp3", odd};
    EXPECT_EQ(Walk(root.path()), expected);
}

TEST(FolderWalk, LinksAndUnwalkableEntries) {
    testing::TempFolder root;
    fs::create_directories(root / "music" / "album");
    Write(root / "music" / "album" / "t.mp3", "x");
    fs::create_directory_symlink(root / "music", root / "music" / "album" / "loop");
    fs::create_directory_symlink(root / "music" / "album", root / "music" / "same");
    fs::create_symlink(root / "nowhere.mp3", root / "music" / "dangling.mp3");
    ::mkfifo((root / "music" / "fifo.mp3").c_str(), 0644);
    const std::vector<std::string> expected = {"album/", "album/loop/", "album/t.mp3", "same/"};
    EXPECT_EQ(Walk(root / "music"), expected)
        << "each folder is entered once; dangling links and pipes are skipped";
    EXPECT_EQ(Walk(root / "missing"), std::vector<std::string>{"./ No such file or directory"});

    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every folder, so none can be closed to this test";
    }
    fs::create_directory(root / "closed");
    Write(root / "closed" / "hidden.mp3", "x");
    fs::permissions(root / "closed", fs::perms::none);
    const std::vector<std::string> walked = Walk(root.path());
    EXPECT_EQ(walked.size(), 6u) << "closed/ is listed but counts as empty";
    EXPECT_EQ(walked.front(), "closed/ Permission denied");
    EXPECT_EQ(Walk(root / "closed"), std::vector<std::string>{"./ Permission denied"});
    fs::permissions(root / "closed", fs::perms::owner_all);
}

}  // namespace
}  // namespace harmovia
