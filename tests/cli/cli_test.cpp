// harmovia-cli run as the user runs it: a child process with its own XDG_DATA_HOME, judged
// by its exit status, its output and the library file it leaves behind.

#include <fstream>
#include <future>
#include <iterator>
#include <memory>
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

namespace harmovia {
namespace {

namespace fs = std::filesystem;
using testing::TestAudio;

using CliRun = testing::CommandRun;

// Runs harmovia-cli with `args`, XDG_DATA_HOME = dataHome in its environment only.
CliRun RunCli(const std::vector<std::string>& args, const fs::path& dataHome) {
    std::string line = "env XDG_DATA_HOME=" + testing::ShellQuoted(dataHome.string()) + " " +
                       testing::ShellQuoted(HARMOVIA_CLI);
    for (const std::string& arg : args) {
        line += " " + testing::ShellQuoted(arg);
    }
    return testing::RunCommand(line);
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
    const struct {
        const char* what;
        std::vector<std::string> args;
        bool lockHeld;
        int status;
    } cases[] = {
        {"no command", {}, false, 2},
        {"unknown command", {"frobnicate"}, false, 2},
        {"add without a folder", {"add"}, false, 2},
        {"add of a missing folder", {"add", "/missing-harmovia-folder"}, false, 1},
        {"inspect of a missing file", {"inspect", "/missing-harmovia-file.mp3"}, false, 1},
        {"list in an unknown format", {"list", "--format", "bogus"}, false, 2},
        {"add while another program writes", {"add", emptyFolder.path().string()}, true, 1},
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
        const CliRun run = RunCli(c.args, dataHome.path());
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out, "");
        if (c.status == 1) {
            EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
            EXPECT_TRUE(run.err.ends_with("\n")) << run.err;
        } else {
            EXPECT_NE(run.err.find("usage: harmovia-cli"), std::string::npos) << run.err;
        }
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
    } inspected[] = {
        {Album() / "cafe.mp3", "0", "null"},
        {Short(), "37", "\"measurement\""},  // under 15 seconds
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
    }
    EXPECT_TRUE(testing::ReadBytes(LibraryFile(dataHome.path())) == library)
        << "inspect changed the library file";

    const CliRun again = RunCli({"add", Album().string(), "--workers", "0"}, dataHome.path());
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_NE(again.out.find("Kept 0 tunes"), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("skipped 2 files: 2 duplicate."), std::string::npos) << again.out;
    EXPECT_NE(again.out.find("The library holds 2 tunes."), std::string::npos) << again.out;
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
