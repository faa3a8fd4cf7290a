#include "shell/send_sheet.h"

#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "export/script_runner.h"
#include "shell/commands.h"
#include "shell/menu_table.h"
#include "shell/qt_menu_bar.h"
#include "tests/shell/shell_test_support.h"

namespace harmovia::test {
namespace {

const std::vector<Tune>& kTunes = kFourTunes;

struct SendingApp {
    SendingApp() : started(kTunes, false) {
        auto recording = std::make_unique<RecordingScriptRunner>();
        runner = recording.get();
        started.app.scripts = std::move(recording);
        started.Start(started.app);
    }
    template <typename Widget>
    Widget* Control(int32_t id) {
        return started.app.sending->Sheet()->findChild<Widget*>(
            QStringLiteral("control%1").arg(id));
    }
    StartedApp started;
    RecordingScriptRunner* runner = nullptr;
};

TEST(SendSheet, AnEmptyNameAlertsAndKeepsTheSheetOpen) {
    SendingApp sending;
    App& app = sending.started.app;
    HandleMenuCommand(app, kFileMenu, 6);
    ASSERT_NE(app.sending, nullptr);
    EXPECT_FALSE(app.menus->Menu(kPlaylistsMenu)->menuAction()->isEnabled());
    EXPECT_EQ(sending.Control<QLineEdit>(kSendNameField)->text(), QStringLiteral("All Tunes"));
    sending.Control<QLineEdit>(kSendNameField)->clear();
    QTest::mouseClick(sending.Control<QPushButton>(kSendButton), Qt::LeftButton);
    ASSERT_EQ(sending.started.notices.alerts.size(), 1U);
    EXPECT_EQ(sending.started.notices.alerts[0].title, "No Playlist Name");
    EXPECT_EQ(sending.started.notices.alerts[0].message, "Please enter a name for this playlist.");
    ASSERT_NE(app.sending, nullptr);
    EXPECT_TRUE(sending.Control<QPushButton>(kSendButton)->isEnabled());
    EXPECT_TRUE(sending.runner->scripts.empty());

    HandleControlEvent(app, ControlEventKind::Hit, kSendCancelButton);
    EXPECT_EQ(app.sending, nullptr);
    EXPECT_TRUE(app.menus->Menu(kPlaylistsMenu)->menuAction()->isEnabled());
}

TEST(SendSheet, ACountOutsideTheListSendsTheWholeList) {
    struct Case {
        const char* count;
        int32_t rows;
    };
    for (const Case& c :
         {Case{"0", 4}, Case{"-1", 4}, Case{"5", 4}, Case{"junk", 4}, Case{"2", 2}, Case{"4", 4}}) {
        SendingApp sending;
        App& app = sending.started.app;
        HandleControlEvent(app, ControlEventKind::Hit, 1007);
        ASSERT_NE(app.sending, nullptr);
        sending.Control<QLineEdit>(kSendCountField)->setText(QString::fromLatin1(c.count));
        QProgressBar* bar = sending.Control<QProgressBar>(kSendProgressBar);
        HandleControlEvent(app, ControlEventKind::Hit, kSendButton);
        EXPECT_EQ(app.lastSend.rowsConsidered, c.rows) << c.count;
        EXPECT_EQ(app.lastSend.sentRows.size(), static_cast<size_t>(c.rows));
        EXPECT_EQ(bar->value(), c.rows);
        // One script per tune and one that brings the player forward.
        EXPECT_EQ(sending.runner->scripts.size(), static_cast<size_t>(c.rows) + 1);
        EXPECT_EQ(app.sending, nullptr);
    }
}

}  // namespace
}  // namespace harmovia::test
