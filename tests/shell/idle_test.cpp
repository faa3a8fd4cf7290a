// An idle program does not tick: the 2/60 s timer runs only while something needs it.

#include <QTimer>

#include <gtest/gtest.h>

#include "player/player_requests.h"
#include "shell/add_session.h"
#include "tests/shell/shell_test_support.h"

namespace harmovia::test {
namespace {

TEST(Ticks, RunOnlyWhileAPlayOrAnAddNeedsThem) {
    StartedApp started(kTunes, true, true);
    App& app = started.app;
    const auto ticking = [&app] { return app.rhythm->isActive(); };
    QApplication::processEvents();
    EXPECT_FALSE(ticking());  // started idle

    // A play request starts the ticks at once; when the run ends they stop.
    app.view->SelectedRow = 1;
    RequestPlay(*app.playerContext);
    EXPECT_TRUE(ticking());
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.player->IsPlaying == 1; }, 2000));
    RequestStop(*app.playerContext);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.player->IsPlaying == 0 && !ticking(); }, 2000));

    // So does a check box clicked while idle: the tick applies it, then the ticks stop.
    const uint16_t checked = app.view->List[1].Checked;
    RequestCheckToggle(*app.playerContext, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.view->List[1].Checked != checked; }, 2000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ticking(); }, 2000));

    // An add keeps them going until it is over.
    StartAdd(app, started.home.path());
    EXPECT_TRUE(ticking());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !app.adding && !ticking(); }, 30000));
}

}  // namespace
}  // namespace harmovia::test
