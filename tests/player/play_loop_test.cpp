// The play loop driven tick by tick over stand-in movies.

#include "player/play_loop.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <numeric>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "browse/display_area.h"
#include "browse/mood_journey.h"
#include "browse/view_builder.h"
#include "player/player_requests.h"
#include "player/tune_volume.h"
#include "tests/player/fake_player.h"

namespace harmovia {
namespace {

TEST(TuneVolume, LevelsByPeakPower) {
    const struct {
        int volume, peak;
        int16_t expected;
    } cases[] = {
        {256, 80, 409},     // x 1.6
        {256, 200, 300},    // 256 + 65536 / 1474
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

// What the user does during a run, by tick.
using Steps = std::map<int, void (*)(PlayerContext&)>;
constexpr auto Next = &RequestNext;
constexpr auto Back = &RequestBack;
constexpr auto Stop = &RequestStop;
enum class Loop { None, Tune, List };
// Shown: the played list stays on screen; Away: the user browses elsewhere at tick 1;
// Upside: the list on screen is sorted upside down.
enum class Order { Shown, Away, Upside };

TEST(PlayLoop, WhichTunesPlay) {
    using enum Loop;
    using enum Order;
    // Every tune lasts three ticks; tick 0 takes the play request. A run given 0 ticks must
    // end within 20; one given more must still play after them.
    const struct {
        const char* what;
        int tunes, row;
        std::vector<int> unchecked;
        Loop loop;
        Order order;
        Steps steps;
        int ticks;
        std::vector<int32_t> started;
    } cases[] = {
        {"no selection: 1 on, once", 3, 0, {}, None, Away, {}, 0, {1, 2, 3}},
        {"the view on screen to its end", 3, 0, {}, None, Shown, {}, 0, {1, 2, 3}},
        {"unchecked tunes passed over", 5, 1, {1, 2, 3}, None, Shown, {}, 0, {4, 5}},
        {"Next looping a tune replays it", 3, 1, {}, Tune, Shown, {{1, Next}}, 1, {1, 1}},
        {"a looped tune replays at its end", 3, 2, {}, Tune, Shown, {}, 6, {2, 2, 2}},
        {"a looped list starts again at 1", 2, 1, {}, List, Shown, {}, 12, {1, 2, 1, 2, 1}},
        {"a looped list browsed away", 2, 2, {}, List, Away, {}, 9, {2, 1, 2, 1}},
        {"Stop ends a looped list", 2, 1, {}, List, Shown, {{1, Stop}}, 0, {1}},
        {"a looped list with nothing checked", 2, 1, {1, 2}, List, Shown, {}, 0, {}},
        {"Back: up, 1 again", 3, 1, {}, None, Away, {{3, Back}, {4, Back}}, 0, {1, 2, 1, 1, 2, 3}},
        {"Back passes over unchecked", 3, 1, {2}, None, Shown, {{3, Back}}, 0, {1, 3, 1, 3}},
        {"Back turns round above unchecked", 3, 3, {1, 2}, None, Shown, {{1, Back}}, 0, {3, 3}},
        {"view order to the bottom row", 3, 3, {}, None, Upside, {}, 0, {3, 2, 1}},
        {"view order: the bottom row ends", 3, 1, {}, None, Upside, {}, 0, {1}},
        {"view order: a looped list from the top", 3, 2, {}, List, Upside, {}, 9, {2, 1, 3, 2}},
        {"view order: Back one row up", 3, 2, {}, None, Upside, {{1, Back}}, 0, {2, 3, 2, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::PlayerHarness h(c.tunes);
        for (const int row : c.unchecked) {
            h.view->List[row].Checked = 0;
        }
        h.seams.reversed = c.order == Upside;
        h.player->LoopTune = c.loop == Tune ? 1 : 0;
        h.player->LoopPlaylist = c.loop == List ? 1 : 0;
        h.view->SelectedRow = c.row;
        RequestPlay(h.ctx);
        for (int tick = 0; tick <= (c.ticks == 0 ? 20 : c.ticks); ++tick) {
            if (tick == 1 && c.order == Away) {
                h.view->ViewStamp = 2;
            }
            if (const auto step = c.steps.find(tick); step != c.steps.end()) {
                step->second(h.ctx);
            }
            h.Tick();
            ASSERT_LE(h.movies.open, 1) << "tick " << tick;
        }
        EXPECT_EQ(h.seams.started, c.started);
        const bool idle = c.ticks == 0;
        EXPECT_EQ(std::tuple(h.player->Phase == PlayPhase::Idle, h.player->IsPlaying == 0,
                             h.movies.open, h.notices.alerts.size()),
                  std::tuple(idle, idle, idle ? 0 : 1, 0u));
    }
}

TEST(PlayLoop, ControlsAndDisplayFollowPlayback) {
    test::PlayerHarness h(3);
    // Play button, "Stop Playing", transport offered, runs ended.
    const auto controls = [&h] {
        const PlayerControls& c = h.player->Controls;
        return std::tuple(c.playButton, c.playSaysStop, c.transportEnabled, c.runsEnded);
    };
    h.view->SelectedRow = 2;
    h.view->SelectedMood = 5;  // the playing tune's mood 1 replaces it
    RequestPlay(h.ctx);
    EXPECT_EQ(controls(), std::tuple(2, true, false, 0u));  // at once, before the tick
    h.Tick();
    EXPECT_EQ(controls(), std::tuple(2, true, true, 0u));
    EXPECT_EQ(std::tuple(h.view->SelectedMood, h.seams.display.Line2.view(),
                         h.player->NowPlayingTitle.view()),
              std::tuple(h.view->List[2].Mood, "Tune 2", "12:00:00"));
    EXPECT_EQ(h.seams.selected, std::vector<int32_t>{2});  // the playing list is on screen

    // A double-click's request is taken once, not again at every tick.
    h.player->PlayFromSelectionRequest = 1;
    h.Tick();
    const int opens = h.movies.opens;
    h.Tick();
    EXPECT_EQ(h.movies.opens, opens);

    RequestStop(h.ctx);  // takes effect at the next tick
    h.Tick();
    EXPECT_EQ(controls(), std::tuple(1, false, false, 1u));
    EXPECT_EQ(std::tuple(h.player->Phase, h.movies.open, h.player->NowPlayingIndex,
                         h.player->NowPlayingTitle.empty(), h.seams.refreshed > 0),
              std::tuple(PlayPhase::Idle, 0, 0, true, true));
    EXPECT_EQ(h.seams.display.Line2.view(), BrowsingDisplayLines(h.view->Label).Line2.view());

    // The loop modes exclude each other, and the window hears of every change.
    const int shown = h.seams.controlsShown;
    ToggleLoopPlaylist(h.ctx);
    EXPECT_EQ(h.player->LoopTune + 2 * h.player->LoopPlaylist, 2);
    ToggleLoopTune(h.ctx);
    EXPECT_EQ(h.player->LoopTune + 2 * h.player->LoopPlaylist, 1);
    EXPECT_EQ(h.seams.controlsShown, shown + 2);
    h.view->List.ViewCount = 0;  // nothing to play: the controls say so at once
    h.player->PlayRequest = 1;
    SetPlayButton(h.ctx, 2);
    h.Tick();
    EXPECT_EQ(controls(), std::tuple(1, false, false, 1u));
}

TEST(PlayLoop, VolumeAndMuteApplyToThePlayingTune) {
    test::PlayerHarness h(2);
    h.view->List[2].PeakPowerMean = 1000;
    h.preferences.Volume = 256;
    PlayCommand(h.ctx);                                   // 256 + 65536 / 2211
    VolumeChanged(h.ctx, kVolumeIndicatorPart + 1, 100);  // not the indicator
    EXPECT_EQ(h.preferences.Volume, 256);
    VolumeChanged(h.ctx, kVolumeIndicatorPart, 500);
    ToggleMute(h.ctx);
    EXPECT_EQ(h.player->Muted, 1);
    h.Tick(3);  // the next tune starts muted
    ToggleMute(h.ctx);
    EXPECT_EQ(h.seams.started, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(h.movies.volumes, (std::vector<int16_t>{285, 613, 0, 0, 200}));  // 500 x 0.4
}

TEST(PlayLoop, CheckToggleReachesTheCopiesOfTheTune) {
    test::PlayerHarness h(3);
    const auto checks = [&h] {
        return std::tuple(h.view->List[2].Checked, h.player->NowPlayingList[2].Checked,
                          (*h.library)[2].Checked, (*h.library)[3].Checked);
    };
    h.view->List[2].Checked = 7;  // anything but 1 becomes 1
    PlayCommand(h.ctx);
    RequestCheckToggle(h.ctx, 2);
    h.Tick();
    EXPECT_EQ(checks(), std::tuple(1, 1, 1, 1));
    RequestCheckToggle(h.ctx, 2);
    h.Tick();
    EXPECT_EQ(checks(), std::tuple(0, 0, 0, 1));
    RequestCheckToggle(h.ctx, 99);  // no such row: nothing happens
    h.Tick();
    EXPECT_EQ(h.player->CheckToggleRequest, 0);
}

TEST(PlayLoop, TooManyMissingTunesSaveAndEndTheProgram) {
    const struct {
        const char* what;
        int tunes, missingFromTop;
        OsError libraryError;
        int opensBeforeAlert;  // 0: no alert
        const char* endedWith;
    } cases[] = {
        {"12 missing of 100: the eleventh failure", 100, 12, kNoErr, 11, "end 0"},
        {"10 missing of 100 are passed over", 100, 10, kNoErr, 0, nullptr},
        {"a failed save is no orderly end", 3, 3, kDiskFullErr, 3, "end 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::PlayerHarness h(c.tunes);
        h.seams.libraryError = c.libraryError;
        for (int n = 1; n <= c.missingFromTop; ++n) {
            h.movies.missing.insert("/music/" + std::to_string(n) + ".mp3");
        }
        PlayCommand(h.ctx);
        h.Tick(3);
        if (c.opensBeforeAlert == 0) {
            EXPECT_TRUE(h.notices.alerts.empty());
            EXPECT_EQ(h.seams.started.front(), c.missingFromTop + 1);
            continue;
        }
        EXPECT_EQ(h.movies.opens, c.opensBeforeAlert);
        ASSERT_EQ(h.notices.alerts.size(), 1u);
        EXPECT_EQ(std::tie(h.notices.alerts[0].title, h.notices.alerts[0].button),
                  std::tuple("Missing Tunes Alert-43", "Quit"));
        EXPECT_EQ(h.seams.log, (std::vector<std::string>{"saving notice", "save library",
                                                         "save preferences", c.endedWith}));
        RequestPlay(h.ctx);  // the program is ending: nothing more plays
        h.Tick();
        EXPECT_EQ(std::tuple(h.seams.started.size(), h.player->IsPlaying, h.movies.opens),
                  std::tuple(0u, 0, c.opensBeforeAlert));
    }
}

TEST(PlayLoop, EndlessJourneyRefillsInsteadOfEnding) {
    using enum Loop;
    using enum Order;
    // 18 tunes, two of each mood; journeys of 5 tunes from mood 1 to 9, played for 60 ticks
    // (a tune lasts 3).
    const struct {
        const char* what;
        bool endless;
        Loop loop;
        Order order;
        bool ends;
    } cases[] = {
        {"a journey ends", false, None, Shown, true},
        {"a looped journey starts again", false, List, Shown, false},
        {"endless on screen", true, None, Shown, false},
        {"endless browsed away", true, None, Away, false},
        {"endless, the list looped", true, List, Shown, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::PlayerHarness h(18);
        FixedClock clock{"12:00:00"};
        BuildJourneyView(*h.view, *h.library, {1, 9, 5, 0, 4, c.endless}, clock);
        h.player->LoopPlaylist = c.loop == List ? 1 : 0;
        h.view->SelectedRow = 1;
        RequestPlay(h.ctx);
        for (int tick = 0; tick < 60; ++tick) {
            if (tick == 1 && c.order == Away) {
                h.view->ViewStamp += 100;
            }
            h.Tick();
        }
        EXPECT_EQ(h.player->Phase == PlayPhase::Idle, c.ends);
        EXPECT_EQ(h.seams.started.size() == 5, c.ends);
        if (!c.endless) {
            continue;
        }
        // Row after row, never a tune twice before all 18 have played.
        const ViewList& played = h.player->NowPlayingList;
        std::vector<int32_t> positions(h.seams.started.size()), tunes;
        std::iota(positions.begin(), positions.end(), 1);
        EXPECT_EQ(h.seams.started, positions);
        ASSERT_GE(played.ViewCount, 18);
        for (int32_t row = 1; row <= 18; ++row) {
            tunes.push_back(played[row].RecordIndex);
        }
        EXPECT_EQ(std::set<int32_t>(tunes.begin(), tunes.end()).size(), 18u);
        // The list on screen grows with the playing list, and its totals with it.
        const bool shown = c.order == Shown;
        EXPECT_EQ(h.view->List.ViewCount, shown ? played.ViewCount : 5);
        EXPECT_EQ(h.seams.appended > 0, shown);
        ViewState recounted = *h.view;
        RecountViewTotals(recounted);
        EXPECT_EQ(h.view->ViewSeconds, recounted.ViewSeconds);
    }
}

}  // namespace
}  // namespace harmovia
