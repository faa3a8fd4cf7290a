#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <map>

#include <gtest/gtest.h>

#include "shell/add_session.h"
#include "shell/notices.h"
#include "shell/platform_texts.h"
#include "shell/send_sheet.h"
#include "tests/shell/shell_test_support.h"

namespace harmovia::test {
namespace {

bool MenusEnabled(App& app) {
    return app.menus->Menu(kPlaylistsMenu)->menuAction()->isEnabled();
}

TEST(AddSheet, AddsAChosenFolderAndQuittingOrAddingAgainMeanwhileAsksFirst) {
    StartedApp started({});
    App& app = started.app;
    const auto music = MakeMusicFolder(started.home.path() / "chosen", 2);
    app.chooseFolder = [music](App&) { return std::optional(music); };
    Choose(app, Command::AddTunes);
    ASSERT_TRUE(app.AddingTunes);
    QDialog* sheet = app.adding->Sheet();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->findChild<QLabel*>(QStringLiteral("control56"))->text(),
              QStringLiteral("Total Tunes:  0"));  // number text: one leading blank
    EXPECT_FALSE(MenusEnabled(app));
    started.notices.answer = false;  // "Cancel": the add and the program go on
    Choose(app, Command::CloseWindowAndQuit);
    HandleControlEvent(app, ControlEventKind::WindowClose, 1);
    Choose(app, Command::AddTunesFromMusicFolder);
    EXPECT_EQ(started.notices.said,
              std::vector<std::string>({"Tunes Are Still Being Added to Your Database...",
                                        "Tunes Are Still Being Added to Your Database...",
                                        "Tunes Are Currently Being Added..."}));
    EXPECT_FALSE(app.ending || app.StopAddingRequest);
    RunUntilAdded(app);
    EXPECT_TRUE(MenusEnabled(app));
    EXPECT_EQ(std::tuple(app.library->TuneCount, app.view->List.ViewCount, app.view->ViewMode),
              std::tuple(2, 2, kModeAllTunes));
    started.notices.answer = true;  // "Stop Adding" ends a second add
    Choose(app, Command::AddTunes);
    Choose(app, Command::AddTunes);
    EXPECT_TRUE(app.StopAddingRequest);
    RunUntilAdded(app);
    EXPECT_FALSE(app.AddingTunes || app.ending);
}

TEST(WelcomeSheet, ContinueEnablesTheMenusAndImportsTheMusicFolderOnlyAfterYes) {
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes);
        StartedApp started({});
        started.app.musicFolder = MakeMusicFolder(started.home.path() / "Music", 1);
        QDialog* sheet = started.window().WelcomeSheet();
        ASSERT_NE(sheet, nullptr);
        EXPECT_TRUE(sheet->isVisible());
        started.app.menus->SetMenuItem(kPlaylistsMenu, 0, kItemDisabled);  // for Continue to undo
        const auto button = [sheet](int id) {
            return sheet->findChild<QAbstractButton*>(QStringLiteral("control%1").arg(id));
        };
        EXPECT_TRUE(button(kWelcomeYesRadio)->isChecked());  // Yes is the default
        button(yes ? kWelcomeYesRadio : kWelcomeNoRadio)->click();
        if (yes) {  // an add started meanwhile from the menu is not replaced by Continue's
            started.app.chooseFolder = [](App& app) { return std::optional(app.musicFolder); };
            Choose(started.app, Command::AddTunes);
        }
        const AddSession* running = started.app.adding.get();
        button(kWelcomeContinueButton)->click();
        EXPECT_FALSE(sheet->isVisible());
        EXPECT_EQ(started.app.AddingTunes, yes);
        EXPECT_TRUE(!yes || started.app.adding.get() == running);
        RunUntilAdded(started.app);
        EXPECT_TRUE(MenusEnabled(started.app));
        EXPECT_EQ(started.app.library->TuneCount, yes ? 1 : 0);
    }
}

