// harmovia-cli run as the user runs it: a child process with its own XDG_DATA_HOME, judged
// by its exit status, its output and the library file it leaves behind.

#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

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
using testing::TestAudio;

using CliRun = testing::CommandRun;

// Runs harmovia-cli with `args`, XDG_DATA_HOME = dataHome in its environment only; a
// `redirect` (" > /dev/full") is added to the shell line.
CliRun RunCli(const std::vector<std::string>& args, const fs::path& dataHome,
              const std::string& redirect = "") {
    // HOME too, so that no music folder of the machine's user is found.
    std::string line = "env XDG_DATA_HOME=" + testing::ShellQuoted(dataHome.string()) +
                       " HOME=" + testing::ShellQuoted(dataHome.string()) + " " +
                       testing::ShellQuoted(HARMOVIA_CLI);
    for (const std::string& arg : args) {
        line += " " + testing::ShellQuoted(arg);
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

// Whether `text` is one JSON object: braces and brackets balance outside strings, strings
// hold no raw control character, and nothing follows the closing brace.
bool IsOneJsonObject(const std::string& text) {
    if (text.empty() || text.front() != '{') {
        return false;
    }
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (static_cast<unsigned char>(c) < 0x20) {
                return false;
            }
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            if (--depth == 0) {
                return i + 1 == text.size();
            }
        }
    }
    return false;
}

std::string Field(const std::string& name, const std::string& jsonValue) {
    return "\"" + name + "\":" + jsonValue;
}

class Cli : public ::testing::Test {
  protected:
    static void TearDownTestSuite() { tunes_.reset(); }

    // The tunes, encoded on first use: ctest runs every test in a process of its own.
    static const fs::path& Tunes() {
        if (tunes_) {
            return tunes_->path();
        }
        tunes_ = std::make_unique<testing::TempFolder>();
        fs::create_directories(*tunes_ / "album");
        fs::create_directories(*tunes_ / "elsewhere");
        const auto tune = [](const std::string& title, double seconds) {
            TestAudio audio;
            audio.seconds = seconds;
            audio.kbps = 32;
            audio.tags = {{"title", title}, {"artist", "Aster"}, {"album", "Plain Songs"}};
            return audio;
        };
        const std::pair<fs::path, TestAudio> made[] = {
            {*tunes_ / "album/cafe.mp3", tune("Café", 16)},
            {*tunes_ / "album/second.mp3", tune("Second", 16)},
            {*tunes_ / "elsewhere/short.mp3", tune("Short", 14)},
        };
        std::vector<std::future<void>> encodings;
        for (const auto& [file, audio] : made) {
            encodings.push_back(
                std::async(std::launch::async, [&file, &audio] { MakeTestAudio(file, audio); }));
        }
        for (std::future<void>& encoding : encodings) {
            encoding.get();
        }
        return tunes_->path();
    }
    static fs::path Album() { return Tunes() / "album"; }
    static fs::path Short() { return Tunes() / "elsewhere/short.mp3"; }
    static fs::path LibraryFile(const fs::path& dataHome) {
        return dataHome / "Harmovia" / kLibraryFileName;
    }

    static inline std::unique_ptr<testing::TempFolder> tunes_;
};

