// Playlist files written by a send: entries inside the music folder relative to the
// playlist, the others absolute, and a real reader that finds every file from elsewhere.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "export/m3u_playlist.h"
#include "export/send_playlist.h"
#include "tests/browse/browse_test_tunes.h"
#include "tests/export/playlist_reader.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

namespace harmovia {
namespace {

namespace fs = std::filesystem;

TEST(PlaylistEntries, InsideTheMusicFolderRelativeToThePlaylistElsewhereAbsolute) {
    const fs::path playlists = "/home/me/Music/Playlists";
    const struct {
        const char* location;
        const char* music;
        const char* entry;
    } cases[] = {
        {"/home/me/Music/Artist/Album/x.mp3", "/home/me/Music", "../Artist/Album/x.mp3"},
        {"/home/me/Music/Artist/Album/x.mp3", "/home/me/Music/", "../Artist/Album/x.mp3"},
        {"/home/me/Music/Playlists/y.mp3", "/home/me/Music", "y.mp3"},
        {"/home/me/Music/./a/../x.mp3", "/home/me/Music", "../x.mp3"},
        {"/home/me/MusicBox/x.mp3", "/home/me/Music", "/home/me/MusicBox/x.mp3"},  // a sibling
        {"/home/me/Music/../x.mp3", "/home/me/Music", "/home/me/Music/../x.mp3"},
        {"/media/usb/x.mp3", "/home/me/Music", "/media/usb/x.mp3"},
        {"/home/me/Music", "/home/me/Music", "/home/me/Music"},  // the folder itself
        {"relative/x.mp3", "/home/me/Music", "relative/x.mp3"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaylistEntryPath(c.location, playlists, c.music), fs::path(c.entry))
            << c.location;
    }
}

TEST(PlaylistEntries, AReaderInAnotherWorkingFolderFindsEveryTune) {
    testing::TempFolder home;
    const fs::path music = home / "Music";
    const fs::path inside = music / "Artist" / "Album" / "x one.mp3";
    const fs::path outside = home / "Elsewhere" / "y.mp3";
    fs::create_directories(inside.parent_path());
    fs::create_directories(outside.parent_path());
    testing::MakeTestAudio(inside, {.seconds = 2.0});
    testing::MakeTestAudio(outside, {.frequency = 660.0, .seconds = 1.0});
    ViewState view;
    for (const fs::path& file : {inside, outside}) {
        TuneRecord tune = test::MakeTune({});
        tune.Location.Set(file.string());
        tune.Checked = 1;
        AppendRow(view.List, tune);
    }
    RecordingScriptRunner runner;
    DiskFileSystem disk;
    RecordingNotices notices;
    SendTargets targets{runner, disk, notices, "Boot", true, music / "Playlists", {}, music};
    const SendReport report = SendPlaylistToITunes(view, "Road Trip", 2, targets);
    ASSERT_TRUE(report.playlistFile.has_value());
    const std::vector<uint8_t> bytes = testing::ReadBytes(*report.playlistFile);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find("\n../Artist/Album/x one.mp3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n" + outside.string() + "\n"), std::string::npos) << text;

    const fs::path elsewhere = home / "cwd";
    fs::create_directories(elsewhere);
    const fs::path playlists = music / "Playlists";
    const testing::Played played = testing::PlayFrom(elsewhere, *report.playlistFile);
    EXPECT_EQ(played.tried,
              std::vector<std::string>(
                  {(playlists / "../Artist/Album/x one.mp3").string(), outside.string()}));
    EXPECT_EQ(played.opened, 2);

    // The check sees a tune that cannot be found.
    fs::remove(outside);
    EXPECT_EQ(testing::PlayFrom(elsewhere, *report.playlistFile).opened, 1);
}

}  // namespace
}  // namespace harmovia
