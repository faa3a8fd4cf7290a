// harmovia-cli send run as the user runs it, over a library of ffmpeg-made tunes, with its
// own XDG_DATA_HOME and HOME (the music folder).

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "export/hfs_path.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

namespace harmovia {
namespace {

namespace fs = std::filesystem;

class CliSend : public ::testing::Test {
  protected:
    // Two tunes added to a library in a home of their own, once for the suite.
    static void SetUpTestSuite() {
        home_ = std::make_unique<testing::TempFolder>();
        fs::create_directories(*home_ / "tunes");
        for (const char* title : {"Caf\xC3\xA9", "Second"}) {
            testing::MakeTestAudio(
                Tune(title),
                {.seconds = 16, .kbps = 32, .tags = {{"title", title}, {"artist", "Aster"}}});
        }
        const testing::CommandRun added = Run({"add", (*home_ / "tunes").string(), "--quiet"});
        ASSERT_EQ(added.status, 0) << added.err;
    }
    static void TearDownTestSuite() { home_.reset(); }

    static fs::path Tune(const std::string& title) { return *home_ / "tunes" / (title + ".mp3"); }
    static fs::path Playlists() { return *home_ / "Music" / "Playlists"; }

    static testing::CommandRun Run(const std::vector<std::string>& args) {
        std::string line = "env -u XDG_CONFIG_HOME XDG_DATA_HOME=" +
                           testing::ShellQuoted((*home_ / "data").string()) +
                           " HOME=" + testing::ShellQuoted(home_->path().string()) + " " +
                           testing::ShellQuoted(HARMOVIA_CLI);
        for (const std::string& arg : args) {
            line += " " + testing::ShellQuoted(arg);
        }
        return testing::RunCommand(line);
    }

    static std::string Entry(const std::string& title) {
        return "#EXTINF:16,Aster - " + title + "\n" + Tune(title).string() + "\n";
    }

    static inline std::unique_ptr<testing::TempFolder> home_;
};

TEST_F(CliSend, DryRunPrintsScriptsAndFileAndWritesNothing) {
    const testing::CommandRun run = Run({"send", "--all", "--dry-run"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string volume = StartupVolumeName().value_or(std::string(kDefaultStartupVolume));
    const std::string expectedEnd =
        "-- script 3 of 3\n"
        "tell application \"iTunes\"\nactivate\nend tell\n"
        "-- playlist file " +
        (Playlists() / "All Tunes.m3u8").string() + "\n#EXTM3U\n" + Entry("Caf\xC3\xA9") +
        Entry("Second");
    EXPECT_TRUE(run.out.ends_with(expectedEnd)) << run.out;
    size_t at = 0;
    for (const char* title : {"Caf\xC3\xA9", "Second"}) {
        const std::string add =
            "\nset myTrack to (add \"" + HfsPath(Tune(title).string(), volume) + "\")\n";
        at = run.out.find(add, at);
        EXPECT_NE(at, std::string::npos) << add;
    }
    EXPECT_NE(run.out.find("\nduplicate myTrack to playlist  \"All Tunes\"\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(Playlists()));
}

TEST_F(CliSend, WritesThePlaylistOrSaysWhyNot) {
    const testing::CommandRun sent =
        Run({"send", "--all", "--name", "Road \"Trip\"/1", "--count", "1"});
    ASSERT_EQ(sent.status, 0) << sent.err;
    const fs::path file = Playlists() / "Road \"Trip\"_1.m3u8";
    EXPECT_EQ(sent.out, "Playlist \"Road \"Trip\"/1\" (1 tune) written to " + file.string() + "\n");
    const std::vector<uint8_t> bytes = testing::ReadBytes(file);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "#EXTM3U\n" + Entry("Caf\xC3\xA9"));

    const struct {
        std::vector<std::string> args;
        int status;
    } refused[] = {
        {{"send", "--all", "--count", "x"}, 2},    {{"send", "--all", "--name", ""}, 2},
        {{"send", "--all", "--bogus"}, 2},         {{"send", "--count", "1"}, 2},
        {{"send", "--search", "no such tune"}, 0},
    };
    for (const auto& c : refused) {
        const testing::CommandRun run = Run(c.args);
        EXPECT_EQ(run.status, c.status) << c.args.back() << run.err;
        EXPECT_EQ(run.out, "");
    }

    // A file where the Playlists folder belongs.
    fs::remove_all(Playlists());
    testing::WriteBytes(Playlists(), {'x'});
    const testing::CommandRun blocked = Run({"send", "--all"});
    EXPECT_EQ(blocked.status, 1);
    EXPECT_TRUE(
        blocked.err.starts_with("harmovia-cli send: Playlist Not Saved: The playlist file "))
        << blocked.err;
    fs::remove(Playlists());
}

}  // namespace
}  // namespace harmovia
