// harmovia-cli run as the user runs it: a child process with a home of its own, judged by its
// exit status, its output and the files it leaves behind.

#include <QJsonDocument>
#include <algorithm>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "export/hfs_path.h"
#include "library/library_file.h"
#include "platform/app_folders.h"
#include "platform/library_lock.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

#include <unistd.h>

namespace harmovia {
namespace {

namespace fs = std::filesystem;
using testing::CommandRun;
using testing::ShellQuoted;

// Runs harmovia-cli with `args`; `home` is its HOME and XDG_DATA_HOME, so that no folder of
// the machine's user is found. A `redirect` (" > /dev/full") is added to the shell line.
CommandRun RunCli(const std::vector<std::string>& args, const fs::path& home,
                  const std::string& redirect = "") {
    std::string line = "env -u XDG_CONFIG_HOME XDG_DATA_HOME=" + ShellQuoted(home.string()) +
                       " HOME=" + ShellQuoted(home.string()) + " " + ShellQuoted(HARMOVIA_CLI);
    for (const std::string& arg : args) {
        line += " " + ShellQuoted(arg);
    }
    return testing::RunCommand(line + redirect);
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

fs::path LibraryFile(const fs::path& home) {
    return home / "Harmovia" / kLibraryFileName;
}

void SaveTo(const fs::path& home, const Library& library) {
    DiskFileSystem files;
    fs::create_directories(home / "Harmovia");
    ASSERT_EQ(SaveLibrary(library, files, home / "Harmovia"), kNoErr);
}

class Cli : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        tunes_ = std::make_unique<testing::TempFolder>();
        const struct {
            const char *file, *title;
            double seconds;
        } made[] = {{"album/cafe.mp3", "Caf\xC3\xA9", 16},
                    {"album/second.mp3", "Second", 16},
                    {"elsewhere/short.mp3", "Short", 14}};
        for (const auto& m : made) {
            fs::create_directories((*tunes_ / m.file).parent_path());
            testing::MakeTestAudio(
                *tunes_ / m.file,
                {.seconds = m.seconds,
                 .kbps = 32,
                 .tags = {{"title", m.title}, {"artist", "Aster"}, {"album", "Plain Songs"}}});
        }
    }
    static void TearDownTestSuite() { tunes_.reset(); }
    static fs::path Album() { return *tunes_ / "album"; }
    static fs::path Short() { return *tunes_ / "elsewhere/short.mp3"; }

    static inline std::unique_ptr<testing::TempFolder> tunes_;
};

TEST_F(Cli, ExitStatusAndTheLibraryLeftAlone) {
    testing::TempFolder emptyFolder;  // an add of it would still change the library
    const char* full = " > /dev/full";
    const char* noSpace = "harmovia-cli: cannot write the output: No space left on device";
    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;  // in the first line of stderr
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
        {{"moods"}, 1, noSpace, full},
        {{"help"}, 1, noSpace, full},
        {{"playlist", "--all", "--format", "m3u"}, 1, "playlist: cannot write the output", full},
        {{"play"}, 2, "choose a view"},
        {{"play", "--all", "--volume", "731"}, 2, "--volume needs"},
        {{"play", "--all", "--volume", "25x"}, 2, "--volume needs"},
        {{"play", "--all", "--shuffle"}, 2, "unknown argument"},
        {{"play", "--mood", "3"}, 1, "harmovia-cli play: "},
        {{"play", "--mood", "4", "--volume", "0"}, 1, "Missing Tunes Alert-"},
        {{"play", "--mood", "5"}, 1, "no tune of the view could be played"},
        {{"play", "--mood", "4x"}, 2, "the mood must be a number from 1 to 9"},
        {{"send", "--all", "--count", "99999999999"}, 2, "the count must be a whole number"},
        {{"send", "--all", "--name", ""}, 2, "the playlist name is empty"},
        {{"send", "--all", "--bogus"}, 2, "unknown argument \"--bogus\""},
        {{"send", "--count", "1"}, 2, "choose a view"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        // Tunes whose files are gone, two checked of mood 4 and one unchecked of mood 5, in a
        // library that none of these commands may change.
        testing::TempFolder home;
        auto library = std::make_unique<Library>();
        for (int32_t slot = 1; slot <= 3; ++slot) {
            TuneRecord& r = (*library)[slot];
            r.Title.Set("Gone " + std::to_string(slot));
            r.Location.Set((home / ("gone" + std::to_string(slot) + ".mp3")).string());
            r.Mood = slot < 3 ? 4 : 5;
            r.Checked = slot < 3 ? 1 : 0;
            r.RecordIndex = slot;
            r.LastAddedFlag = 1;  // any add clears it
        }
        library->TuneCount = library->CurrentTuneIndex = 3;
        SaveTo(home.path(), *library);
        const std::vector<uint8_t> before = testing::ReadBytes(LibraryFile(home.path()));

        std::unique_ptr<LibraryLock> lock;
        if (c.locked) {
            lock = LibraryLock::TryAcquire(home / "Harmovia");
            ASSERT_TRUE(lock);
        }
        const CommandRun run = RunCli(c.args, home.path(), c.redirect);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, "");
        const std::vector<std::string> lines = Lines(run.err);
        ASSERT_FALSE(lines.empty());
        EXPECT_TRUE(Holds(lines[0], c.says));
        if (c.status == 1) {
            EXPECT_EQ(lines.size(), 1u) << run.err;
        } else if (!c.args.empty()) {
            EXPECT_EQ(lines.back(),
                      "harmovia-cli: \"harmovia-cli help\" shows the commands and their options");
        }
        EXPECT_TRUE(run.err.ends_with("\n")) << run.err;
        EXPECT_TRUE(testing::ReadBytes(LibraryFile(home.path())) == before)
            << "the library file changed";
    }
}