TEST(SendSheet, SendsTheCountAskedForOrTheWholeListAndNeedsANameThenOpensIt) {
    // Name, count typed, rows sent (-1: refused), the box to open the written playlist in the
    // music player checked, the player answers (or the user is told).
    for (const auto& [name, count, rows, open, answer] :
         {std::tuple{"Mix", "0", 4, true, true}, std::tuple{"Mix", "-1", 4, false, true},
          std::tuple{"Mix", "5", 4, true, false}, std::tuple{"Mix", "junk", 4, true, true},
          std::tuple{"Mix", "2", 2, true, true}, std::tuple{"", "2", -1, true, true}}) {
        SCOPED_TRACE(::testing::Message() << name << "/" << count);
        StartedApp started(kTunes);
        App& app = started.app;
        started.openAnswer = answer;
        const auto control = [&app](int32_t id) {
            return app.sending->Sheet()->findChild<QWidget*>(QStringLiteral("control%1").arg(id));
        };
        rows < 0 ? Choose(app, Command::SendPlaylist) : Click(app, kSendPlaylistButton);
        ASSERT_NE(app.sending, nullptr);
        EXPECT_FALSE(MenusEnabled(app));
        auto* field = qobject_cast<QLineEdit*>(control(kSendNameField));
        EXPECT_EQ(field->text(), QStringLiteral("All Tunes"));
        field->setText(QString::fromLatin1(name));
        qobject_cast<QLineEdit*>(control(kSendCountField))->setText(QString::fromLatin1(count));
        auto* box = qobject_cast<QCheckBox*>(control(kSendOpenBox));
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isChecked());
        box->setChecked(open);
        QWidget* bar = control(kSendProgressBar);
        QTest::mouseClick(control(kSendButton), Qt::LeftButton);
        // One script per tune and one that brings the player forward.
        EXPECT_EQ(started.scripts->scripts.size(), rows < 0 ? 0U : static_cast<size_t>(rows) + 1);
        if (rows < 0) {
            EXPECT_EQ(started.notices.said, std::vector<std::string>{"No Playlist Name"});
            ASSERT_NE(app.sending, nullptr);
            Click(app, kSendCancelButton);
        } else {
            EXPECT_EQ(app.lastSend.sentRows.size(), static_cast<size_t>(rows));
            EXPECT_EQ(bar->property("value").toInt(), rows);
            if (!kMacPlatform) {  // there the music player takes the tunes itself
                ASSERT_TRUE(app.lastSend.playlistFile.has_value());
                EXPECT_EQ(started.opened, open ? std::vector{*app.lastSend.playlistFile}
                                               : std::vector<std::filesystem::path>{});
                EXPECT_EQ(started.notices.said,
                          open && !answer ? std::vector<std::string>{"Playlist Not Opened"}
                                          : std::vector<std::string>{});
            }
        }
        EXPECT_EQ(app.sending, nullptr);
        EXPECT_TRUE(MenusEnabled(app));
    }
}

TEST(StartUp, TheWindowTakesItsFrameAndVolumeFromThePreferences) {
    // Left, top, width, height saved; the frame shown (off screen: its size, anywhere on it).
    const std::pair<std::tuple<int16_t, int16_t, int16_t, int16_t>, QRect> cases[] = {
        {{10, 20, 900, 500}, QRect(10, 20, 1200, 700)},  // never below the minimum
        {{-30000, -30000, 1300, 750}, QRect(0, 0, 1300, 750)},
    };
    for (const auto& [saved, shown] : cases) {
        StartedApp started(kTunes, false);
        Preferences prefs = DefaultPreferences(1400, 900);
        std::tie(prefs.WindowLeft, prefs.WindowTop, prefs.WindowWidth, prefs.WindowHeight) = saved;
        prefs.Volume = 500;
        ASSERT_EQ(SavePreferences(prefs, *started.app.files, started.folder), kNoErr);
        ASSERT_FALSE(started.Start(started.app).has_value());
        const QRect frame = started.window().geometry();
        EXPECT_EQ(frame, std::get<0>(saved) > 0 ? shown : QRect(frame.topLeft(), shown.size()));
        EXPECT_TRUE(QGuiApplication::primaryScreen()->geometry().intersects(frame));
        EXPECT_EQ(started.window().Control(kVolumeSlider)->property("value").toInt(), 500);
    }
}

