#include "export/send_playlist.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "export/apple_script.h"
#include "export/m3u_playlist.h"
#include "tests/browse/browse_test_tunes.h"
#include "tests/support/temp_folder.h"

namespace harmovia {
namespace {

namespace fs = std::filesystem;

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

// Answers every script as osascript would, failing the one for t3.mp3, and meanwhile changes the
// shown list as a user could: a send goes by the rows as they were when it started.
struct Sender final : ScriptRunner {
    ScriptRunResult Run(std::string_view script) override {
        scripts.emplace_back(script);
        for (int32_t row = 1; row <= view->List.ViewCount; ++row) {
            view->List[row].Checked = 0;
            view->List[row].Location.Set("/elsewhere.mp3");
        }
        // Left in the buffer, as a script error's message is.
        return {script.find("t3.mp3") == std::string_view::npos ? 0 : kScriptErrorCode, "7"};
    }
    // Writes a playlist file into `folder` when `files` is given.
    SendReport Send(ViewState& shown, std::string_view name, int32_t n, FileSystem* files = nullptr,
                    std::optional<fs::path> folder = {}) {
        view = &shown;
        const auto report = [this](int32_t value, int32_t maximum) {
            progress.emplace_back(value, maximum);
        };
        SendTargets targets{*this,  files ? *files : disk, notices,
                            "Boot", files != nullptr,      std::move(folder),
                            report, std::nullopt};
        return SendPlaylistToITunes(shown, name, n, targets);
    }