TEST_F(Cli, AddListInspectAndAddAgain) {
    testing::TempFolder home;
    const CommandRun added = RunCli({"add", Album().string(), "--workers", "2"}, home.path());
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_TRUE(Holds(added.out, "Kept 2 tunes"));
    EXPECT_EQ(added.err, "");

    const CommandRun listed = RunCli({"list", "--format", "json"}, home.path());
    ASSERT_EQ(listed.status, 0) << listed.err;
    const std::vector<std::string> lines = Lines(listed.out);
    ASSERT_EQ(lines.size(), 2u) << listed.out;
    const char* titles[] = {"Caf\xC3\xA9", "Second"};  // UTF-8, as the tag held it
    const char* names[] = {"cafe.mp3", "second.mp3"};
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(IsOneJsonObject(lines[i])) << lines[i];
        EXPECT_TRUE(Holds(lines[i], "\"Slot\":" + std::to_string(i + 1)));
        EXPECT_TRUE(Holds(lines[i], "\"Title\":\"" + std::string(titles[i]) + "\""));
        EXPECT_TRUE(Holds(lines[i], "\"Location\":\"" + (Album() / names[i]).string() + "\""));
    }

    // Inspecting leaves the library file alone.
    const std::vector<uint8_t> library = testing::ReadBytes(LibraryFile(home.path()));
    const struct {
        fs::path file;
        std::string has;
    } inspected[] = {
        // as `add` would find it
        {Album() / "cafe.mp3", R"("ResultCode":7,"RefusedBy":"tags","Outcome":"duplicate")"},
        {Short(),
         R"("ResultCode":37,"RefusedBy":"measurement","Outcome":"shorter than 15 seconds")"},
    };
    for (const auto& c : inspected) {
        const CommandRun run = RunCli({"inspect", c.file.string()}, home.path());
        EXPECT_EQ(run.status, 0) << run.err;
        ASSERT_EQ(Lines(run.out).size(), 1u) << run.out;
        EXPECT_TRUE(IsOneJsonObject(Lines(run.out)[0])) << run.out;
        EXPECT_TRUE(Holds(run.out, c.has));
    }
    EXPECT_TRUE(testing::ReadBytes(LibraryFile(home.path())) == library)
        << "inspect changed the library file";

    const CommandRun again = RunCli({"add", Album().string(), "--workers", "0"}, home.path());
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(Holds(again.out, "Kept 0 tunes"));
    EXPECT_TRUE(Holds(again.out, "skipped 2 files: 2 duplicate."));
    EXPECT_TRUE(Holds(again.out, "The library holds 2 tunes."));

    const CommandRun shortOnly =
        RunCli({"add", Short().parent_path().string(), "--quiet"}, home.path());
    EXPECT_EQ(shortOnly.status, 0) << shortOnly.err;
    EXPECT_TRUE(Holds(shortOnly.out, "Kept 0 tunes"));
    EXPECT_TRUE(Holds(shortOnly.out, "skipped 1 file: 1 shorter than 15 seconds."));
}

