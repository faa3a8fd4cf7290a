// harmovia-cli run as the user runs it: a child process with a home of its own, judged by its
// exit status, its output and the files it leaves behind.

#include <QJsonDocument>
#include <algorithm>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "export/hfs_path.h"
#include "library/library_file.h"
#include "library/preferences_file.h"
#include "platform/app_folders.h"
#include "platform/library_lock.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

namespace harmovia {
namespace {

namespace fs = std::filesystem;
using testing::CommandRun;
using testing::ReadBytes;
using testing::ShellQuoted;

// The shell line that runs harmovia-cli with `home` as its HOME and XDG_DATA_HOME, so that
// no folder of the machine's user is found, and with `env` (NAME=VALUE ...) set for it alone.
std::string CliLine(const std::vector<std::string>& args, const fs::path& home,
                    const std::string& env = "") {
    std::string line = "env -u XDG_CONFIG_HOME " + env +
                       " XDG_DATA_HOME=" + ShellQuoted(home.string()) +
                       " HOME=" + ShellQuoted(home.string()) + " " + ShellQuoted(HARMOVIA_CLI);
    for (const std::string& arg : args) {
        line += " " + ShellQuoted(arg);
    }
    return line;
}

CommandRun RunCliOk(const std::vector<std::string>& args, const fs::path& home) {
    CommandRun run = testing::RunCommand(CliLine(args, home));
    EXPECT_EQ(run.status, 0) << ::testing::PrintToString(args) << "\n" << run.err;
    return run;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

::testing::AssertionResult Holds(const std::string& text, const std::string& piece) {
    if (text.find(piece) != std::string::npos) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "no '" << piece << "' in:\n" << text;
}

// One JSON object on one line, nothing after it.
bool IsOneJsonObject(const std::string& line) {
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    return error.error == QJsonParseError::NoError && json.isObject() &&
           std::ranges::none_of(line, [](unsigned char c) { return c < 0x20; });
}

std::string TextOf(const fs::path& file) {
    const std::vector<uint8_t> bytes = ReadBytes(file);
    return {bytes.begin(), bytes.end()};
}

fs::path LibraryFile(const fs::path& home) {
    return home / "Harmovia" / kLibraryFileName;
}

// Saves `count` tunes, each filled in by `fill(slot, record)`, as the library of `home`.
template <typename Fill>
void SaveLibraryOf(const fs::path& home, int32_t count, Fill fill) {
    auto library = std::make_unique<Library>();
    for (int32_t slot = 1; slot <= count; ++slot) {
        fill(slot, (*library)[slot]);
    }
    library->TuneCount = library->CurrentTuneIndex = count;
    DiskFileSystem files;
    fs::create_directories(home / "Harmovia");
    ASSERT_EQ(SaveLibrary(*library, files, home / "Harmovia"), kNoErr);
}

class Cli : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        tunes_ = std::make_unique<testing::TempFolder>();
        const struct {
            const char *file, *title;
            double seconds;
            testing::TestEncoding encoding = testing::TestEncoding::Mp3Cbr;
        } made[] = {{"album/cafe.mp3", "Caf\xC3\xA9", 16},
                    {"album/second.mp3", "Second", 16},
                    {"elsewhere/short.mp3", "Short", 14},
                    {"kinds/third.flac", "Third", 16, testing::TestEncoding::Flac}};
        for (const auto& m : made) {
            fs::create_directories((*tunes_ / m.file).parent_path());
            testing::MakeTestAudio(
                *tunes_ / m.file,
                {.seconds = m.seconds,
                 .encoding = m.encoding,
                 .kbps = 32,
                 .tags = {{"title", m.title}, {"artist", "Aster"}, {"album", "Plain Songs"}}});
        }
        testing::WriteBytes(*tunes_ / "kinds/other.wma", {'w', 'm', 'a'});  // counted, not read
    }
    static void TearDownTestSuite() { tunes_.reset(); }
    static fs::path Album() { return *tunes_ / "album"; }
    static fs::path Short() { return *tunes_ / "elsewhere/short.mp3"; }

