#include "browse/search.h"

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "tests/browse/browse_test_tunes.h"

namespace harmovia {
namespace {

using test::AddTune;
using test::MakeTune;

TEST(Search, TextContainsIgnoresCaseThroughMacRoman) {
    const struct {
        std::string_view field;
        std::string_view text;
        bool found;
    } cases[] = {
        {"The Beatles", "beat", true},
        {"The Beatles", "THE", true},  // at the very start
        {"The Beatles", "les", true},  // at the very end
        {"The Beatles", "beatles!", false},
        {"Caf\x8E Noir", "CAF\x83", true},  // e-acute matches E-acute
        {"\x83TOILE", "\x8Etoile", true},
        {"Cafe", "caf\x8E", false},  // an accent is not its base letter
        {"abc", "", true},
        {"", "a", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextContains(c.field, c.text), c.found) << c.field << " / " << c.text;
    }
}

class RunSearchTest : public ::testing::Test {
  protected:
    RunSearchTest() {
        AddTune(library, MakeTune({.title = "One", .artist = "Monolake"}));
        AddTune(library, MakeTune({.title = "Two", .artist = "Lakeside"}));
        AddTune(library, MakeTune({.title = "Three", .album = "By The Lake"}));
        TuneRecord hidden = MakeTune({.title = "Four", .genre = "Ambient"});
        hidden.Location.Set("/music/Lake/four.mp3");
        hidden.GenreCategory.Set("Lake Music");
        AddTune(library, hidden);
        AddTune(library, MakeTune({.title = "Five", .genre = "Lake Pop"}));
        view.ViewMode = kModeAllTunes;
    }
    std::vector<int32_t> Found() const {
        std::vector<int32_t> slots;
        for (int32_t row = 1; row <= view.List.ViewCount; ++row) {
            slots.push_back(view.List[row].RecordIndex);
        }
        std::sort(slots.begin(), slots.end());
        return slots;
    }
    Library library;
    ViewState view;
    FixedClock clock{"08:00:00"};
    RandomSource random{11};
    RecordingNotices notices;
};

TEST_F(RunSearchTest, MatchesTheFourFieldsOnly) {
    for (const char* text : {"lake", "LAKE"}) {
        view.SelectedRow = 2;
        EXPECT_EQ(RunSearch(view, library, text, clock, random, notices), SearchOutcome::Shown);
        EXPECT_EQ(Found(), (std::vector<int32_t>{1, 2, 3, 5})) << text;
        EXPECT_EQ(view.SelectedRow, 0);
        EXPECT_EQ(view.ViewMode, kModeSearchResults);
        EXPECT_EQ(view.Label.SearchText, text);
    }
    EXPECT_EQ(notices.beeps, 0);
}

TEST_F(RunSearchTest, EmptyAndUnmatchedTextsKeepTheView) {
    view.SelectedRow = 2;
    EXPECT_EQ(RunSearch(view, library, "", clock, random, notices), SearchOutcome::EmptyText);
    EXPECT_EQ(notices.beeps, 1);
    EXPECT_TRUE(notices.overlays.empty());

    // Only in Location, only in GenreCategory: not found.
    for (const char* text : {".mp3", "lake music"}) {
        EXPECT_EQ(RunSearch(view, library, text, clock, random, notices), SearchOutcome::NoMatch);
    }
    EXPECT_EQ(notices.beeps, 3);
    ASSERT_EQ(notices.overlays.size(), 2u);
    EXPECT_EQ(notices.overlays[1].text, "No match found.");
    EXPECT_EQ(notices.waitedMilliseconds, 4000);
    EXPECT_EQ(notices.overlaysClosed, 2);
    EXPECT_EQ(view.ViewStamp, 0u);  // nothing was built
    EXPECT_EQ(view.SelectedRow, 2);
    EXPECT_EQ(view.SearchText, "lake music");

    Library empty;
    EXPECT_EQ(RunSearch(view, empty, "x", clock, random, notices), SearchOutcome::NoMatch);
}

}  // namespace
}  // namespace harmovia