// A full library: what the add leaves out is counted, said on stderr and ends in status 1.
// Listing it into a closed pipe fails with status 1.
TEST_F(Cli, FullLibraryAndAClosedPipe) {
    testing::TempFolder home;
    auto library = std::make_unique<Library>();
    for (int slot = 1; slot <= kMaxTunes; ++slot) {
        (*library)[slot].Title.Set("T" + std::to_string(slot));
        (*library)[slot].Mood = 1;
    }
    library->TuneCount = library->CurrentTuneIndex = kMaxTunes;
    SaveTo(home.path(), *library);
    // One file left out is enough to fail.
    const CommandRun run = RunCli({"add", Short().parent_path().string()}, home.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Holds(run.out, "Kept 0 tunes"));
    EXPECT_TRUE(Holds(run.out, "; 1 file left out: the library is full."));
    EXPECT_EQ(run.err,
              "harmovia-cli: The maximum number of tunes has been reached and no more tunes can "
              "be added to your database.\n");
    // Megabytes of JSON into a pipe whose reader has gone: a failed write, not a kill by
    // SIGPIPE. The command's stderr and status come out on fd 3, the outer stdout.
    const std::string list = "env XDG_DATA_HOME=" + ShellQuoted(home.path().string()) + " " +
                             ShellQuoted(HARMOVIA_CLI) + " list --format json";
    const CommandRun piped =
        testing::RunCommand("{ { " + list + " 2>&3; echo \"status $?\" >&3; } | true; } 3>&1");
    EXPECT_TRUE(piped.out.starts_with("harmovia-cli: cannot write the output: ")) << piped.out;
    EXPECT_TRUE(piped.out.ends_with("\nstatus 1\n")) << piped.out;
    EXPECT_EQ(Lines(piped.out).size(), 2u) << piped.out;
}

// Random bytes for records, and a record cut short: listed, viewed, kept aside, never a crash.
TEST_F(Cli, DamagedLibrary) {
    testing::TempFolder home;
    std::mt19937 random(14);
    std::vector<uint8_t> bytes(4 * kTuneRecordSize + 1000);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random());
    }
    fs::create_directories(home / "Harmovia");
    testing::WriteBytes(LibraryFile(home.path()), bytes);
    auto library = std::make_unique<Library>();
    DecodeLibrary(bytes, *library);
    const std::string ignored =
        "harmovia-cli: the library file ends in 1000 bytes that are not a whole record; they "
        "were ignored (the next add keeps them in HarmoviaDatabase.damaged)\n";

    const CommandRun listed = RunCli({"list", "--format", "json"}, home.path());
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.err, ignored);
    const std::vector<std::string> lines = Lines(listed.out);
    ASSERT_EQ(lines.size(), 4u);
    for (int slot = 1; slot <= 4; ++slot) {
        const std::string& line = lines[static_cast<size_t>(slot - 1)];
        EXPECT_TRUE(IsOneJsonObject(line)) << line;
        EXPECT_EQ(line.find("\"Damaged\":true") != std::string::npos,
                  (*library)[slot].Mood < 0 || (*library)[slot].Mood > 9);
    }
    const std::vector<std::string> views[] = {{"list"},
                                              {"moods"},
                                              {"playlist", "--all"},
                                              {"playlist", "--mood", "1"},
                                              {"playlist", "--like", "1", "--format", "json"},
                                              {"playlist", "--genre", "2", "--format", "m3u"},
                                              {"playlist", "--search", "a"}};
    for (const std::vector<std::string>& args : views) {
        SCOPED_TRACE(::testing::PrintToString(args));
        const CommandRun run = RunCli(args, home.path());
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(run.err.starts_with(ignored)) << run.err;
    }

    testing::TempFolder emptyFolder;
    const CommandRun added = RunCli({"add", emptyFolder.path().string()}, home.path());
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(testing::ReadBytes(home / "Harmovia" / kDamagedTailFileName),
              std::vector<uint8_t>(bytes.end() - 1000, bytes.end()));
    EXPECT_EQ(testing::ReadBytes(LibraryFile(home.path())).size(), 4u * kTuneRecordSize);
}