    static inline std::unique_ptr<testing::TempFolder> tunes_;
};

TEST_F(Cli, ExitStatusAndTheLibraryLeftAlone) {
    // Tunes whose files are gone, two checked of mood 4 and one unchecked of mood 5, in a
    // library that none of these commands may change.
    testing::TempFolder home, emptyFolder;  // an add of the empty folder would still change it
    SaveLibraryOf(home.path(), 3, [&](int32_t slot, TuneRecord& r) {
        r.Location.Set((home / ("gone" + std::to_string(slot) + ".mp3")).string());
        r.Mood = slot < 3 ? 4 : 5;
        r.Checked = slot < 3 ? 1 : 0;
        r.LastAddedFlag = 1;  // any add clears it
    });
    const std::vector<uint8_t> before = ReadBytes(LibraryFile(home.path()));
    const std::string help =
        "harmovia-cli: \"harmovia-cli help\" shows the commands and their options";
    const char* full = " > /dev/full";
    const char* noSpace = "harmovia-cli: cannot write the output: No space left on device";
    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;  // on stderr, in its first line
        const char* redirect = "";
        bool locked = false;  // another program writes the library
    } cases[] = {
        {{}, 2, "usage: harmovia-cli COMMAND [OPTIONS]"},
        {{"frobnicate"}, 2, "harmovia-cli: unknown command 'frobnicate'"},
        {{"add"}, 2, "harmovia-cli add: give a FOLDER to add, or --music-folder"},
        {{"add", "/tmp", "--workers", "999"}, 2, "add: --workers takes 0..256; 0 measures on"},
        {{"add", "/missing"}, 1, "harmovia-cli: /missing is not a folder"},
        {{"inspect", "/missing.mp3"}, 1, "harmovia-cli: /missing.mp3 is not a file that can be"},
        {{"list", "--format", "bogus"}, 2, "harmovia-cli list: unexpected '--format'"},
        {{"moods", "--all"}, 2, "harmovia-cli moods: takes no options"},
        {{"playlist", "--mood", "4", "--genre", "Jazz"}, 2, "--genre SLOT is a view of its own"},
        {{"add", "--music-folder"}, 1, "harmovia-cli: No music was found in the music folder ("},
        {{"add", emptyFolder.path().string()}, 1, "", "", true},
        {{"list"}, 1, noSpace, full},
        {{"playlist", "--all", "--format", "m3u"}, 1, "playlist: cannot write the output", full},
        {{"play", "--all", "--volume", "731"}, 2, "--volume needs"},
        {{"play", "--all", "--volume", "25x"}, 2, "--volume needs"},
        {{"play", "--all", "--shuffle"}, 2, "harmovia-cli play: unknown argument"},
        {{"play", "--mood", "3"}, 1, "harmovia-cli play: "},
        {{"play", "--mood", "4", "--volume", "0"}, 1, "Missing Tunes Alert-"},
        {{"play", "--mood", "5"}, 1, "no tune of the view could be played"},
        {{"play", "--mood", "4x"}, 2, "the mood must be a number from 1 to 9"},
        {{"playlist", "--journey", "1:10"}, 2, "--journey takes two moods from 1 to 9, as A:B"},
        {{"playlist", "--mood", "4", "--minutes", "5"}, 2, "--minutes M goes with --journey"},
        {{"playlist", "--journey", "1:9", "--count", "0"}, 2, "--count takes a whole number"},
        {{"play", "--all", "--endless"}, 2, "--endless goes with --journey A:B"},
        {{"play", "--journey", "4:5", "--endless", "--volume", "0"}, 1, "Missing Tunes Alert-"},
        {{"send", "--all", "--count", "99999999999"}, 2, "the count must be a whole number"},
        {{"send", "--all", "--name", ""}, 2, "the playlist name is empty"},
        {{"send", "--all", "--bogus"}, 2, "harmovia-cli send: unknown argument \"--bogus\""},
        {{"send", "--count", "1"}, 2, "choose a view"},
        {{"set-mood"}, 2, "set-mood: give SLOT or --title TEXT, then a mood 1..9 or measured"},
        {{"set-mood", "1"}, 2, "set-mood: give SLOT or --title TEXT, then a mood"},
        {{"set-mood", "1", "10"}, 2, "the mood must be a number from 1 to 9, or measured"},
        {{"set-mood", "1", "Measured"}, 2, "the mood must be a number from 1 to 9, or measured"},
        {{"set-mood", "x1", "3"}, 2, "set-mood: the slot must be a whole number"},
        {{"set-mood", "--title", "", "3"}, 2, "set-mood: the title is empty"},
        {{"set-mood", "4", "3"}, 1, "set-mood: no tune in slot 4 (the library holds 3)"},
        {{"set-mood", "--title", "Gone", "3"}, 1, "set-mood: no tune is titled \"Gone\""},
        {{"set-mood", "1", "7"}, 1, "keeps no measured mood to come back to"},  // no energy
        {{"set-mood", "1", "7"}, 1, "", "", true},
        {{"export-moods", "a", "b"}, 2, "harmovia-cli export-moods: takes one DIR at most"},
        {{"export-moods", "--all"}, 2, "harmovia-cli export-moods: unknown option \"--all\""},
        {{"explain"}, 2, "harmovia-cli explain: give SLOT or --title TEXT"},
        {{"explain", "1", "2"}, 2, "harmovia-cli explain: give SLOT or --title TEXT"},
        {{"explain", "0"}, 1, "harmovia-cli explain: no tune in slot 0 (the library holds 3)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const auto lock = c.locked ? LibraryLock::TryAcquire(home / "Harmovia") : nullptr;
        ASSERT_EQ(lock != nullptr, c.locked);
        const CommandRun run = testing::RunCommand(CliLine(c.args, home.path()) + c.redirect);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(Holds(run.err, c.says));
        const std::vector<std::string> lines = Lines(run.err);
        if (!c.args.empty()) {  // the problem in one line; after a usage error, where help is
            EXPECT_EQ(lines.size(), static_cast<size_t>(c.status)) << run.err;
            EXPECT_EQ(lines.back(), c.status == 1 ? lines[0] : help);
        }
        EXPECT_TRUE(run.err.ends_with("\n")) << run.err;
        EXPECT_TRUE(ReadBytes(LibraryFile(home.path())) == before) << "the library file changed";
    }
}

TEST_F(Cli, JourneysWalkTheirMoodsAndRepeatWithASeed) {
    // Four tunes of every mood, by six artists.
    testing::TempFolder home;
    SaveLibraryOf(home.path(), 36, [](int32_t slot, TuneRecord& r) {
        r.Title.Set("Tune " + std::to_string(slot));
        r.Artist.Set("Artist " + std::to_string(slot % 6));
        r.Mood = 1 + (slot - 1) / 4;
        r.Checked = 1;
        r.DurationSeconds = 180;
    });
    const struct {
        std::vector<std::string> args;
        std::vector<int> moods;
    } cases[] = {
        {{"playlist", "--journey", "1:9", "--count", "9", "--seed", "7"},
         {1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {{"playlist", "--journey", "8:6", "--minutes", "15", "--seed", "7"}, {8, 8, 7, 6, 6}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const std::string out = RunCliOk(c.args, home.path()).out;
        EXPECT_EQ(RunCliOk(c.args, home.path()).out, out);
        std::vector<int> moods;
        for (const std::string& line : Lines(out)) {
            if (!line.starts_with("Row\t")) {
                moods.push_back(std::stoi(line.substr(line.find('\t', line.find('\t') + 1) + 1)));
            }
        }
        EXPECT_EQ(moods, c.moods);
    }
}

TEST_F(Cli, AddListInspectAndAddAgain) {
    testing::TempFolder home;
    const CommandRun added = RunCliOk({"add", Album().string(), "--workers", "2"}, home.path());
    EXPECT_TRUE(Holds(added.out, "Kept 2 tunes"));
    EXPECT_EQ(added.err, "");

    const std::vector<std::string> lines =
        Lines(RunCliOk({"list", "--format", "json"}, home.path()).out);
    ASSERT_EQ(lines.size(), 2u);
    const char* titles[][2] = {{"Caf\xC3\xA9", "cafe.mp3"}, {"Second", "second.mp3"}};  // UTF-8
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(IsOneJsonObject(lines[i])) << lines[i];
        EXPECT_TRUE(Holds(lines[i], "\"Slot\":" + std::to_string(i + 1)));
        EXPECT_TRUE(Holds(lines[i], "\"Title\":\"" + std::string(titles[i][0]) + "\""));
        EXPECT_TRUE(Holds(lines[i], "\"Location\":\"" + (Album() / titles[i][1]).string() + "\""));
    }

    // Files judged as `add` would judge them; the library file is left alone.
    const std::vector<uint8_t> library = ReadBytes(LibraryFile(home.path()));
    const std::pair<fs::path, const char*> inspected[] = {
        {Album() / "cafe.mp3", R"("ResultCode":7,"RefusedBy":"tags","Outcome":"duplicate")"},
        {Short(),
         R"("ResultCode":37,"RefusedBy":"measurement","Outcome":"shorter than 15 seconds")"},
    };
    for (const auto& [file, has] : inspected) {
        const CommandRun run = RunCliOk({"inspect", file.string()}, home.path());
        EXPECT_TRUE(Lines(run.out).size() == 1 && IsOneJsonObject(Lines(run.out)[0])) << run.out;
        EXPECT_TRUE(Holds(run.out, has));
    }
    EXPECT_TRUE(ReadBytes(LibraryFile(home.path())) == library) << "inspect changed the library";

    const CommandRun again = RunCliOk({"add", Album().string(), "--workers", "0"}, home.path());
    EXPECT_TRUE(Holds(again.out, " skipped 2 files: 2 duplicate.\nThe library holds 2 tunes."));
    EXPECT_TRUE(Holds(RunCliOk({"add", Short().parent_path().string(), "--quiet"}, home.path()).out,
                      " skipped 1 file: 1 shorter than 15 seconds."));

    // A FLAC beside them: its kind in the JSON, its tags in the duplicate test, its entry in
    // the playlist; an audio file of another kind counted by its extension.
    const fs::path kinds = tunes_->path() / "kinds";
    const CommandRun flac = RunCliOk({"add", kinds.string()}, home.path());
    EXPECT_TRUE(Holds(
        flac.out, "skipped (not a kind Harmovia reads): " + (kinds / "other.wma").string() + "\n"));
    EXPECT_TRUE(Holds(flac.out, "Kept 1 tune in ")) << flac.out;
    EXPECT_TRUE(Holds(flac.out, "skipped 1 file: 1 not a kind Harmovia reads (.wma)."));
    EXPECT_TRUE(Holds(Lines(RunCliOk({"list", "--format", "json"}, home.path()).out).at(2),
                      "\"FileKind\":5,\"Type\":\"FLAC\","));
    EXPECT_TRUE(Holds(RunCliOk({"inspect", (kinds / "third.flac").string()}, home.path()).out,
                      R"("ResultCode":1,"RefusedBy":"tags","Outcome":"duplicate")"));
    EXPECT_TRUE(Holds(RunCliOk({"send", "--all", "--dry-run"}, home.path()).out,
                      "#EXTINF:16,Aster - Third\n" + (kinds / "third.flac").string() + "\n"));
}

// A mood set by hand: listed, counted and viewed as the tune's mood, kept by a re-add of
// the same files, explained, and undone byte for byte by "measured".
TEST_F(Cli, SetMoodByHandAddAgainAndExplain) {
    testing::TempFolder home;
    RunCliOk({"add", Album().string(), "--quiet"}, home.path());
    std::vector<uint8_t> measured = ReadBytes(LibraryFile(home.path()));
    for (size_t record = 0; record < measured.size(); record += kTuneRecordSize) {
        measured[record + 2414] = 0;  // LastAddedFlag: the next add clears it
    }
    const std::string first = Lines(RunCliOk({"list", "--format", "json"}, home.path()).out)[0];
    const size_t at = first.find("\"Mood\":");
    ASSERT_NE(at, std::string::npos);
    const std::string measuredMood = first.substr(at + 7, 1);
    const std::string chosen = measuredMood == "9" ? "1" : "9";

    const std::string said = RunCliOk({"set-mood", "--title", "Second", chosen}, home.path()).out;
    EXPECT_TRUE(Holds(said, "2\tSecond\t")) << said;
    EXPECT_TRUE(Holds(said, ", set by hand (measured ")) << said;
    RunCliOk({"add", Album().string(), "--quiet"}, home.path());  // two duplicates, skipped
    std::vector<std::string> lines = Lines(RunCliOk({"list", "--format", "json"}, home.path()).out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FALSE(Holds(lines[0], "MoodSetByHand"));
    EXPECT_TRUE(IsOneJsonObject(lines[1])) << lines[1];
    EXPECT_TRUE(Holds(lines[1], "\"Mood\":" + chosen + ","));
    EXPECT_TRUE(Holds(lines[1], "\"MoodSetByHand\":true,\"MeasuredMood\":"));
    EXPECT_TRUE(
        Holds(RunCliOk({"moods"}, home.path()).out,
              chosen + "\t" + (chosen == "9" ? "Maximum Wild" : "Deep Relaxation") + "\t1\n"));
    EXPECT_TRUE(Holds(RunCliOk({"playlist", "--mood", chosen}, home.path()).out, "\tSecond\t"));
    const std::string why = RunCliOk({"explain", "2"}, home.path()).out;
    EXPECT_TRUE(why.starts_with("Set by hand to ")) << why;
    EXPECT_EQ(Lines(why).size(), 1u);
    EXPECT_TRUE(Holds(RunCliOk({"explain", "1"}, home.path()).out, " made all of it; pitch "));

    const std::string back = RunCliOk({"set-mood", "2", "measured"}, home.path()).out;
    EXPECT_TRUE(Holds(back, ", as measured\n")) << back;
    EXPECT_TRUE(ReadBytes(LibraryFile(home.path())) == measured) << "not the measured bytes";
}

// A full library: what the add leaves out is counted, said on stderr and ends in status 1.
// Listing it into a closed pipe fails with status 1.
TEST_F(Cli, FullLibraryAndAClosedPipe) {
    testing::TempFolder home;
    SaveLibraryOf(home.path(), kMaxTunes, [](int32_t, TuneRecord& r) { r.Mood = 1; });
    // One file left out is enough to fail.
    const CommandRun run =
        testing::RunCommand(CliLine({"add", Short().parent_path().string()}, home.path()));
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Holds(run.out, "; 1 file left out: the library is full."));
    EXPECT_EQ(run.err,
              "harmovia-cli: The maximum number of tunes has been reached and no more tunes can "
              "be added to your database.\n");
    // Megabytes of JSON into a pipe whose reader has gone: a failed write, not a kill by
    // SIGPIPE. The command's stderr and status come out on fd 3, the outer stdout.
    const CommandRun piped =
        testing::RunCommand("{ { " + CliLine({"list", "--format", "json"}, home.path()) +
                            " 2>&3; echo \"status $?\" >&3; } | true; } 3>&1");
    EXPECT_TRUE(piped.out.starts_with("harmovia-cli: cannot write the output: ")) << piped.out;
    EXPECT_TRUE(piped.out.ends_with("\nstatus 1\n")) << piped.out;
    EXPECT_EQ(Lines(piped.out).size(), 2u) << piped.out;
}

// Random bytes for records, and a record cut short: listed, viewed, kept aside, never a crash.
TEST_F(Cli, DamagedLibrary) {
    testing::TempFolder home;
    std::mt19937 random(14);
    std::vector<uint8_t> bytes(4 * kTuneRecordSize + 1000);
    std::ranges::generate(bytes, [&] { return static_cast<uint8_t>(random()); });
    fs::create_directories(home / "Harmovia");
    testing::WriteBytes(LibraryFile(home.path()), bytes);
    const std::string ignored =
        "harmovia-cli: the library file ends in 1000 bytes that are not a whole record; they "
        "were ignored (the next add keeps them in HarmoviaDatabase.damaged)\n";

    const CommandRun listed = RunCliOk({"list", "--format", "json"}, home.path());
    EXPECT_EQ(listed.err, ignored);
    EXPECT_EQ(Lines(listed.out).size(), 4u);
    for (const std::string& line : Lines(listed.out)) {
        EXPECT_TRUE(IsOneJsonObject(line)) << line;
    }
    for (const char* view :
         {"list", "moods", "playlist --all", "playlist --mood 1", "playlist --like 1 --format json",
          "playlist --genre 2 --format m3u", "playlist --search a"}) {
        const CommandRun run = testing::RunCommand(CliLine({}, home.path()) + " " + view);
        EXPECT_EQ(run.status, 0) << view;
        EXPECT_TRUE(run.err.starts_with(ignored)) << view << "\n" << run.err;
    }

    testing::TempFolder emptyFolder;
    RunCliOk({"add", emptyFolder.path().string()}, home.path());
    EXPECT_EQ(ReadBytes(home / "Harmovia" / kDamagedTailFileName),
              std::vector<uint8_t>(bytes.end() - 1000, bytes.end()));
    EXPECT_EQ(ReadBytes(LibraryFile(home.path())).size(), 4u * kTuneRecordSize);
}

// A send writes the playlist file, hands it to the desktop's opener on the PATH with --open,
// and says when either could not be done.
TEST_F(Cli, SendWritesOpensOrSaysWhyNot) {
    testing::TempFolder home;
    const fs::path playlists = home / "Music" / "Playlists";
    RunCliOk({"add", Album().string(), "--quiet"}, home.path());
    const auto entry = [](const char* title, const char* file) {
        return "#EXTINF:16,Aster - " + std::string(title) + "\n" + (Album() / file).string() + "\n";
    };

    // A dry run prints the scripts and the file, and writes nothing.
    const CommandRun dry = RunCliOk({"send", "--all", "--dry-run"}, home.path());
    EXPECT_EQ(dry.err, "");
    EXPECT_TRUE(
        dry.out.ends_with("-- script 3 of 3\ntell application \"iTunes\"\nactivate\nend "
                          "tell\n-- playlist file " +
                          (playlists / "All Tunes.m3u8").string() + "\n#EXTM3U\n" +
                          entry("Caf\xC3\xA9", "cafe.mp3") + entry("Second", "second.mp3")))
        << dry.out;
    const std::string volume = StartupVolumeName().value_or(std::string(kDefaultStartupVolume));
    size_t at = 0;  // one script per tune, in view order
    for (const char* file : {"cafe.mp3", "second.mp3"}) {
        at = dry.out.find("(add \"" + HfsPath((Album() / file).string(), volume) + "\")\n", at);
        EXPECT_NE(at, std::string::npos) << file;
    }
    EXPECT_FALSE(fs::exists(playlists));

    const CommandRun sent =
        RunCliOk({"send", "--all", "--name", "Road \"Trip\"/1", "--count", "1"}, home.path());
    const fs::path road = playlists / "Road \"Trip\"_1.m3u8";
    EXPECT_EQ(sent.out, "Playlist \"Road \"Trip\"/1\" (1 tune) written to " + road.string() + "\n");
    EXPECT_EQ(TextOf(road), "#EXTM3U\n" + entry("Caf\xC3\xA9", "cafe.mp3"));
    EXPECT_EQ(RunCliOk({"send", "--search", "no such tune"}, home.path()).out, "");

    // A stand-in opener that notes the file it was given and exits with $OPEN_STATUS.
    const fs::path bin = home / "bin";
    fs::create_directories(bin);
    const fs::path opened = home / "opened.txt";
    const std::string opener = "#!/bin/sh\nprintf '%s\\n' \"$1\" > " +
                               ShellQuoted(opened.string()) + "\nexit ${OPEN_STATUS:-0}\n";
    testing::WriteBytes(bin / "xdg-open", {opener.begin(), opener.end()});
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    const fs::path file = playlists / "All Tunes.m3u8";
    const struct {
        std::string path;
        int openStatus;
        int status;
        std::string said;
    } cases[] = {
        {bin.string(), 0, 0, "Opened " + file.string() + " in the music player\n"},
        {bin.string(), 3, 1, "not opened: xdg-open failed (exit status 3)\n"},
        {(home / "empty").string(), 0, 1, "not opened: xdg-open was not found\n"},
    };
    for (const auto& c : cases) {
        fs::remove(opened);
        const CommandRun run = testing::RunCommand(CliLine(
            {"send", "--all", "--open"}, home.path(),
            "OPEN_STATUS=" + std::to_string(c.openStatus) + " PATH=" + ShellQuoted(c.path)));
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_TRUE((c.status == 0 ? run.out : run.err).ends_with(c.said)) << run.out << run.err;
        EXPECT_TRUE(fs::exists(file));
        EXPECT_EQ(fs::exists(opened), c.path == bin.string());
        if (c.status == 0) {
            EXPECT_EQ(TextOf(opened), file.string() + "\n");
        }
    }

    // A file where the Playlists folder belongs.
    fs::remove_all(playlists);
    testing::WriteBytes(playlists, {'x'});
    const CommandRun blocked = testing::RunCommand(CliLine({"send", "--all"}, home.path()));
    EXPECT_EQ(blocked.status, 1);
    EXPECT_TRUE(
        blocked.err.starts_with("harmovia-cli send: Playlist Not Saved: The playlist file "))
        << blocked.err;
}

// The nine mood playlists on demand, and kept by set-mood once the desktop program's switch
// is on in the preferences.
TEST_F(Cli, ExportMoodsAndSetMoodKeepingThem) {
    testing::TempFolder home;
    RunCliOk({"add", Album().string(), "--quiet"}, home.path());
    const fs::path playlists = home / "Music" / "Playlists";
    const auto file = [&](const char* mood) {
        return playlists / ("Harmovia \xE2\x80\x93 " + std::string(mood) + ".m3u8");
    };
    const auto holdsSecond = [&](const char* mood) {
        const std::vector<uint8_t> bytes = ReadBytes(file(mood));
        return Holds(std::string(bytes.begin(), bytes.end()),
                     "#EXTINF:16,Aster - Second\n" + (Album() / "second.mp3").string() + "\n");
    };
    const std::vector<std::string> written = Lines(RunCliOk({"export-moods"}, home.path()).out);
    ASSERT_EQ(written.size(), 9u);
    EXPECT_TRUE(written[0].starts_with(file("Deep Relaxation").string() + ": ")) << written[0];
    EXPECT_TRUE(written[8].starts_with(file("Maximum Wild").string() + ": ")) << written[8];
    for (const std::string& line : written) {
        EXPECT_TRUE(line.ends_with(" tunes, written") || line.ends_with(" 1 tune, written"))
            << line;
    }
    EXPECT_TRUE(Holds(RunCliOk({"export-moods"}, home.path()).out, " tunes, unchanged\n"));
    const std::string elsewhere =
        RunCliOk({"export-moods", (home / "Lists").string()}, home.path()).out;
    EXPECT_TRUE(
        Holds(elsewhere, (home / "Lists" / "Harmovia \xE2\x80\x93 Maximum Wild.m3u8").string()));

    Preferences preferences;
    SetKeepsMoodPlaylists(preferences, true);
    DiskFileSystem files;
    ASSERT_EQ(SavePreferences(preferences, files, home / "Harmovia"), kNoErr);
    RunCliOk({"set-mood", "--title", "Second", "1"}, home.path());
    EXPECT_TRUE(holdsSecond("Deep Relaxation"));
    EXPECT_FALSE(holdsSecond("Maximum Wild"));
    RunCliOk({"set-mood", "--title", "Second", "9"}, home.path());
    EXPECT_FALSE(holdsSecond("Deep Relaxation"));
    EXPECT_TRUE(holdsSecond("Maximum Wild"));
}

}  // namespace
}  // namespace harmovia
