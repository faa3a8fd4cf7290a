#include "cli/playlist_command.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/browse/browse_test_tunes.h"

namespace harmovia {
namespace {

using test::AddTune;
using test::MakeTune;

struct CommandRun {
    int status;
    std::string out;
    std::string err;
};

// What one stream received, collected in memory.
struct Sink {
    char* data = nullptr;
    size_t size = 0;
    std::FILE* file = ::open_memstream(&data, &size);
    std::string Take() {
        std::fclose(file);
        std::string text(data, size);
        std::free(data);
        return text;
    }
};

CommandRun RunPlaylist(const std::vector<std::string>& args, const Library& library) {
    Sink out, err;
    RandomSource random(1);
    const int status = RunPlaylistCommand(args, library, random, out.file, err.file);
    return {status, out.Take(), err.Take()};
}

class PlaylistCommandTest : public ::testing::Test {
  protected:
    PlaylistCommandTest() {
        TuneRecord first = MakeTune({.title = "Caf\x8E", .artist = "Band", .mood = 2});
        first.Location.Set("/music/caf\xC3\xA9.mp3");  // a native path, already UTF-8
        AddTune(library, first);
        TuneRecord second = MakeTune({.title = "Two", .artist = "Band", .category = "Jazz"});
        second.DurationSeconds = 61;
        second.Location.Set("/music/two.m4a");
        AddTune(library, second);
    }
    Library library;
};

TEST_F(PlaylistCommandTest, Formats) {
    CommandRun run = RunPlaylist({"--all"}, library);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.substr(0, run.out.find('\n')),
              "Row\tSlot\tMood\tMoodName\tTitle\tArtist\tAlbum\tGenre\tTime\tLocation");
    EXPECT_NE(run.out.find("\n1\t1\t2\tCool Blue Chill\tCaf\xC3\xA9\tBand\t"), std::string::npos);
    EXPECT_NE(run.out.find("\n2\t2\t5\t"), std::string::npos);

    run = RunPlaylist({"--all", "--format", "m3u"}, library);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "#EXTM3U\n"
              "#EXTINF:200,Band - Caf\xC3\xA9\n/music/caf\xC3\xA9.mp3\n"
              "#EXTINF:61,Band - Two\n/music/two.m4a\n");

    run = RunPlaylist({"--format", "json", "--mood", "5"}, library);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("{\"Slot\":2,", 0), 0u);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1);

    run = RunPlaylist({"--like", "1", "--format", "tsv"}, library);  // moods 2 and 5: only 1
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2);

    run = RunPlaylist({"--artist", "2"}, library);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 3);
    run = RunPlaylist({"--mood", "5", "--genre", "jazz"}, library);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\tTwo\t"), std::string::npos);
    run = RunPlaylist({"--search", "CAF\xC3\x89"}, library);  // upper-case E-acute in UTF-8
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("\n1\t1\t"), std::string::npos);
}

TEST_F(PlaylistCommandTest, ExitStatuses) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* message;  // the first line on err starts with it
    } cases[] = {
        {{}, 2, "harmovia-cli playlist: choose a view"},
        {{"--all", "--last-added"}, 2, "harmovia-cli playlist: choose exactly one view"},
        {{"--mood", "10"}, 2, "harmovia-cli playlist: the mood must be"},
        {{"--mood", "5", "--genre", "Polka"}, 2, "harmovia-cli playlist: unknown genre"},
        {{"--like", "x"}, 2, "harmovia-cli playlist: the slot must be"},
        {{"--all", "--format", "xml"}, 2, "harmovia-cli playlist: unknown format"},
        {{"--search"}, 2, "harmovia-cli playlist: --search needs a value"},
        {{"--search", ""}, 2, "harmovia-cli playlist: the search text is empty"},
        {{"--all", "--shuffle"}, 2, "harmovia-cli playlist: unknown argument"},
        {{"--like", "3"}, 1, "harmovia-cli playlist: no tune in slot 3"},
        {{"--mood", "9"}, 1, "harmovia-cli playlist: No purple tunes..."},
        {{"--mood", "2", "--genre", "Jazz"}, 1, "harmovia-cli playlist: No tunes found..."},
        {{"--search", "zzz"}, 1, "harmovia-cli playlist: No match found."},
    };
    for (const auto& c : cases) {
        const CommandRun run = RunPlaylist(c.args, library);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.err.rfind(c.message, 0), 0u) << run.err;
        EXPECT_EQ(run.err.find("usage:") != std::string::npos, c.status == 2) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(RunPlaylist({"--all"}, Library{}).status, 1);
}

}  // namespace
}  // namespace harmovia