// Files and folders this user may not read. Root reads everything, so there is nothing to
// test then.
TEST_F(Cli, PermissionDenied) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    testing::TempFolder home, music;
    fs::create_directories(music / "closed");
    fs::copy_file(Album() / "cafe.mp3", music / "locked.mp3");
    fs::permissions(music / "locked.mp3", fs::perms::none);
    fs::permissions(music / "closed", fs::perms::none);

    const CommandRun inspected = RunCli({"inspect", (music / "locked.mp3").string()}, home.path());
    EXPECT_EQ(inspected.status, 1);
    EXPECT_EQ(inspected.err, "harmovia-cli: cannot read " + (music / "locked.mp3").string() +
                                 ": permission denied\n");

    const CommandRun added = RunCli({"add", music.path().string()}, home.path());
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_TRUE(Holds(added.out, "skipped (permission denied): " + (music / "closed").string()));
    EXPECT_TRUE(
        Holds(added.out, "skipped (permission denied): " + (music / "locked.mp3").string()));
    EXPECT_TRUE(Holds(added.out, "skipped 2 files: 2 permission denied."));
    fs::permissions(music / "closed", fs::perms::owner_all);
}

TEST_F(Cli, SendWritesThePlaylistOrSaysWhyNot) {
    testing::TempFolder home;
    const fs::path playlists = home / "Music" / "Playlists";
    ASSERT_EQ(RunCli({"add", Album().string(), "--quiet"}, home.path()).status, 0);
    const auto entry = [](const char* title, const char* file) {
        return "#EXTINF:16,Aster - " + std::string(title) + "\n" + (Album() / file).string() + "\n";
    };

    // A dry run prints the scripts and the file, and writes nothing.
    const CommandRun dry = RunCli({"send", "--all", "--dry-run"}, home.path());
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.err, "");
    const std::string volume = StartupVolumeName().value_or(std::string(kDefaultStartupVolume));
    EXPECT_TRUE(
        dry.out.ends_with("-- script 3 of 3\ntell application \"iTunes\"\nactivate\nend "
                          "tell\n-- playlist file " +
                          (playlists / "All Tunes.m3u8").string() + "\n#EXTM3U\n" +
                          entry("Caf\xC3\xA9", "cafe.mp3") + entry("Second", "second.mp3")))
        << dry.out;
    size_t at = 0;
    for (const char* file : {"cafe.mp3", "second.mp3"}) {
        const std::string add =
            "\nset myTrack to (add \"" + HfsPath((Album() / file).string(), volume) + "\")\n";
        at = dry.out.find(add, at);
        EXPECT_NE(at, std::string::npos) << add;
    }
    EXPECT_TRUE(Holds(dry.out, "\nduplicate myTrack to playlist  \"All Tunes\"\n"));
    EXPECT_FALSE(fs::exists(playlists));

    const CommandRun sent =
        RunCli({"send", "--all", "--name", "Road \"Trip\"/1", "--count", "1"}, home.path());
    ASSERT_EQ(sent.status, 0) << sent.err;
    const fs::path file = playlists / "Road \"Trip\"_1.m3u8";
    EXPECT_EQ(sent.out, "Playlist \"Road \"Trip\"/1\" (1 tune) written to " + file.string() + "\n");
    const std::vector<uint8_t> bytes = testing::ReadBytes(file);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "#EXTM3U\n" + entry("Caf\xC3\xA9", "cafe.mp3"));

    const CommandRun nothing = RunCli({"send", "--search", "no such tune"}, home.path());
    EXPECT_EQ(nothing.status, 0) << nothing.err;
    EXPECT_EQ(nothing.out, "");

    // A file where the Playlists folder belongs.
    fs::remove_all(playlists);
    testing::WriteBytes(playlists, {'x'});
    const CommandRun blocked = RunCli({"send", "--all"}, home.path());
    EXPECT_EQ(blocked.status, 1);
    EXPECT_TRUE(
        blocked.err.starts_with("harmovia-cli send: Playlist Not Saved: The playlist file "))
        << blocked.err;
}

}  // namespace
}  // namespace harmovia