    ViewState* view = nullptr;
    std::vector<std::string> scripts;
    DiskFileSystem disk;
    RecordingNotices notices;
    std::vector<std::pair<int32_t, int32_t>> progress;
};

// Views of no named mode are proposed their tune count.
TEST(SendPlaylist, ProposedNameAtTheEdgesOfTheNamedModes) {
    const struct {
        uint16_t mode;
        int16_t mood;
        const char* name;
    } cases[] = {
        {kModeAllTunes - 1, 0, " 7"},
        {kModeAllTunes, 0, "All Tunes"},
        {kModeLastMood, 9, "M9 - Maximum Wild Tunes"},
        {kModeMoodByGenre, 9, "M9 - Maximum Wild - All Tunes"},
        {kModeMoodByGenre, 0, " 7"},
        {kModeMoodByGenre, 10, " 7"},
        {kModeMoodJourney, 9, "Mood Journey: Deep Relaxation to Maximum Wild"},
        {kModeMoodJourney, 10, " 7"},
        {kModeMoodJourney + 1, 0, " 7"},
    };
    for (const auto& c : cases) {
        ViewState view = ViewOf(std::vector<int>(7, 1));
        // A journey from mood 1 to the case's mood.
        const JourneyRequest journey{.FromMood = 1, .ToMood = c.mood};
        view.Label = ViewLabel{c.mode, c.mood, 1, PStr("Seed"), PStr("lake"), journey, 0};
        EXPECT_EQ(ProposedPlaylistName(view), c.name) << c.mode << " " << c.mood;
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
        {someChecked, 9, {1, 3, 4}, 5},
        {someChecked, 0, {}, 0},
        {someChecked, -4, {}, 0},
        {{0, 0, 2}, 3, {}, 3},  // only 1 means checked
        {{}, 3, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.checked.size() << " rows, n " << c.n);
        Sender sender;
        ViewState view = ViewOf(c.checked);
        const SendReport report = sender.Send(view, "Say \"Mix\"", c.n);
        EXPECT_EQ(std::tuple(report.sentRows, report.rowsConsidered, report.scriptsFailed),
                  std::tuple(c.sent, c.considered, std::ranges::count(c.sent, 3)));
        std::vector<std::pair<int32_t, int32_t>> progress;
        std::vector<std::string> scripts;
        for (int32_t value = 0; !c.checked.empty() && value <= c.considered; ++value) {
            progress.emplace_back(value, c.considered);
        }
        for (const int32_t row : c.sent) {
            ScriptBuffer script;
            WriteTrackScript(script, "\"Say \\\"Mix\\\"\"",
                             "\"Boot:Music:t" + std::to_string(row) + ".mp3\"");
            scripts.push_back(script.Text);
        }
        if (!c.checked.empty()) {
            scripts.emplace_back("tell application \"iTunes\"\ractivate\rend tell\r");
        }
        EXPECT_EQ(sender.progress, progress);
        EXPECT_EQ(sender.scripts, scripts);
    }
}

TEST(SendPlaylist, PlaylistFileNames) {
    const struct {
        std::string name, fallback, file;
    } cases[] = {
        {"Mood Mix", "All Tunes", "Mood Mix.m3u8"},
        {"AC/DC//Live", "All Tunes", "AC_DC__Live.m3u8"},
        {std::string("a\0b", 3), "All Tunes", "a_b.m3u8"},
        {" \tChill  ", "All Tunes", "Chill.m3u8"},
        {"caf\x8E", "All Tunes", "caf\xC3\xA9.m3u8"},  // Mac Roman; two bytes in UTF-8
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

// A disk that is full for the playlist's temporary file.
class FullDisk final : public DiskFileSystem {
  protected:
    long WriteSome(int, const uint8_t*, size_t) override {
        errno = ENOSPC;
        return -1;
    }
};

TEST(SendPlaylist, PlaylistFileReplacesTheOlderOneWholeOrTellsWhyNot) {
    const std::string written =
        "#EXTM3U\n"
        "#EXTINF:200,Artist - Caf\xC3\xA9\n/Music/caf\xC3\xA9.mp3\n"
        "#EXTINF:-1,Artist - Two Lines\n/Music/two?.m4a\n";
    const std::string older = "#EXTM3U\n";
    enum class Fault { None, DiskFull, FileInTheWay, NoMusicFolder };
    const struct {
        Fault fault;
        const char* reason;
    } cases[] = {
        {Fault::None, ""},
        {Fault::DiskFull, "could not be written (the disk is full)."},
        {Fault::FileInTheWay, "could not be written"},
        {Fault::NoMusicFolder, "There is no music folder to keep the playlist in."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.fault));
        ViewState view = ViewOf({1, 0, 1, 1});  // the fourth is beyond the three sent
        view.List[1].Title.Set("Caf\x8E");
        view.List[1].Location.Set("/Music/caf\xC3\xA9.mp3");
        view.List[3].Title.Set("Two\nLines");
        view.List[3].DurationSeconds = -5;
        view.List[3].Location.Set("/Music/two\n.m4a");
        testing::TempFolder music;
        fs::path folder = music / "Playlists";
        const fs::path file = folder / "Mood_Mix.m3u8";
        fs::create_directories(folder);
        testing::WriteBytes(file, {older.begin(), older.end()});
        if (c.fault == Fault::FileInTheWay) {
            testing::WriteBytes(music / "Mood_Mix.m3u8", {'x'});
            folder = music / "Mood_Mix.m3u8" / "Playlists";  // under a file
        }
        Sender sender;
        FullDisk fullDisk;
        const SendReport report =
            sender.Send(view, "Mood/Mix", 3, c.fault == Fault::DiskFull ? &fullDisk : &sender.disk,
                        c.fault == Fault::NoMusicFolder ? std::nullopt : std::optional(folder));

        EXPECT_EQ(sender.scripts.size(), 3u);  // the tunes and the final script ran
        const std::vector<uint8_t> bytes = testing::ReadBytes(file);
        const bool saved = c.fault == Fault::None;
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), saved ? written : older);
        EXPECT_EQ(std::distance(fs::directory_iterator(music / "Playlists"), {}), 1);
        EXPECT_EQ(
            std::tuple(report.playlistFile, report.playlistNotSaved, sender.notices.alerts.size()),
            std::tuple(saved ? std::optional(file) : std::nullopt, !saved, saved ? 0u : 1u));
        for (const Alert& alert : sender.notices.alerts) {
            EXPECT_EQ(std::tie(alert.title, alert.button, alert.icon),
                      std::tuple("Playlist Not Saved", "Okay", AlertIcon::Caution));
            EXPECT_NE(alert.message.find(c.reason), std::string::npos) << alert.message;
        }
    }
}

}  // namespace
}  // namespace harmovia