TEST_F(Cli, ExitStatusAndTheLibraryLeftAlone) {
    testing::TempFolder emptyFolder;  // an add of it would still change the library
    const std::string full = " > /dev/full";
    const std::string hint =
        "harmovia-cli: \"harmovia-cli help\" shows the commands and their options";
    const struct {
        const char* what;
        std::vector<std::string> args;
        std::string redirect;
        bool lockHeld;
        int status;
        std::string firstLine;  // of err
    } cases[] = {
        {"no command", {}, "", false, 2, "usage: harmovia-cli COMMAND [OPTIONS]"},
        {"unknown command",
         {"frobnicate"},
         "",
         false,
         2,
         "harmovia-cli: unknown command 'frobnicate'"},
        {"add without a folder",
         {"add"},
         "",
         false,
         2,
         "harmovia-cli add: give a FOLDER to add, or --music-folder"},
        {"add with too many workers",
         {"add", "/tmp", "--workers", "999"},
         "",
         false,
         2,
         "harmovia-cli add: --workers takes 0..256; 0 measures on the main thread"},
        {"add of a missing folder",
         {"add", "/missing-harmovia-folder"},
         "",
         false,
         1,
         "harmovia-cli: /missing-harmovia-folder is not a folder"},
        {"inspect of a missing file",
         {"inspect", "/missing-harmovia-file.mp3"},
         "",
         false,
         1,
         "harmovia-cli: /missing-harmovia-file.mp3 is not a file that can be read"},
        {"list in an unknown format",
         {"list", "--format", "bogus"},
         "",
         false,
         2,
         "harmovia-cli list: unexpected '--format'"},
        {"moods with an option",
         {"moods", "--all"},
         "",
         false,
         2,
         "harmovia-cli moods: takes no options"},
        {"playlist with a mood's genre",
         {"playlist", "--mood", "4", "--genre", "Jazz"},
         "",
         false,
         2,
         "harmovia-cli playlist: --genre SLOT is a view of its own; the genre category of a mood "
         "view is --category NAME"},
        {"add of a missing music folder",
         {"add", "--music-folder"},
         "",
         false,
         1,
         "harmovia-cli: No music was found in the music folder (~/Music/iTunes/iTunes "
         "Media/Music, else ~/Music); name a folder instead: harmovia-cli add FOLDER"},
        {"add while another program writes", {"add", emptyFolder.path().string()}, "", true, 1, ""},
        {"list to a full disk",
         {"list"},
         full,
         false,
         1,
         "harmovia-cli: cannot write the output: No space left on device"},
        {"moods to a full disk",
         {"moods"},
         full,
         false,
         1,
         "harmovia-cli: cannot write the output: No space left on device"},
        {"playlist to a full disk",
         {"playlist", "--all", "--format", "m3u"},
         full,
         false,
         1,
         "harmovia-cli playlist: cannot write the output"},
        {"help to a full disk",
         {"help"},
         full,
         false,
         1,
         "harmovia-cli: cannot write the output: No space left on device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // A library of one tune, which none of these commands may change.
        testing::TempFolder dataHome;
        const fs::path libraryFolder = dataHome / "Harmovia";
        auto library = std::make_unique<Library>();
        (*library)[1].Title.Set("Kept Before");
        (*library)[1].Mood = 4;
        (*library)[1].LastAddedFlag = 1;  // any add clears it
        library->TuneCount = library->CurrentTuneIndex = 1;
        DiskFileSystem files;
        fs::create_directories(libraryFolder);
        ASSERT_EQ(SaveLibrary(*library, files, libraryFolder), kNoErr);
        const std::vector<uint8_t> before = testing::ReadBytes(LibraryFile(dataHome.path()));

        std::unique_ptr<LibraryLock> lock;
        if (c.lockHeld) {
            lock = LibraryLock::TryAcquire(libraryFolder);
            ASSERT_TRUE(lock);
        }
        const CliRun run = RunCli(c.args, dataHome.path(), c.redirect);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, "");
        const std::vector<std::string> lines = Lines(run.err);
        ASSERT_FALSE(lines.empty());
        if (!c.firstLine.empty()) {
            EXPECT_EQ(lines[0], c.firstLine);
        }
        if (c.status == 1) {
            EXPECT_EQ(lines.size(), 1u) << run.err;
        } else if (!c.args.empty()) {
            EXPECT_EQ(lines, (std::vector<std::string>{c.firstLine, hint}));
        }
        EXPECT_TRUE(run.err.ends_with("\n")) << run.err;
        EXPECT_TRUE(testing::ReadBytes(LibraryFile(dataHome.path())) == before)
            << "the library file changed";
    }
}

