// The play loop driven tick by tick over stand-in movies: which tunes play in which
// order, when a run ends, what the menus, button and display show, and the way out when
// too many files are missing.

#include "player/play_loop.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "browse/display_area.h"
#include "player/player_requests.h"
#include "player/tune_volume.h"
#include "tests/player/fake_player.h"

namespace harmovia {
namespace {

using test::PlayerHarness;

TEST(TuneVolume, LevelsByPeakPower) {
    const struct {
        int volume;
        int peak;
        int16_t expected;
    } cases[] = {
        {256, 80, 409},     // x 1.6
        {256, 81, 365},     // 256 + 65536 / 596.97
        {256, 200, 300},    // 256 + 65536 / 1474
        {256, 899, 265},    // 256 + 65536 / 6625.63
        {256, 900, 102},    // x 0.4
        {256, -40, 409},    // a damaged figure: quiet
        {730, 81, 1622},    // the loudest the slider reaches
        {30000, 500, 874},  // a damaged preferences file: held to 730
        {-5, 80, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.volume) + " at " + std::to_string(c.peak));
        EXPECT_EQ(LevelledVolume(c.volume, c.peak), c.expected);
    }
}

enum class Act { Next, Back, Stop, BrowseAway, DeleteFile, ToggleCheck };
struct Step {
    int tick;
    Act act;
    int tune = 0;
};

TEST(PlayLoop, WhichTunesPlay) {
    // Every tune lasts three ticks; tick 0 takes the play request.
    const struct {
        const char* what;
        int tunes;
        int selectedRow;
        std::vector<int> unchecked;
        uint16_t loopTune, loopPlaylist;
        bool sortedUpsideDown;
        std::vector<Step> steps;
        int ticks;
        std::vector<int32_t> started;
        bool endsIdle;
    } cases[] = {
        {"no selection starts at 1; list order plays once",
         3,
         0,
         {},
         0,
         0,
         false,
         {{1, Act::BrowseAway}},
         20,
         {1, 2, 3},
         true},
        {"the view on screen plays to its end too", 3, 0, {}, 0, 0, false, {}, 20, {1, 2, 3}, true},
        {"unchecked tunes are passed over", 5, 1, {1, 2, 3}, 0, 0, false, {}, 20, {4, 5}, true},
        {"Next while looping a tune replays it",
         3,
         1,
         {},
         1,
         0,
         false,
         {{1, Act::Next}},
         1,
         {1, 1},
         false},
        {"looping a tune replays it when it ends", 3, 2, {}, 1, 0, false, {}, 6, {2, 2, 2}, false},
        {"looping the list starts again at 1",
         2,
         1,
         {},
         0,
         1,
         false,
         {},
         12,
         {1, 2, 1, 2, 1},
         false},
        {"looping the list after browsing away",
         2,
         2,
         {},
         0,
         1,
         false,
         {{1, Act::BrowseAway}},
         9,
         {2, 1, 2, 1},
         false},
        {"Stop ends a looping list", 2, 1, {}, 0, 1, false, {{1, Act::Stop}}, 20, {1}, true},
        {"looping a list with nothing checked ends", 2, 1, {1, 2}, 0, 1, false, {}, 5, {}, true},
        {"Back in list order goes one up, and replays the first",
         3,
         1,
         {},
         0,
         0,
         false,
         {{1, Act::BrowseAway}, {3, Act::Back}, {4, Act::Back}},
         20,
         {1, 2, 1, 1, 2, 3},
         true},
        {"Back passes over an unchecked tune",
         3,
         1,
         {2},
         0,
         0,
         false,
         {{3, Act::Back}},
         20,
         {1, 3, 1, 3},
         true},
        {"Back turns round above unchecked tunes",
         3,
         3,
         {1, 2},
         0,
         0,
         false,
         {{1, Act::Back}},
         20,
         {3, 3},
         true},
        {"view order follows the sorted rows to the bottom row",
         3,
         3,
         {},
         0,
         0,
         true,
         {},
         20,
         {3, 2, 1},
         true},
        {"view order: the bottom row ends the run", 3, 1, {}, 0, 0, true, {}, 20, {1}, true},
        {"view order: looping the list starts again at the top row",
         3,
         2,
         {},
         0,
         1,
         true,
         {},
         9,
         {2, 1, 3, 2},
         false},
        {"view order: Back moves one row up",
         3,
         2,
         {},
         0,
         0,
         true,
         {{1, Act::Back}},
         20,
         {2, 3, 2, 1},
         true},
        {"a file deleted while queued is passed over",
         3,
         1,
         {},
         0,
         0,
         false,
         {{1, Act::DeleteFile, 2}},
         20,
         {1, 3},
         true},
        {"a tune unchecked while queued is passed over",
         3,
         1,
         {},
         0,
         0,
         false,
         {{1, Act::ToggleCheck, 2}},
         20,
         {1, 3},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlayerHarness h(c.tunes);
        for (const int row : c.unchecked) {
            h.view->List[row].Checked = 0;
        }
        h.seams.reversed = c.sortedUpsideDown;
        h.player->LoopTune = c.loopTune;
        h.player->LoopPlaylist = c.loopPlaylist;
        h.view->SelectedRow = c.selectedRow;
        RequestPlay(h.ctx);
        for (int tick = 0; tick <= c.ticks; ++tick) {
            for (const Step& step : c.steps) {
                if (step.tick != tick) {
                    continue;
                }
                switch (step.act) {
                    case Act::Next:
                        RequestNext(h.ctx);
                        break;
                    case Act::Back:
                        RequestBack(h.ctx);
                        break;
                    case Act::Stop:
                        RequestStop(h.ctx);
                        break;
                    case Act::BrowseAway:
                        h.view->ViewStamp = 2;
                        break;
                    case Act::DeleteFile:
                        h.movies.missing.insert(test::TunePath(step.tune));
                        break;
                    case Act::ToggleCheck:
                        RequestCheckToggle(h.ctx, step.tune);
                        break;
                }
            }
            h.Tick();
            ASSERT_LE(h.movies.open, 1) << "tick " << tick;
        }
        EXPECT_EQ(h.seams.started, c.started);
        EXPECT_EQ(h.player->Phase == PlayPhase::Idle, c.endsIdle);
        EXPECT_EQ(h.player->IsPlaying == 0, c.endsIdle);
        if (c.endsIdle) {
            EXPECT_EQ(h.movies.open, 0);
        }
        EXPECT_TRUE(h.notices.alerts.empty());
    }
}

TEST(PlayLoop, MenusButtonAndDisplayFollowPlayback) {
    PlayerHarness h(3);
    const auto states = [&h](int16_t menu, std::vector<int16_t> items) {
        std::vector<int> result;
        for (const int16_t item : items) {
            result.push_back(h.menus.items[{menu, item}].state);
        }
        return result;
    };
    const std::vector<int16_t> playerItems = {3, 4, 6, 7, 8, 10, 12};
    h.view->SelectedRow = 2;
    RequestPlay(h.ctx);
    h.Tick();
    EXPECT_EQ((h.menus.items[{kPlayerMenu, kPlayItem}].text), "Stop Playing");
    EXPECT_EQ(states(kPlayerMenu, playerItems), std::vector<int>(7, kItemEnabled));
    EXPECT_EQ(h.seams.button, 2);
    EXPECT_EQ(h.seams.selected, std::vector<int32_t>{2});  // the playing list is on screen
    EXPECT_EQ(h.view->SelectedMood, h.view->List[2].Mood);
    EXPECT_EQ(h.seams.display.Line2.view(), "Tune 2");
    EXPECT_EQ(h.player->NowPlayingTitle.view(), "12:00:00");

    RequestStop(h.ctx);  // takes effect at the next tick
    h.Tick();
    EXPECT_EQ(h.player->Phase, PlayPhase::Idle);
    EXPECT_EQ(h.movies.open, 0);
    EXPECT_EQ(h.player->LastPlayedPosition, 2);
    EXPECT_EQ(h.player->NowPlayingIndex, 0);
    EXPECT_TRUE(h.player->NowPlayingTitle.empty());
    EXPECT_EQ((h.menus.items[{kPlayerMenu, kPlayItem}].text), "Play");
    EXPECT_EQ(states(kPlayerMenu, playerItems), std::vector<int>(7, kItemDisabled));
    EXPECT_EQ(states(kFileMenu, {1, 2, 6}), std::vector<int>(3, kItemEnabled));
    EXPECT_EQ(h.seams.button, 1);
    EXPECT_EQ(h.seams.display.Line2.view(), BrowsingDisplayLines(h.view->Label).Line2.view());
    EXPECT_GE(h.seams.refreshed, 1);

    // A list played to its last tune is remembered as position 1.
    h.view->SelectedRow = 3;
    RequestPlay(h.ctx);
    h.Tick(5);
    EXPECT_EQ(h.player->LastPlayedPosition, 1);

    // The loop modes exclude each other; the Loop item keeps its mark when playing starts.
    ToggleLoopPlaylist(h.ctx);
    ToggleLoopTune(h.ctx);
    EXPECT_EQ(states(kLoopMenu, {1, 2}), (std::vector<int>{kItemChecked, kItemEnabled}));
    EXPECT_EQ(h.player->LoopPlaylist, 0);
    PlayCommand(h.ctx);
    EXPECT_EQ(h.seams.started.back(), 1);
    EXPECT_EQ(states(kPlayerMenu, {kLoopItem}), std::vector<int>{kItemChecked});
}

TEST(PlayLoop, VolumeAndMuteApplyToThePlayingTune) {
    PlayerHarness h(2);
    h.view->List[2].PeakPowerMean = 1000;
    h.preferences.Volume = 256;
    PlayCommand(h.ctx);
    EXPECT_EQ(h.movies.volumes.back(), 285);              // 256 + 65536 / 2211
    VolumeChanged(h.ctx, kVolumeIndicatorPart + 1, 100);  // not the indicator
    EXPECT_EQ(h.preferences.Volume, 256);
    VolumeChanged(h.ctx, kVolumeIndicatorPart, 500);
    EXPECT_EQ(h.movies.volumes.back(), 613);
    ToggleMute(h.ctx);
    EXPECT_EQ(h.movies.volumes.back(), 0);
    EXPECT_EQ((h.menus.items[{kPlayerMenu, kMuteItem}].state), kItemChecked);
    h.Tick(3);  // the next tune starts muted
    EXPECT_EQ(h.seams.started, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(h.movies.volumes.back(), 0);
    ToggleMute(h.ctx);
    EXPECT_EQ(h.movies.volumes.back(), 200);  // 500 x 0.4
}

TEST(PlayLoop, CheckToggleReachesTheCopiesOfTheTune) {
    PlayerHarness h(3);
    h.view->List[2].Checked = 7;  // anything but 1 becomes 1
    PlayCommand(h.ctx);
    RequestCheckToggle(h.ctx, 2);
    h.Tick();
    EXPECT_EQ(h.view->List[2].Checked, 1);
    EXPECT_EQ(h.player->NowPlayingList[2].Checked, 1);
    EXPECT_EQ((*h.library)[2].Checked, 1);
    EXPECT_EQ((*h.library)[3].Checked, 1);
    RequestCheckToggle(h.ctx, 2);
    h.Tick();
    EXPECT_EQ(h.player->NowPlayingList[2].Checked, 0);
    EXPECT_EQ((*h.library)[2].Checked, 0);
    RequestCheckToggle(h.ctx, 99);  // no such row: nothing happens
    h.Tick();
    EXPECT_EQ(h.player->CheckToggleRequest, 0);
}

TEST(PlayLoop, TooManyMissingTunesSaveAndEndTheProgram) {
    const struct {
        const char* what;
        int tunes;
        int missingFromTop;
        OsError libraryError;
        size_t opensBeforeAlert;  // 0: no alert
        const char* endedWith;
    } cases[] = {
        {"12 missing of 100: the eleventh failure", 100, 12, kNoErr, 11, "end 0"},
        {"10 missing of 100 are passed over", 100, 10, kNoErr, 0, nullptr},
        {"every tune of a short list", 3, 3, kNoErr, 3, "end 0"},
        {"a failed save is no orderly end", 3, 3, kDiskFullErr, 3, "end 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PlayerHarness h(c.tunes);
        h.seams.libraryError = c.libraryError;
        for (int n = 1; n <= c.missingFromTop; ++n) {
            h.movies.missing.insert(test::TunePath(n));
        }
        PlayCommand(h.ctx);
        h.Tick(3);
        if (c.opensBeforeAlert == 0) {
            EXPECT_TRUE(h.notices.alerts.empty());
            EXPECT_EQ(h.seams.started.front(), c.missingFromTop + 1);
            continue;
        }
        EXPECT_EQ(h.movies.opened.size(), c.opensBeforeAlert);
        ASSERT_EQ(h.notices.alerts.size(), 1u);
        EXPECT_EQ(h.notices.alerts[0].title, "Missing Tunes Alert-43");
        EXPECT_EQ(h.notices.alerts[0].button, "Quit");
        EXPECT_EQ(h.seams.log, (std::vector<std::string>{"saving notice", "save library",
                                                         "save preferences", c.endedWith}));
        EXPECT_TRUE(h.seams.started.empty());
        EXPECT_EQ(h.player->IsPlaying, 0);
        RequestPlay(h.ctx);  // the program is ending: nothing more plays
        h.Tick();
        EXPECT_EQ(h.movies.opened.size(), c.opensBeforeAlert);
    }
}

}  // namespace
}  // namespace harmovia
