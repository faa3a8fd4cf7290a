#include "export/send_playlist.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "export/m3u_playlist.h"
#include "tests/browse/browse_test_tunes.h"
#include "tests/support/temp_folder.h"

#include <unistd.h>

namespace harmovia {
namespace {

namespace fs = std::filesystem;

constexpr const char* kActivateScript = "tell application \"iTunes\"\ractivate\rend tell\r";

// A view of tunes /Music/t1.mp3, /Music/t2.mp3, ..., checked as `checked` says.
ViewState ViewOf(const std::vector<int>& checked) {
    ViewState view;
    for (size_t i = 0; i < checked.size(); ++i) {
        TuneRecord tune = test::MakeTune({});
        tune.Location.Set("/Music/t" + std::to_string(i + 1) + ".mp3");
        tune.Checked = static_cast<uint16_t>(checked[i]);
        AppendRow(view.List, tune);
    }
    return view;
}

struct Sender {
    RecordingScriptRunner runner;
    DiskFileSystem disk;
    RecordingNotices notices;
    std::vector<std::pair<int32_t, int32_t>> progress;

    SendTargets Targets(FileSystem& files, std::optional<fs::path> playlistFolder = {}) {
        return {runner,
                files,
                notices,
                "Boot",
                playlistFolder.has_value(),
                std::move(playlistFolder),
                [this](int32_t value, int32_t maximum) { progress.emplace_back(value, maximum); }};
    }
};

TEST(SendPlaylist, ProposedNameOfEveryMode) {
    const char* moods[] = {"M1 - Deep Relaxation Tunes",    "M2 - Cool Blue Chill Tunes",
                           "M3 - Dinner & Drinks Tunes",    "M4 - Lite & Lively Tunes",
                           "M5 - Move & Groove Tunes",      "M6 - Uptempo Workout Tunes",
                           "M7 - Intense Activities Tunes", "M8 - Dance, Dance, Dance Tunes",
                           "M9 - Maximum Wild Tunes"};
    struct Case {
        uint16_t mode;
        int16_t mood;
        int16_t genreItem;
        std::string name;
    };
    std::vector<Case> cases = {
        {0, 0, 1, " 7"},
        {2, 0, 1, " 7"},
        {kModeAllTunes, 0, 1, "All Tunes"},
        {kModeLastAdded, 0, 1, "Last Added Tunes"},
        {kModeSmartPlays, 0, 1, "Smart-Plays"},
        {kModeTuneBased, 0, 1, "Tunes Based On: Seed"},
        {kModeMoreFromArtist, 0, 1, "Artist: Seed"},
        {kModeSearchResults, 0, 1, "Search Results: lake"},
        {kModeMoreFromGenre, 0, 1, "Genre: Seed"},
        {kModeMoreFromAlbum, 0, 1, "Album: Seed"},
        {kModeMoodByGenre, 9, 1, "M9 - Maximum Wild - All Tunes"},
        {kModeMoodByGenre, 3, 24, "M3 - Dinner & Drinks - Rock"},
        {kModeMoodByGenre, 0, 1, " 7"},
        {21, 0, 1, " 7"},
    };
    for (int mood = 1; mood <= 9; ++mood) {
        cases.push_back({MoodViewMode(mood), static_cast<int16_t>(mood), 5, moods[mood - 1]});
    }
    for (const Case& c : cases) {
        ViewState view = ViewOf(std::vector<int>(7, 1));
        view.ViewMode = c.mode;
        view.Label = ViewLabel{c.mode, c.mood, c.genreItem, PStr("Seed"), PStr("lake")};
        EXPECT_EQ(ProposedPlaylistName(view), c.name) << c.mode;
    }
}

TEST(SendPlaylist, ChecksAmongTheFirstNRowsEachRowAdvancing) {
    const std::vector<int> someChecked = {1, 0, 1, 1, 0};
    const struct {
        std::vector<int> checked;
        int32_t n;
        std::vector<int32_t> sent;
        int32_t considered;
    } cases[] = {
        {someChecked, 5, {1, 3, 4}, 5},
        {someChecked, 3, {1, 3}, 3},
        {someChecked, 2, {1}, 2},
        {someChecked, 9, {1, 3, 4}, 5},
        {someChecked, 0, {}, 0},
        {someChecked, -4, {}, 0},
        {{0, 0, 2}, 3, {}, 3},  // only 1 means checked
        {{}, 3, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.checked.size() << " rows, n " << c.n);
        Sender sender;
        SendTargets targets = sender.Targets(sender.disk);
        const SendReport report =
            SendPlaylistToITunes(ViewOf(c.checked), "Say \"Mix\"", c.n, targets);
        EXPECT_EQ(report.sentRows, c.sent);
        EXPECT_EQ(report.rowsConsidered, c.considered);

        std::vector<std::pair<int32_t, int32_t>> progress;
        for (int32_t value = 0; !c.checked.empty() && value <= c.considered; ++value) {
            progress.emplace_back(value, c.considered);
        }
        EXPECT_EQ(sender.progress, progress);

        const std::vector<std::string>& scripts = sender.runner.scripts;
        if (c.checked.empty()) {
            EXPECT_TRUE(scripts.empty());
            continue;
        }
        ASSERT_EQ(scripts.size(), c.sent.size() + 1);
        for (size_t i = 0; i < c.sent.size(); ++i) {
            const std::string add =
                "\rset myTrack to (add \"Boot:Music:t" + std::to_string(c.sent[i]) + ".mp3\")\r";
            EXPECT_NE(scripts[i].find(add), std::string::npos) << scripts[i];
            EXPECT_NE(scripts[i].find("\rduplicate myTrack to playlist  \"Say \\\"Mix\\\"\"\r"),
                      std::string::npos)
                << scripts[i];
        }
        EXPECT_EQ(scripts.back(), kActivateScript);
    }
}

// Changes the shown list while the first script runs, as a user could.
class MeddlingRunner final : public ScriptRunner {
  public:
    explicit MeddlingRunner(ViewState& view) : view_(view) {}
    ScriptRunResult Run(std::string_view script) override {
        scripts.emplace_back(script);
        for (int32_t row = 1; row <= view_.List.ViewCount; ++row) {
            view_.List[row].Checked = 0;
            view_.List[row].Location.Set("/elsewhere.mp3");
        }
        return {};
    }
    std::vector<std::string> scripts;