TEST_F(Cli, AddListInspectAndAddAgain) {
    testing::TempFolder dataHome;
    const CliRun added = RunCli({"add", Album().string(), "--workers", "2"}, dataHome.path());
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_NE(added.out.find("Kept 2 tunes"), std::string::npos) << added.out;
    EXPECT_EQ(added.err, "");

    const CliRun listed = RunCli({"list", "--format", "json"}, dataHome.path());
    ASSERT_EQ(listed.status, 0) << listed.err;
    const std::vector<std::string> lines = Lines(listed.out);
    ASSERT_EQ(lines.size(), 2u) << listed.out;
    const char* titles[] = {"Café", "Second"};  // UTF-8, as the tag held it
    const char* names[] = {"cafe.mp3", "second.mp3"};
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        EXPECT_TRUE(IsOneJsonObject(lines[i]));
        EXPECT_NE(lines[i].find(Field("Slot", std::to_string(i + 1))), std::string::npos);
        EXPECT_NE(lines[i].find(Field("Title", "\"" + std::string(titles[i]) + "\"")),
                  std::string::npos);
        EXPECT_NE(lines[i].find(Field("Location", "\"" + (Album() / names[i]).string() + "\"")),
                  std::string::npos);
    }

    // Inspecting leaves the library file alone.
    const std::vector<uint8_t> library = testing::ReadBytes(LibraryFile(dataHome.path()));
    const struct {
        fs::path file;
        std::string resultCode;
        std::string refusedBy;
        std::string outcome;
    } inspected[] = {
        {Album() / "cafe.mp3", "7", "\"tags\"", "\"duplicate\""},  // as `add` would find it
        {Short(), "37", "\"measurement\"", "\"shorter than 15 seconds\""},
    };
    for (const auto& c : inspected) {
        SCOPED_TRACE(c.file);
        const CliRun run = RunCli({"inspect", c.file.string()}, dataHome.path());
        EXPECT_EQ(run.status, 0) << run.err;
        const std::vector<std::string> json = Lines(run.out);
        ASSERT_EQ(json.size(), 1u) << run.out;
        EXPECT_TRUE(IsOneJsonObject(json[0])) << json[0];
        EXPECT_NE(json[0].find(Field("ResultCode", c.resultCode)), std::string::npos) << json[0];
        EXPECT_NE(json[0].find(Field("RefusedBy", c.refusedBy)), std::string::npos) << json[0];
        EXPECT_NE(json[0].find(Field("Outcome", c.outcome)), std::string::npos) << json[0];
    }
    EXPECT_TRUE(testing::ReadBytes(LibraryFile(dataHome.path())) == library)
        << "inspect changed the library file";

    const CliRun again = RunCli({"add", Album().string(), "--workers", "0"}, dataHome.path());
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("Kept 0 tunes"), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("skipped 2 files: 2 duplicate."), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("The library holds 2 tunes."), std::string::npos) << again.out;

    const CliRun shortOnly =
        RunCli({"add", Short().parent_path().string(), "--quiet"}, dataHome.path());
    EXPECT_EQ(shortOnly.status, 0) << shortOnly.err;
    EXPECT_NE(shortOnly.out.find("Kept 0 tunes"), std::string::npos) << shortOnly.out;
    EXPECT_NE(shortOnly.out.find("skipped 1 file: 1 shorter than 15 seconds."), std::string::npos)
        << shortOnly.out;
}

// A full library: what the add leaves out is counted, said on stderr and ends in status 1.
// Listing it into a closed pipe fails with status 1.
TEST_F(Cli, FullLibraryAndAClosedPipe) {
    testing::TempFolder dataHome;
    auto library = std::make_unique<Library>();
    for (int slot = 1; slot <= kMaxTunes; ++slot) {
        (*library)[slot].Title.Set("T" + std::to_string(slot));
        (*library)[slot].Mood = 1;
    }
    library->TuneCount = library->CurrentTuneIndex = kMaxTunes;
    DiskFileSystem files;
    ASSERT_EQ(SaveLibrary(*library, files, dataHome / "Harmovia"), kNoErr);
    // One file left out is enough to fail.
    const CliRun run = RunCli({"add", Short().parent_path().string()}, dataHome.path());
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.out.find("Kept 0 tunes"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("; 1 file left out: the library is full."), std::string::npos)
        << run.out;
    EXPECT_EQ(run.err,
              "harmovia-cli: The maximum number of tunes has been reached and no more tunes can "
              "be added to your database.\n");
    // Megabytes of JSON into a pipe whose reader has gone: a failed write, not a kill by
    // SIGPIPE. The command's stderr and status come out on fd 3, the outer stdout.
    const std::string list = "env XDG_DATA_HOME=" + testing::ShellQuoted(dataHome.path().string()) +
                             " " + testing::ShellQuoted(HARMOVIA_CLI) + " list --format json";
    const CliRun piped =
        testing::RunCommand("{ { " + list + " 2>&3; echo \"status $?\" >&3; } | true; } 3>&1");
    EXPECT_TRUE(piped.out.starts_with("harmovia-cli: cannot write the output: ")) << piped.out;
    EXPECT_TRUE(piped.out.ends_with("\nstatus 1\n")) << piped.out;
    EXPECT_EQ(Lines(piped.out).size(), 2u) << piped.out;
}

