// The nine mood playlists: their names, their entries as a real player resolves them, their
// rewriting after a delete, and what a failed write leaves behind.

#include "export/mood_playlists.h"

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/browse/browse_test_tunes.h"
#include "tests/export/playlist_reader.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_audio.h"

namespace harmovia {
namespace {

namespace fs = std::filesystem;

std::string Text(const fs::path& file) {
    const std::vector<uint8_t> bytes = testing::ReadBytes(file);
    return {bytes.begin(), bytes.end()};
}

int32_t AddAt(Library& library, const fs::path& location, int mood, std::string_view title) {
    TuneRecord tune = test::MakeTune({.title = title, .mood = mood});
    tune.Location.Set(location.string());
    return test::AddTune(library, tune);
}

// Every write fails as on a full disk.
struct FullDisk final : DiskFileSystem {
    long WriteSome(int, const uint8_t*, size_t) override {
        errno = ENOSPC;
        return -1;
    }
};

TEST(MoodPlaylists, NineFilesNamedAfterTheMoodsWrittenEvenWhenEmpty) {
    const char* names[] = {
        "Harmovia \xE2\x80\x93 Deep Relaxation.m3u8",
        "Harmovia \xE2\x80\x93 Cool Blue Chill.m3u8",
        "Harmovia \xE2\x80\x93 Dinner & Drinks.m3u8",
        "Harmovia \xE2\x80\x93 Lite & Lively.m3u8",
        "Harmovia \xE2\x80\x93 Move & Groove.m3u8",
        "Harmovia \xE2\x80\x93 Uptempo Workout.m3u8",
        "Harmovia \xE2\x80\x93 Intense Activities.m3u8",
        "Harmovia \xE2\x80\x93 Dance, Dance, Dance.m3u8",
        "Harmovia \xE2\x80\x93 Maximum Wild.m3u8",
    };
    testing::TempFolder home;
    Library library;
    AddAt(library, "/elsewhere/a.mp3", 8, "A");
    AddAt(library, "/elsewhere/b.mp3", 2, "B");
    AddAt(library, "/elsewhere/c.mp3", 8, "C");
    AddAt(library, "/elsewhere/none.mp3", 0, "None");
    AddAt(library, "/elsewhere/damaged.mp3", 12, "Damaged");
    DiskFileSystem disk;
    const MoodPlaylistsReport report =
        ExportMoodPlaylists(library, home / "Playlists", home / "Music", disk);
    EXPECT_EQ(report.failed, 0);
    std::set<std::string> listed;
    for (const auto& entry : fs::directory_iterator(home / "Playlists")) {
        listed.insert(entry.path().filename().string());
    }
    EXPECT_EQ(listed, std::set<std::string>(std::begin(names), std::end(names)));

    // In library order; a mood without tunes is the header alone; no mood is no playlist.
    const auto entry = [](const char* title, const char* file) {
        return "#EXTINF:200,Artist - " + std::string(title) + "\n/elsewhere/" + file + "\n";
    };
    for (int mood = 1; mood <= kMoodCount; ++mood) {
        SCOPED_TRACE(mood);
        const MoodPlaylistFile& file = report.files[static_cast<size_t>(mood)];
        EXPECT_EQ(file.path, home / "Playlists" / names[mood - 1]);
        EXPECT_EQ(file.outcome, PlaylistFileOutcome::Written);
        const std::string expected = mood == 8
                                         ? "#EXTM3U\n" + entry("A", "a.mp3") + entry("C", "c.mp3")
                                     : mood == 2 ? "#EXTM3U\n" + entry("B", "b.mp3")
                                                 : "#EXTM3U\n";
        EXPECT_EQ(Text(file.path), expected);
        EXPECT_EQ(file.tunes, mood == 8 ? 2 : mood == 2 ? 1 : 0);
    }
}

TEST(MoodPlaylists, EntriesRelativeOnlyWhenTuneAndPlaylistsShareTheMusicFolder) {
    const struct {
        const char* what;
        const char* location;
        const char* playlists;
        const char* entry;
    } cases[] = {
        {"the music folder's Playlists", "/m/Music/A/x.mp3", "/m/Music/Playlists", "../A/x.mp3"},
        {"the music folder itself", "/m/Music/A/x.mp3", "/m/Music", "A/x.mp3"},
        {"a folder deeper in", "/m/Music/A/x.mp3", "/m/Music/B/Lists/", "../../A/x.mp3"},
        {"a tune outside", "/m/Other/x.mp3", "/m/Music/Playlists", "/m/Other/x.mp3"},
        {"playlists outside", "/m/Music/A/x.mp3", "/media/stick", "/m/Music/A/x.mp3"},
        {"playlists beside", "/m/Music/A/x.mp3", "/m/MusicLists", "/m/Music/A/x.mp3"},
        {"playlists above", "/m/Music/A/x.mp3", "/m/Music/..", "/m/Music/A/x.mp3"},
    };
    for (const auto& c : cases) {
        Library library;
        AddAt(library, c.location, 3, "T");
        const MoodPlaylistTexts texts = BuildMoodPlaylists(library, c.playlists, "/m/Music/");
        EXPECT_EQ(texts.text[3], "#EXTM3U\n#EXTINF:200,Artist - T\n" + std::string(c.entry) + "\n")
            << c.what;
    }
    Library library;
    AddAt(library, "/m/Music/A/x.mp3", 3, "T");
    EXPECT_EQ(BuildMoodPlaylists(library, "/m/Music/Playlists", std::nullopt).text[3],
              "#EXTM3U\n#EXTINF:200,Artist - T\n/m/Music/A/x.mp3\n")
        << "no music folder";
}

// Real files: a player started elsewhere finds every entry; a deleted tune leaves its
// playlist, and the other eight files are not touched.
TEST(MoodPlaylists, AReaderFindsEveryTuneAndADeleteRewritesItsPlaylist) {
    testing::TempFolder home;
    const fs::path music = home / "Music";
    const fs::path playlists = music / "Playlists";
    const fs::path one = music / "Band" / "Album" / "01 one.mp3";
    const fs::path two = music / "Band" / "Album" / "02 two.mp3";
    const fs::path outside = home / "Downloads" / "three.mp3";
    for (const fs::path& file : {one, two, outside}) {
        fs::create_directories(file.parent_path());
        testing::MakeTestAudio(file, {.seconds = 1.0});
    }
    Library library;
    AddAt(library, one, 4, "One");
    AddAt(library, outside, 4, "Three");
    AddAt(library, two, 4, "Two");
    AddAt(library, two, 9, "Two again");
    DiskFileSystem disk;
    Preferences preferences;
    SetKeepsMoodPlaylists(preferences, true);
    ASSERT_EQ(KeepMoodPlaylists(preferences, library, music, disk)->failed, 0);
    const fs::path lively = playlists / MoodPlaylistFileName(4);
    const fs::path wild = playlists / MoodPlaylistFileName(9);
    EXPECT_EQ(Text(lively),
              "#EXTM3U\n#EXTINF:200,Artist - One\n../Band/Album/01 one.mp3\n"
              "#EXTINF:200,Artist - Three\n" +
                  outside.string() + "\n#EXTINF:200,Artist - Two\n../Band/Album/02 two.mp3\n");

    const fs::path elsewhere = home / "cwd";
    fs::create_directories(elsewhere);
    const testing::Played played = testing::PlayFrom(elsewhere, lively);
    EXPECT_EQ(played.tried,
              std::vector<std::string>({(playlists / "../Band/Album/01 one.mp3").string(),
                                        outside.string(),
                                        (playlists / "../Band/Album/02 two.mp3").string()}));
    EXPECT_EQ(played.opened, 3);

    const fs::file_time_type wildWritten = fs::last_write_time(wild);
    RemoveTune(library, 2);
    RecountMoods(library);
    const MoodPlaylistsReport again = *KeepMoodPlaylists(preferences, library, music, disk);
    for (int mood = 1; mood <= kMoodCount; ++mood) {
        EXPECT_EQ(again.files[static_cast<size_t>(mood)].outcome,
                  mood == 4 ? PlaylistFileOutcome::Written : PlaylistFileOutcome::Unchanged)
            << mood;
    }
    EXPECT_EQ(fs::last_write_time(wild), wildWritten);
    EXPECT_EQ(testing::PlayFrom(elsewhere, lively).tried.size(), 2u);
    EXPECT_EQ(Text(lively).find("three.mp3"), std::string::npos);

    SetKeepsMoodPlaylists(preferences, false);
    EXPECT_FALSE(KeepMoodPlaylists(preferences, library, music, disk).has_value());
}

TEST(MoodPlaylists, AFailedWriteIsToldAndLeavesTheOlderFileWhole) {
    testing::TempFolder home;
    Library library;
    AddAt(library, "/elsewhere/a.mp3", 1, "A");
    DiskFileSystem disk;
    ASSERT_EQ(ExportMoodPlaylists(library, home / "Lists", std::nullopt, disk).failed, 0);
    const fs::path relax = home / "Lists" / MoodPlaylistFileName(1);
    const std::string before = Text(relax);

    AddAt(library, "/elsewhere/b.mp3", 1, "B");
    AddAt(library, "/elsewhere/c.mp3", 2, "C");
    FullDisk full;
    const MoodPlaylistsReport report = ExportMoodPlaylists(library, home / "Lists", {}, full);
    EXPECT_EQ(report.failed, 2);  // the seven others hold their bytes already
    EXPECT_EQ(Text(relax), before);
    EXPECT_EQ(MoodPlaylistsProblem(report),
              "The mood playlist \"" + relax.string() +
                  "\" could not be written (the disk is full), nor 1 other; what was there "
                  "before is left as it was.");
    EXPECT_EQ(std::distance(fs::directory_iterator(home / "Lists"), fs::directory_iterator()), 9)
        << "no temporary file is left behind";

    // A file where the folder belongs; no music folder at all.
    testing::WriteBytes(home / "Blocked", {'x'});
    EXPECT_EQ(ExportMoodPlaylists(library, home / "Blocked" / "Lists", {}, disk).failed, 9);
    Preferences keep;
    SetKeepsMoodPlaylists(keep, true);
    EXPECT_EQ(MoodPlaylistsProblem(*KeepMoodPlaylists(keep, library, std::nullopt, disk)),
              "There is no music folder to keep the mood playlists in.");
    EXPECT_EQ(MoodPlaylistsProblem(ExportMoodPlaylists(library, home / "Lists", {}, disk)), "");
}

}  // namespace
}  // namespace harmovia