  private:
    ViewState& view_;
};

TEST(SendPlaylist, SendsTheRowsAsTheyWereWhenItStarted) {
    ViewState view = ViewOf({1, 1});
    MeddlingRunner runner(view);
    DiskFileSystem files;
    RecordingNotices notices;
    SendTargets targets{runner, files, notices, "Boot", false, std::nullopt, {}};
    EXPECT_EQ(SendPlaylistToITunes(view, "Mix", 2, targets).sentRows, (std::vector<int32_t>{1, 2}));
    ASSERT_EQ(runner.scripts.size(), 3u);
    EXPECT_NE(runner.scripts[1].find("(add \"Boot:Music:t2.mp3\")"), std::string::npos);
}

TEST(SendPlaylist, PlaylistFileNames) {
    const std::string cafe = "caf\x8E";  // Mac Roman; two bytes in UTF-8
    const struct {
        std::string name;
        std::string fallback;
        std::string file;
    } cases[] = {
        {"Mood Mix", "All Tunes", "Mood Mix.m3u8"},
        {"AC/DC//Live", "All Tunes", "AC_DC__Live.m3u8"},
        {std::string("a\0b", 3), "All Tunes", "a_b.m3u8"},
        {" \tChill  ", "All Tunes", "Chill.m3u8"},
        {cafe, "All Tunes", "caf\xC3\xA9.m3u8"},
        {"", "All Tunes", "All Tunes.m3u8"},
        {"   ", "All Tunes", "All Tunes.m3u8"},
        {".", "All Tunes", "All Tunes.m3u8"},
        {"..", " 7", "7.m3u8"},
        {"...", "All Tunes", "....m3u8"},
        {"", "", "Playlist.m3u8"},
        {std::string(300, 'a'), "All Tunes", std::string(243, 'a') + ".m3u8"},
        {std::string(242, 'a') + "\x8E", "All Tunes", std::string(242, 'a') + ".m3u8"},
        {std::string(241, 'a') + "\x8E", "All Tunes", std::string(241, 'a') + "\xC3\xA9.m3u8"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaylistFileName(c.name, c.fallback), c.file) << c.name;
    }
}

TEST(SendPlaylist, WritesTheSentTunesAsAnM3uFileReplacingAnOlderOne) {
    testing::TempFolder music;
    const fs::path playlists = music / "Playlists";
    ViewState view;
    const auto tune = [](const char* title, const char* artist, int32_t seconds,
                         const char* location, uint16_t checked) {
        TuneRecord r = test::MakeTune({.title = title, .artist = artist});
        r.DurationSeconds = seconds;
        r.Location.Set(location);
        r.Checked = checked;
        return r;
    };
    AppendRow(view.List, tune("Caf\x8E", "Band", 200, "/Music/caf\xC3\xA9.mp3", 1));
    AppendRow(view.List, tune("Skipped", "Band", 100, "/Music/skipped.mp3", 0));
    AppendRow(view.List, tune("Two\nLines", "Duo", -5, "/Music/two\n.m4a", 1));
    AppendRow(view.List, tune("Beyond", "Band", 100, "/Music/beyond.mp3", 1));
    const std::string expected =
        "#EXTM3U\n"
        "#EXTINF:200,Band - Caf\xC3\xA9\n/Music/caf\xC3\xA9.mp3\n"
        "#EXTINF:-1,Duo - Two Lines\n/Music/two?.m4a\n";

    fs::create_directories(playlists);
    testing::WriteBytes(playlists / "Mood_Mix.m3u8", {'o', 'l', 'd'});
    const std::string longName(300, 'L');
    for (const std::string& name : {std::string("Mood/Mix"), longName}) {
        Sender sender;
        SendTargets targets = sender.Targets(sender.disk, playlists);
        const SendReport report = SendPlaylistToITunes(view, name, 3, targets);
        const fs::path file = playlists / PlaylistFileName(name, "");
        EXPECT_EQ(report.playlistFile, file);
        EXPECT_FALSE(report.playlistNotSaved);
        EXPECT_TRUE(sender.notices.alerts.empty());
        const std::vector<uint8_t> bytes = testing::ReadBytes(file);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), expected);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(playlists), fs::directory_iterator()), 2);
}

