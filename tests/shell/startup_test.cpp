#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <cerrno>
#include <csignal>

#include <gtest/gtest.h>

#include "platform/movie.h"
#include "shell/tune_list.h"
#include "tests/shell/shell_test_support.h"

namespace harmovia::test {
namespace {

const std::vector<Tune> kThreeTunes = {
    {"Zebra Crossing", "Ann", "Roads", "3:10", "Rock", 5, 1},
    {"Apple Blossom", "Bo", "Trees", "4:00", "Jazz", 2, 4},
    {"Midnight", "Cy", "Hours", "2:05", "Pop", 9, 1},
};

std::vector<QString> ShownTitles(MainWindow& window) {
    std::vector<QString> titles;
    QAbstractItemModel* model = window.TuneList()->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        titles.push_back(model->index(r, 3).data().toString());
    }
    return titles;
}

TEST(StartUp, ShowsTheLibraryInLibraryOrderOrTheWelcomeSheetWhenEmpty) {
    struct Case {
        std::vector<Tune> tunes;
        std::vector<QString> titles;
        bool welcome;
        int16_t autoImportChoice;
    };
    const Case cases[] = {
        {{}, {}, true, 1},
        {kThreeTunes,
         {QStringLiteral("Zebra Crossing"), QStringLiteral("Apple Blossom"),
          QStringLiteral("Midnight")},
         false,
         0},
    };
    for (const Case& c : cases) {
        StartedApp started(c.tunes);
        ASSERT_FALSE(started.status.has_value());
        EXPECT_EQ(ShownTitles(started.window()), c.titles);
        const QDialog* sheet = started.window().WelcomeSheet();
        EXPECT_EQ(sheet != nullptr && sheet->isVisible(), c.welcome);
        EXPECT_EQ(started.app.AutoImportChoice, c.autoImportChoice);
        EXPECT_TRUE(started.window().isVisible());
        EXPECT_EQ(started.window().windowTitle(), QStringLiteral("Harmovia"));
        EXPECT_TRUE(started.notices.alerts.empty());
    }
}

class FailingMovies final : public MovieFramework {
  public:
    OsError EnterMovies() override { return -2093; }
    OsError OpenMovie(const std::filesystem::path&, std::unique_ptr<Movie>&) override {
        return -2093;
    }
};

TEST(StartUp, WithoutTheMovieFrameworkSaysSoAndEndsBeforeAnythingIsOpened) {
    StartedApp started(kThreeTunes, false);
    FailingMovies movies;
    const EnvironmentLookup nowhere = [](const char*) { return std::nullopt; };
    EXPECT_EQ(StartUp(started.app, {nowhere, &movies, 1400, 900}), 0);
    ASSERT_EQ(started.notices.alerts.size(), 1u);
    EXPECT_EQ(started.notices.alerts[0].title, "QuickTime 7 Error:");
    EXPECT_EQ(started.notices.alerts[0].button, "Quit");
    EXPECT_EQ(started.notices.beeps, 1);
    EXPECT_EQ(started.app.window, nullptr);
    EXPECT_EQ(started.app.lock, nullptr);
}

TEST(StartUp, TheWindowTakesItsFrameAndVolumeFromThePreferences) {
    struct Case {
        int16_t left, top, width, height;
        QRect frame;
    };
    const Case cases[] = {
        {10, 20, 1300, 750, QRect(10, 20, 1300, 750)},
        {10, 20, 900, 500, QRect(10, 20, 1200, 700)},  // never below the minimum
        {-30000, -30000, 1300, 750, QRect()},          // off every screen: brought back
    };
    for (const Case& c : cases) {
        StartedApp started(kThreeTunes, false);
        Preferences prefs = DefaultPreferences(1400, 900);
        prefs.WindowLeft = c.left;
        prefs.WindowTop = c.top;
        prefs.WindowWidth = c.width;
        prefs.WindowHeight = c.height;
        prefs.Volume = 500;
        DiskFileSystem files;
        ASSERT_EQ(SavePreferences(prefs, files, started.folder), kNoErr);
        ASSERT_FALSE(started.Start(started.app).has_value());
        const QRect frame = started.window().geometry();
        if (c.frame.isValid()) {
            EXPECT_EQ(frame, c.frame);
        } else {
            EXPECT_EQ(frame.size(), QSize(c.width, c.height));
            EXPECT_TRUE(QGuiApplication::primaryScreen()->geometry().intersects(frame));
        }
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

TEST(StartUp, ALibraryThatCannotBeReadIsNeverSavedOver) {
    StartedApp started(kThreeTunes, false);
    const auto before = testing::ReadBytes(started.folder / kLibraryFileName);
    started.app.files = std::make_unique<UnreadableFiles>();
    ASSERT_FALSE(started.Start(started.app).has_value());
    ASSERT_EQ(started.notices.alerts.size(), 1u);
    EXPECT_EQ(started.notices.alerts[0].title, "Harmovia Could Not Read Its Database");
    EXPECT_TRUE(SaveAndExit(started.app));
    EXPECT_EQ(testing::ReadBytes(started.folder / kLibraryFileName), before);
    EXPECT_TRUE(std::filesystem::exists(started.folder / kPreferencesFileName));
}

// Every write fails as on a full disk (an error the error hook would ignore).
class FullDisk final : public DiskFileSystem {
  protected:
    long WriteSome(int, const uint8_t*, size_t) override {
        errno = ENOSPC;
        return -1;
    }
};

TEST(StartUp, AFailedSaveAtQuitIsReportedAndTheUserMayStay) {
    for (const bool quitAnyway : {false, true}) {
        StartedApp started(kThreeTunes);
        const auto before = testing::ReadBytes(started.folder / kLibraryFileName);
        started.app.files = std::make_unique<FullDisk>();
        started.app.library->TuneCount = 2;
        started.notices.answer = quitAnyway;
        EXPECT_EQ(SaveAndExit(started.app), quitAnyway);
        ASSERT_GE(started.notices.alerts.size(), 1u);
        EXPECT_EQ(started.notices.alerts[0].title, "Harmovia Could Not Save");
        EXPECT_EQ(started.app.ending, quitAnyway);
        EXPECT_EQ(testing::ReadBytes(started.folder / kLibraryFileName), before);
    }
}

TEST(StartUp, ASecondProgramRefusesOnTheLockAndWritesNothing) {
    StartedApp first(kThreeTunes);
    ASSERT_FALSE(first.status.has_value());
    const auto before = testing::ReadBytes(first.folder / kLibraryFileName);
    RecordingShellNotices notices;
    App second;
    second.notices = &notices;
    EXPECT_EQ(first.Start(second), 1);
    ASSERT_EQ(notices.alerts.size(), 1u);
    EXPECT_EQ(notices.alerts[0].title, "Harmovia Is Already Open");
    EXPECT_EQ(second.window, nullptr);
    EXPECT_EQ(testing::ReadBytes(first.folder / kLibraryFileName), before);
    EXPECT_FALSE(std::filesystem::exists(first.folder / kPreferencesFileName));
}

TEST(StartUp, CriticalErrorIgnoresItsRangesAndEndsOnOthers) {
    struct Case {
        OsError error;
        bool goesOn;
        const char* title;
    };
    const Case cases[] = {
        {-33, true, nullptr},
        {-39, true, nullptr},
        {-61, true, nullptr},
        {-4999, true, nullptr},
        {-5500, true, nullptr},
        {-32, false, "Critical Error -32"},
        {-62, false, "Critical Error -62"},
        {-108, false, "Critical Error -108"},
        {-5501, false, "Critical Error -5501"},
    };
    for (const Case& c : cases) {
        StartedApp started({}, false);
        EXPECT_EQ(CriticalError(started.app, c.error), c.goesOn) << c.error;
        EXPECT_EQ(started.app.ending, !c.goesOn);
        if (c.title == nullptr) {
            EXPECT_TRUE(started.notices.alerts.empty());
        } else {
            ASSERT_EQ(started.notices.alerts.size(), 1u);
            EXPECT_EQ(started.notices.alerts[0].title, c.title);
            EXPECT_EQ(started.notices.alerts[0].message,
                      "Sorry, but a critial error has occurred and Harmovia must quit.");
        }
    }
}

TEST(StartUp, QuittingWhileAddingAsksAndSavesOnlyThePreferences) {
    for (const bool confirm : {false, true}) {
        StartedApp started(kThreeTunes);
        started.app.AddingTunes = true;
        started.app.library->TuneCount = 1;  // what an add must not save
        started.notices.answer = confirm;
        EXPECT_EQ(QuitCommand(started.app), confirm);
        ASSERT_EQ(started.notices.alerts.size(), 1u);
        EXPECT_EQ(started.notices.alerts[0].button, "Quit");
        EXPECT_EQ(started.app.ending, confirm);
        EXPECT_EQ(std::filesystem::exists(started.folder / kPreferencesFileName), confirm);
        EXPECT_EQ(std::filesystem::file_size(started.folder / kLibraryFileName),
                  static_cast<std::uintmax_t>(3 * kTuneRecordSize));
    }
}

TEST(StartUp, SigtermSavesTheLibraryAndThePreferencesAsAQuitDoes) {
    StartedApp started(kThreeTunes);
    ASSERT_FALSE(started.status.has_value());
    TuneListModel& model = started.window().Model();
    ASSERT_TRUE(model.setData(model.index(0, 3), QStringLiteral("Renamed"), Qt::EditRole));
    InstallTerminationHandler(started.app);
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
    EXPECT_EQ(QApplication::exec(), 0);
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);

    Library saved;
    DiskFileSystem files;
    LoadLibrary(saved, files, started.folder);
    ASSERT_EQ(saved.TuneCount, 3);
    EXPECT_EQ(saved[1].Title.view(), "Renamed");
    EXPECT_TRUE(std::filesystem::exists(started.folder / kPreferencesFileName));
    EXPECT_EQ(started.window().Control(kDisplayLine2)->property("text").toString(),
              QStringLiteral("Saving Database"));
}

}  // namespace
}  // namespace harmovia::test
