#include "shell/add_session.h"

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

#include "shell/commands.h"
#include "shell/menu_table.h"
#include "tests/shell/shell_test_support.h"
#include "tests/support/test_audio.h"

namespace harmovia::test {
namespace {

// A folder of `count` short tagged tunes.
std::filesystem::path MakeMusicFolder(const std::filesystem::path& folder, int count) {
    std::filesystem::create_directories(folder);
    for (int i = 1; i <= count; ++i) {
        const std::string title = "Tune " + std::to_string(i);
        testing::MakeTestAudio(folder / (title + ".mp3"),
                               {.frequency = 200.0 * i,
                                .seconds = 16.0,
                                .kbps = 32,
                                .tags = {{"title", title}, {"artist", "Band"}}});
    }
    return folder;
}

// The event loop until the add has ended (its steps are queued on the loop).
void RunUntilAdded(App& app) {
    for (int turn = 0; turn < 100000 && (app.AddingTunes || app.adding); ++turn) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

TEST(AddSession, AddsAChosenFolderThroughTheEventLoopAndShowsAllTunes) {
    StartedApp started({});
    const auto music = MakeMusicFolder(started.home.path() / "chosen", 2);
    started.app.chooseFolder = [music](App&) { return std::optional(music); };
    HandleMenuCommand(started.app, kFileMenu, 1);
    ASSERT_TRUE(started.app.AddingTunes);
    QDialog* sheet = started.app.adding->Sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->findChild<QLabel*>(QStringLiteral("control56"))->text(),
              QStringLiteral("Total Tunes:  0"));  // number text: one leading blank
    RunUntilAdded(started.app);
    EXPECT_FALSE(started.app.AddingTunes);
    EXPECT_EQ(started.app.library->TuneCount, 2);
    EXPECT_EQ(started.app.view->List.ViewCount, 2);
    EXPECT_EQ(started.app.view->ViewMode, kModeAllTunes);
}

TEST(AddSession, QuittingOrAddingAgainWhileAddingAsksFirst) {
    StartedApp started({});
    const auto music = MakeMusicFolder(started.home.path() / "chosen", 1);
    started.app.chooseFolder = [music](App&) { return std::optional(music); };
    HandleMenuCommand(started.app, kFileMenu, 1);
    ASSERT_TRUE(started.app.AddingTunes);

    started.notices.answer = false;  // "Cancel": the add and the program go on
    HandleMenuCommand(started.app, kFileMenu, 8);
    HandleControlEvent(started.app, ControlEventKind::WindowClose, 1);
    HandleMenuCommand(started.app, kFileMenu, 2);
    ASSERT_EQ(started.notices.alerts.size(), 3U);
    EXPECT_EQ(started.notices.alerts[0].title, "Tunes Are Still Being Added to Your Database...");
    EXPECT_EQ(started.notices.alerts[1].title, "Tunes Are Still Being Added to Your Database...");
    EXPECT_EQ(started.notices.alerts[2].title, "Tunes Are Currently Being Added...");
    EXPECT_FALSE(started.app.ending);
    EXPECT_TRUE(started.app.AddingTunes);
    EXPECT_FALSE(started.app.StopAddingRequest);

    started.notices.answer = true;  // "Stop Adding"
    HandleMenuCommand(started.app, kFileMenu, 1);
    EXPECT_TRUE(started.app.StopAddingRequest);
    RunUntilAdded(started.app);
    EXPECT_FALSE(started.app.AddingTunes);
    EXPECT_FALSE(started.app.ending);
}

TEST(AddSession, TheWelcomeSheetImportsTheMusicFolderOnlyWhenYesIsChosen) {
    for (const int32_t choice : {4404, 4405}) {
        StartedApp started({});
        started.app.musicFolder = MakeMusicFolder(started.home.path() / "Music", 1);
        HandleControlEvent(started.app, ControlEventKind::Hit, choice);
        HandleControlEvent(started.app, ControlEventKind::Hit, 4402);
        EXPECT_EQ(started.app.AddingTunes, choice == 4404);
        RunUntilAdded(started.app);
        EXPECT_EQ(started.app.library->TuneCount, choice == 4404 ? 1 : 0);
    }
}

}  // namespace
}  // namespace harmovia::test