// A disk that is full for the playlist's temporary file.
class FullDisk final : public DiskFileSystem {
  protected:
    long WriteSome(int, const uint8_t*, size_t) override {
        errno = ENOSPC;
        return -1;
    }
};

TEST(SendPlaylist, UnsavedPlaylistTellsOnceAndKeepsTheOlderFile) {
    const std::vector<uint8_t> older = {'#', 'E', 'X', 'T', 'M', '3', 'U', '\n'};
    enum class Fault { DiskFull, FileInTheWay, NoMusicFolder };
    const struct {
        Fault fault;
        const char* reason;
    } cases[] = {
        {Fault::DiskFull, "could not be written (the disk is full)."},
        {Fault::FileInTheWay, "could not be written"},
        {Fault::NoMusicFolder, "There is no music folder to keep the playlist in."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fault));
        testing::TempFolder music;
        fs::path playlists = music / "Playlists";
        fs::create_directories(playlists);
        testing::WriteBytes(playlists / "Mix.m3u8", older);
        if (c.fault == Fault::FileInTheWay) {
            playlists = music / "Mix.m3u8" / "Playlists";  // under a file
            testing::WriteBytes(music / "Mix.m3u8", older);
        }
        Sender sender;
        FullDisk fullDisk;
        FileSystem& files = c.fault == Fault::DiskFull ? static_cast<FileSystem&>(fullDisk)
                                                       : static_cast<FileSystem&>(sender.disk);
        SendTargets targets = sender.Targets(files, playlists);
        if (c.fault == Fault::NoMusicFolder) {
            targets.playlistFolder.reset();
        }
        const SendReport report = SendPlaylistToITunes(ViewOf({1, 1}), "Mix", 2, targets);

        EXPECT_TRUE(report.playlistNotSaved);
        EXPECT_EQ(report.playlistFile, std::nullopt);
        ASSERT_EQ(sender.notices.alerts.size(), 1u);
        const Alert& alert = sender.notices.alerts[0];
        EXPECT_EQ(alert.title, "Playlist Not Saved");
        EXPECT_EQ(alert.button, "Okay");
        EXPECT_EQ(alert.icon, AlertIcon::Caution);
        EXPECT_NE(alert.message.find(c.reason), std::string::npos) << alert.message;
        EXPECT_EQ(sender.runner.scripts.size(), 3u);  // the tunes and the final script ran
        EXPECT_EQ(sender.runner.scripts.back(), kActivateScript);
        EXPECT_EQ(testing::ReadBytes(music / "Playlists" / "Mix.m3u8"), older);
        EXPECT_EQ(
            std::distance(fs::directory_iterator(music / "Playlists"), fs::directory_iterator()),
            1);
    }
}

}  // namespace
}  // namespace harmovia