// Reads fail as a disk that stops answering would (an error the error hook ignores).
class UnreadableFiles final : public DiskFileSystem {
  public:
    OsError ReadFileInChunks(const std::filesystem::path&, uint64_t, size_t,
                             const std::function<void(std::span<const uint8_t>)>&,
                             uint64_t& length) override {
        length = 0;
        return kIoErr;
    }
};

// Every write fails as on a full disk (an error the error hook would ignore).
class FullDisk final : public DiskFileSystem {
  protected:
    long WriteSome(int, const uint8_t*, size_t) override {
        errno = ENOSPC;
        return -1;
    }
};

// A library that could not be read is never saved over, a failed save never passed over; a
// log-out asks only when it may, and writes before it returns.
TEST(StartUp, QuitAndEndingSessionSaveOrAskWhileAddingOrAfterAFailedReadOrSave) {
    enum class End { Quit, SessionMayAsk, Session };
    enum class Disk { Fine, Unreadable, Full };
    const std::string stillAdding = "Tunes Are Still Being Added to Your Database...";
    const std::string notSaved = "Harmovia Could Not Save";
    // How, disk, adding, answer; then: ends, first thing said, library and preferences written.
    const std::tuple<End, Disk, bool, bool, bool, std::string, bool, bool> cases[] = {
        {End::Quit, Disk::Fine, false, true, true, "", true, true},
        {End::Quit, Disk::Fine, true, false, false, stillAdding, false, false},
        {End::Quit, Disk::Fine, true, true, true, stillAdding, false, true},  // the add saves it
        {End::Quit, Disk::Full, false, false, false, notSaved, false, false},
        {End::Quit, Disk::Full, false, true, true, notSaved, false, false},
        {End::Quit, Disk::Unreadable, false, true, true, "Harmovia Could Not Read Its Database",
         false, true},
        {End::SessionMayAsk, Disk::Fine, false, false, true, "", true, true},
        {End::Session, Disk::Fine, false, false, true, "", true, true},
        {End::SessionMayAsk, Disk::Fine, true, false, false, stillAdding, false, false},
        {End::Session, Disk::Fine, true, false, true, "", false, true},  // the add saves it
        {End::SessionMayAsk, Disk::Full, false, false, false, notSaved, false, false},
        {End::Session, Disk::Full, false, false, true, "", false, false},  // nobody to ask
    };
    for (const auto& [end, disk, adding, answer, ends, alert, savesLibrary, savesPreferences] :
         cases) {
        SCOPED_TRACE(::testing::Message() << static_cast<int>(end) << " " << alert << answer);
        StartedApp started(kTunes, false);
        App& app = started.app;
        const auto before = started.LibraryBytes();
        if (disk == Disk::Unreadable) {
            app.files = std::make_unique<UnreadableFiles>();
        }
        ASSERT_FALSE(started.Start(app).has_value());
        if (disk == Disk::Full) {
            app.files = std::make_unique<FullDisk>();
        }
        app.AddingTunes = adding;
        app.library->TuneCount = 1;
        started.notices.answer = answer;
        started.notices.holdPauses = end != End::Quit;  // a session does not wait for a pause
        EXPECT_EQ(end == End::Quit ? QuitCommand(app) : EndSession(app, end == End::SessionMayAsk),
                  ends);
        EXPECT_EQ(app.ending, ends);
        EXPECT_TRUE(ends || !app.saving);  // staying opens the doors again
        const std::vector<std::string>& said = started.notices.said;
        EXPECT_EQ(said.empty() ? "" : said[0], alert);
        EXPECT_LE(said.size(), end == End::Quit ? 2U : 1U);  // a quit asks for each file
        EXPECT_EQ(started.LibraryBytes() != before, savesLibrary);
        EXPECT_EQ(std::filesystem::exists(started.folder / kPreferencesFileName), savesPreferences);
    }
}