// Random bytes for records, and a record cut short: listed, viewed, kept aside, never a crash.
TEST_F(Cli, DamagedLibrary) {
    testing::TempFolder dataHome;
    std::mt19937 random(14);
    std::vector<uint8_t> bytes(4 * kTuneRecordSize + 1000);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random());
    }
    fs::create_directories(dataHome / "Harmovia");
    testing::WriteBytes(LibraryFile(dataHome.path()), bytes);
    auto library = std::make_unique<Library>();
    DecodeLibrary(bytes, *library);
    const std::string ignored =
        "harmovia-cli: the library file ends in 1000 bytes that are not a whole record; they "
        "were ignored (the next add keeps them in HarmoviaDatabase.damaged)\n";

    const CliRun listed = RunCli({"list", "--format", "json"}, dataHome.path());
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
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"list"},
                                               {"moods"},
                                               {"playlist", "--all"},
                                               {"playlist", "--mood", "1"},
                                               {"playlist", "--like", "1", "--format", "json"},
                                               {"playlist", "--genre", "2", "--format", "m3u"},
                                               {"playlist", "--search", "a"}}) {
        SCOPED_TRACE(args[0] + " " + (args.size() > 1 ? args[1] : ""));
        const CliRun run = RunCli(args, dataHome.path());
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err.rfind(ignored, 0), 0u) << run.err;
    }

    testing::TempFolder emptyFolder;
    const CliRun added = RunCli({"add", emptyFolder.path().string()}, dataHome.path());
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(testing::ReadBytes(dataHome / "Harmovia" / kDamagedTailFileName),
              std::vector<uint8_t>(bytes.end() - 1000, bytes.end()));
    EXPECT_EQ(testing::ReadBytes(LibraryFile(dataHome.path())).size(), 4u * kTuneRecordSize);
}

// Files and folders this user may not read. Root reads everything, so there is nothing to
// test then.
TEST_F(Cli, PermissionDenied) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    testing::TempFolder dataHome, music;
    fs::create_directories(music / "closed");
    fs::copy_file(Album() / "cafe.mp3", music / "locked.mp3");
    fs::permissions(music / "locked.mp3", fs::perms::none);
    fs::permissions(music / "closed", fs::perms::none);

    const CliRun inspected = RunCli({"inspect", (music / "locked.mp3").string()}, dataHome.path());
    EXPECT_EQ(inspected.status, 1);
    EXPECT_EQ(inspected.err, "harmovia-cli: cannot read " + (music / "locked.mp3").string() +
                                 ": permission denied\n");

    const CliRun added = RunCli({"add", music.path().string()}, dataHome.path());
    EXPECT_EQ(added.status, 0) << added.err;
    EXPECT_NE(added.out.find("skipped (permission denied): " + (music / "closed").string()),
              std::string::npos)
        << added.out;
    EXPECT_NE(added.out.find("skipped (permission denied): " + (music / "locked.mp3").string()),
              std::string::npos)
        << added.out;
    EXPECT_NE(added.out.find("skipped 2 files: 2 permission denied."), std::string::npos)
        << added.out;
    fs::permissions(music / "closed", fs::perms::owner_all);
}

TEST_F(Cli, PlayRefusesWhatItCannotPlay) {
    // Three tunes whose files are gone: two checked of mood 4, one unchecked of mood 5.
    testing::TempFolder dataHome;
    const fs::path libraryFolder = dataHome / "Harmovia";
    auto library = std::make_unique<Library>();
    for (int32_t slot = 1; slot <= 3; ++slot) {
        TuneRecord& r = (*library)[slot];
        r.Title.Set("Gone " + std::to_string(slot));
        r.Location.Set((dataHome / ("gone" + std::to_string(slot) + ".mp3")).string());
        r.Mood = slot < 3 ? 4 : 5;
        r.Checked = slot < 3 ? 1 : 0;
        r.RecordIndex = slot;
    }
    library->TuneCount = library->CurrentTuneIndex = 3;
    DiskFileSystem files;
    fs::create_directories(libraryFolder);
    ASSERT_EQ(SaveLibrary(*library, files, libraryFolder), kNoErr);
    const std::vector<uint8_t> before = testing::ReadBytes(LibraryFile(dataHome.path()));

    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;
    } cases[] = {
        {{"play"}, 2, "choose a view"},
        {{"play", "--all", "--volume", "731"}, 2, "--volume needs"},
        {{"play", "--all", "--volume", "loud"}, 2, "--volume needs"},
        {{"play", "--all", "--shuffle"}, 2, "unknown argument"},
        {{"play", "--mood", "3"}, 1, "harmovia-cli play: "},
        {{"play", "--mood", "4", "--volume", "0"}, 1, "Missing Tunes Alert-"},
        {{"play", "--mood", "5"}, 1, "no tune of the view could be played"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.back());
        const CliRun run = RunCli(c.args, dataHome.path());
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        if (c.status == 1) {
            EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
        }
    }
    EXPECT_TRUE(testing::ReadBytes(LibraryFile(dataHome.path())) == before)
        << "play changed the library file";
}

}  // namespace
}  // namespace harmovia
