#include "cli/playlist_command.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "cli/record_tsv.h"
#include "tests/browse/browse_test_tunes.h"
#include "tests/support/run_command.h"

namespace harmovia {
namespace {

using test::AddTune;
using test::MakeTune;
using testing::CommandRun;

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

CommandRun RunPlaylist(const std::vector<std::string>& args, const Library& library,
                       uint32_t randomSeed = 1) {
    Sink out, err;
    RandomSource random(randomSeed);
    const int status = RunPlaylistCommand(args, library, random, out.file, err.file);
    return {status, out.Take(), err.Take()};
}

class PlaylistCommandTest : public ::testing::Test {
  protected:
    PlaylistCommandTest() {
        AddTune(library, MakeTune({.title = "Caf\x8E", .artist = "Band", .mood = 2}));
        AddTune(library, MakeTune({.title = "Two", .artist = "Band", .category = "Jazz"}));
    }
    Library library;
};

TEST_F(PlaylistCommandTest, FormatsAndViews) {
    const std::tuple<std::vector<std::string>, long, const char*> cases[] = {
        {{"--all"}, 3, "Row\tSlot\tMood\tMoodName\tTitle\tArtist\tAlbum\tGenre\tTime\tLocation\n"},
        {{"--all"}, 3, "\n1\t1\t2\tCool Blue Chill\tCaf\xC3\xA9\tBand\t"},
        {{"--format", "json", "--mood", "5"}, 1, "{\"Slot\":2,"},
        {{"--like", "1", "--format", "tsv"}, 2, "\n1\t1\t"},  // moods 2 and 5: only 1
        {{"--artist", "2"}, 3, "\n2\t"},
        {{"--mood", "5", "--category", "jazz"}, 2, "\tTwo\t"},
        {{"--search", "CAF\xC3\x89"}, 2, "\n1\t1\t"},  // upper-case E-acute in UTF-8
    };
    for (const auto& [args, lines, found] : cases) {
        const CommandRun run = RunPlaylist(args, library);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), lines) << found;
        EXPECT_NE(run.out.find(found), std::string::npos) << run.out;
    }
}

// A refused view says why with status 1 or 2; a view with no tunes is an empty list, not a
// failure, and names its mood.
TEST_F(PlaylistCommandTest, ExitStatusesAndEmptyViews) {
    const Library empty;
    const struct {
        std::vector<std::string> args;
        int status;
        std::string says;      // on err
        bool ofEmpty = false;  // asked of an empty library
    } cases[] = {
        {{}, 2, "choose a view"},
        {{"--all", "--last-added"}, 2, "choose exactly one view"},
        {{"--mood", "10"}, 2, "the mood must be a number from 1 to 9"},
        {{"--mood", "5", "--category", "Polka"},
         2,
         "unknown genre category \"Polka\" (harmovia-cli help lists them)"},
        {{"--genre", "1", "--category", "Jazz"},
         2,
         "--genre SLOT is a view of its own; the genre category of a mood view is --category NAME"},
        {{"--all", "--category", "Jazz"}, 2, "--category NAME goes with --mood K"},
        {{"--all", "--seed", "-1"}, 2, "--seed takes one whole number from 0 to 4294967295"},
        {{"--like", "x"}, 2, "the slot must be a whole number"},
        {{"--all", "--format", "xml"}, 2, "unknown format \"xml\""},
        {{"--search"}, 2, "--search needs a value"},
        {{"--search", ""}, 2, "the search text is empty"},
        {{"--all", "--shuffle"}, 2, "unknown argument \"--shuffle\""},
        {{"--like", "3"}, 1, "no tune in slot 3 (the library holds 2)"},
        {{"--mood", "9"}, 0, "no Maximum Wild tunes"},
        {{"--mood", "2", "--category", "Jazz"}, 0, "no Cool Blue Chill tunes in Jazz"},
        {{"--search", "zzz"}, 0, "no tunes match \"zzz\""},
        {{"--all"}, 0, "the library holds no tunes", true},
        {{"--mood", "5"}, 0, "no Move & Groove tunes (the library holds no tunes)", true},
        {{"--last-added"}, 0, "the last add kept no tunes (the library holds no tunes)", true},
    };
    for (const auto& c : cases) {
        const CommandRun run = RunPlaylist(c.args, c.ofEmpty ? empty : library);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.err, "harmovia-cli playlist: " +
                               std::string(c.status == 0 ? "empty view: " : "") + c.says + "\n");
        EXPECT_EQ(run.out, c.status == 0 ? "Row\t" + TuneRecordTsvHeader() + "\n" : "");
    }
    EXPECT_EQ(RunPlaylist({"--all", "--format", "json"}, empty).out, "");
    EXPECT_EQ(RunPlaylist({"--all", "--format", "m3u"}, empty).out, "#EXTM3U\n");
}

// The shuffled views repeat their order under one seed, whatever the program's generator.
TEST_F(PlaylistCommandTest, Seed) {
    for (int i = 0; i < 30; ++i) {
        AddTune(library, MakeTune({.title = "T" + std::to_string(i), .mood = 5}));
    }
    const std::vector<std::string> seven = {"--mood", "5", "--seed", "7"};
    EXPECT_EQ(RunPlaylist(seven, library, 1).out, RunPlaylist(seven, library, 2).out);
    EXPECT_NE(RunPlaylist(seven, library).out,
              RunPlaylist({"--mood", "5", "--seed", "8"}, library).out);
}

}  // namespace
}  // namespace harmovia