// Counts the files written whole, by name.
class CountingFiles final : public DiskFileSystem {
  public:
    OsError WriteFileAtomically(const std::filesystem::path& path,
                                std::span<const uint8_t> bytes) override {
        ++writes[path.filename().string()];
        return DiskFileSystem::WriteFileAtomically(path, bytes);
    }
    std::map<std::string, int> writes;
};

// The quit's save waits out a pause that runs on the event loop; whatever comes meanwhile
// (the player's tick, a second quit by any door, a session that ends) saves and ends once.
TEST(StartUp, APauseInterruptedByATickOrASecondQuitSavesOnce) {
    const std::pair<const char*, std::function<void(App&)>> meanwhile[] = {
        {"tick", [](App& app) { app.eventHook(); }},
        {"quit", [](App& app) { EXPECT_TRUE(QuitCommand(app)); }},
        {"menu", [](App& app) { Choose(app, Command::CloseWindowAndQuit); }},
        {"close box", [](App& app) { HandleControlEvent(app, ControlEventKind::WindowClose, 1); }},
        {"session", [](App& app) { EXPECT_TRUE(EndSession(app, false)); }},
    };
    const std::map<std::string, int> once = {{kLibraryFileName, 1}, {kPreferencesFileName, 1}};
    for (const auto& [what, interrupt] : meanwhile) {
        SCOPED_TRACE(what);
        StartedApp started(kTunes);
        App& app = started.app;
        auto* files = new CountingFiles;
        app.files.reset(files);
        started.notices.holdPauses = true;
        EXPECT_TRUE(QuitCommand(app));
        EXPECT_EQ(app.window->Control(kDisplayLine2)->property("text").toString(),
                  QStringLiteral("Saving Database"));
        EXPECT_TRUE(files->writes.empty());
        EXPECT_FALSE(app.ending);
        interrupt(app);
        EXPECT_EQ(started.notices.held.size(), 1U);  // nothing started a second pause
        started.notices.EndPauses();
        EXPECT_TRUE(app.ending);
        EXPECT_EQ(files->writes, once);
    }
}

TEST(StartUp, CriticalErrorIgnoresItsRangesAndEndsOnOthers) {
    const std::pair<OsError, bool> cases[] = {{-33, true},    {-61, true},   {-4999, true},
                                              {-5500, true},  {-32, false},  {-62, false},
                                              {-4998, false}, {-5501, false}};
    for (const auto& [error, goesOn] : cases) {
        StartedApp started({}, false);
        EXPECT_EQ(CriticalError(started.app, error), goesOn) << error;
        EXPECT_EQ(started.app.ending, !goesOn);
        EXPECT_EQ(started.notices.said,
                  goesOn ? std::vector<std::string>{}
                         : std::vector{"Critical Error " + std::to_string(error)});
    }
}

TEST(StartUp, ASecondProgramIsRefusedOnTheLockAndSigtermSavesAsAQuitDoes) {
    StartedApp first(kTunes);
    EXPECT_TRUE(first.window().isVisible());
    EXPECT_EQ(first.window().WelcomeSheet(), nullptr);
    const auto before = first.LibraryBytes();
    RecordingShellNotices notices;
    App second;
    second.notices = &notices;
    EXPECT_EQ(first.Start(second), 1);
    EXPECT_EQ(notices.said, std::vector<std::string>{"Harmovia Is Already Open"});
    EXPECT_EQ(second.window, nullptr);
    EXPECT_EQ(first.LibraryBytes(), before);
    EXPECT_FALSE(std::filesystem::exists(first.folder / kPreferencesFileName));
    TuneListModel& model = first.window().Model();
    ASSERT_TRUE(model.setData(model.index(0, 3), QStringLiteral("Renamed"), Qt::EditRole));
    InstallTerminationHandler(first.app);
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    EXPECT_EQ(QApplication::exec(), 0);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    EXPECT_NE(first.LibraryBytes(), before);
    EXPECT_TRUE(std::filesystem::exists(first.folder / kPreferencesFileName));
    EXPECT_EQ(first.window().Control(kDisplayLine2)->property("text").toString(),
              QStringLiteral("Saving Database"));
}

}  // namespace
}  // namespace harmovia::test
