#include "shell/startup.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <memory>
#include <string>

#include "browse/view_builder.h"
#include "export/osascript_runner.h"
#include "library/library_file.h"
#include "platform/movie.h"
#include "platform/movie_ffmpeg.h"
#include "platform/movie_playback_ffmpeg.h"
#include "player/mpris_service.h"
#include "shell/add_session.h"
#include "shell/app_state.h"
#include "shell/commands.h"
#include "shell/journey_sheet.h"
#include "shell/kept_playlists.h"
#include "shell/main_window.h"
#include "shell/menu_table.h"
#include "shell/player_wiring.h"
#include "shell/qt_menu_bar.h"
#include "shell/send_sheet.h"

#include <sys/socket.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace harmovia {
namespace {

// The event loop's rhythm: 2 ticks of 1/60 s.
constexpr int kEventLoopWaitMilliseconds = 2000 / 60;
constexpr int kSavingPauseMilliseconds = 37;

void EndEventLoop(App& app, int status) {
    app.ending = true;
    QCoreApplication::exit(status);
}

// A failed save is never passed over in silence: the user chooses between quitting without
// it (the file on disk stays as it was) and staying in the program.
bool QuitDespiteFailedSave(App& app, const char* what, OsError error) {
    const std::string message = std::string("Your ") + what + " could not be written (error " +
                                std::to_string(error) +
                                "). The copy on disk is unchanged. Quit anyway?";
    return app.notices->ShowAlert({"Harmovia Could Not Save", message, "Quit", AlertIcon::Stop});
}

// Quitting while tunes are being added keeps the library as the add last saved it.
bool EndDuringAdd(App& app, bool mayAsk = true) {
    StoreWindowFrame(app);
    const OsError error = SavePreferences(app.preferences, *app.files, app.folder);
    if (error != kNoErr && mayAsk && !QuitDespiteFailedSave(app, "settings", error)) {
        return false;
    }
    EndEventLoop(app, error == kNoErr ? 0 : 1);
    return true;
}

bool AskQuitDuringAdd(App& app) {
    return app.notices->ShowAlert(
        {"Tunes Are Still Being Added to Your Database...",
         "Are you sure you want to quit? If so, you can simply re-add tunes from this folder "
         "at a later time.",
         "Quit"});
}

// "Saving Database" on the display; the save that follows runs once.
void StartSaving(App& app) {
    app.saving = true;
    if (app.window != nullptr) {
        app.window->ShowDisplayLines({"-", "Saving Database", "-"});
        app.window->repaint();
    }
}

// The save itself and the end. It runs once: whatever ended the program meanwhile (a
// session, the player's own save and exit) has saved already. With `mayAsk` false a failed
// save ends the program all the same, with status 1.
bool SaveNowAndExit(App& app, bool mayAsk) {
    if (app.ending) {
        return true;
    }
    StoreWindowFrame(app);
    int status = 0;
    if (const OsError error =
            app.libraryUnread ? kNoErr : SaveLibrary(*app.library, *app.files, app.folder);
        error != kNoErr) {
        if (mayAsk && !QuitDespiteFailedSave(app, "tunes database", error)) {
            app.saving = false;
            return false;
        }
        status = 1;
    }
    if (const OsError error = SavePreferences(app.preferences, *app.files, app.folder);
        error != kNoErr) {
        if (mayAsk && !QuitDespiteFailedSave(app, "settings", error)) {
            app.saving = false;
            return false;
        }
        status = 1;
    }
    EndEventLoop(app, status);
    return true;
}

// The write end of the pipe the signal handler wakes the event loop through: a signal
// handler can reach nothing but process-wide state.
volatile std::sig_atomic_t gSignalWriteFd = -1;

void OnTerminationSignal(int) {
    const char byte = 1;
    if (gSignalWriteFd >= 0) {
        [[maybe_unused]] const ssize_t n = ::write(gSignalWriteFd, &byte, 1);
    }
}

}  // namespace

App::App()
    : files(std::make_unique<DiskFileSystem>()),
      library(std::make_unique<Library>()),
      view(std::make_unique<ViewState>()),
      clock(std::make_unique<SystemClock>()) {}

App::~App() {
    // The add's workers and the player's service and movie go before what they reach.
    adding.reset();
    sending.reset();
    journey.reset();
    mpris.reset();
    playerContext.reset();
    player.reset();
    // The window owns the menu bar's widgets; it goes first.
    window.reset();
    menus.reset();
}

std::optional<int> StartUp(App& app, const StartUpPlatform& platform) {
    app.random = RandomSource::FromEntropy();
    // The system version check passes on every system this program builds for.
    if (platform.movies != nullptr && platform.movies->EnterMovies() != kNoErr) {
        app.notices->Beep(1);
        app.notices->ShowFatalAlert(
            "QuickTime 7 Error:",
            "Sorry, but you must have QuickTime 7 or later to use this software.");
        return 0;
    }
    // The genre table is constant data. Defaults:
    app.view->ViewMode = kModeAllTunes;
    app.library->TuneCount = app.library->CurrentTuneIndex = 0;
    app.preferences = DefaultPreferences(platform.displayWidth, platform.displayHeight);

    const auto folder = AppDataFolder(platform.environment);
    if (!folder) {
        app.notices->Beep(1);
        return 0;
    }
    app.folder = *folder;
    if (const OsError error = LoadPreferences(app.preferences, *app.files, app.folder);
        error != kNoErr && !CriticalError(app, error)) {
        return 0;
    }
    OsError lockError = kNoErr;
    app.lock = LibraryLock::TryAcquire(app.folder, &lockError);
    if (!app.lock) {
        app.notices->Beep(1);
        if (lockError == kPermErr) {
            app.notices->ShowFatalAlert(
                "Harmovia Is Already Open",
                "The Harmovia Database is in use by another Harmovia window or by "
                "\"harmovia-cli add\". Close it and start Harmovia again. Nothing was changed.");
        } else {
            app.notices->ShowFatalAlert("Harmovia Cannot Open Its Database",
                                        "The folder " + app.folder.string() +
                                            " cannot be locked (error " +
                                            std::to_string(lockError) + "). Nothing was changed.");
        }
        return 1;
    }
    const LibraryLoadResult loaded = LoadLibrary(*app.library, *app.files, app.folder);
    if (loaded.error != kNoErr) {
        if (!CriticalError(app, loaded.error)) {
            return 0;
        }
        // Going on with what could be read must not cost the tunes that could not: a save
        // of this library would replace (or, empty, remove) the file.
        app.libraryUnread = true;
        app.notices->ShowAlert(
            {"Harmovia Could Not Read Its Database",
             "The Harmovia Database could not be read (error " + std::to_string(loaded.error) +
                 "). It is left as it is: Harmovia will not save over it until it is started "
                 "again and can read it.",
             "Okay", AlertIcon::Stop});
    }
    BuildView(*app.view, *app.library, *app.clock, app.random);

    app.menus = std::make_unique<QtMenuBar>(
        [&app](int16_t menu, int16_t item) { HandleMenuCommand(app, menu, item); },
        [&app] { QuitCommand(app); });
    BuildMenuBar(*app.menus);
    ShowKeepMoodPlaylistsItem(app);
    app.window = std::make_unique<MainWindow>(app);
    app.notices->SetWindow(app.window.get());
    app.window->show();
    app.window->activateWindow();
    if (!app.movies) {
        app.movies = MakeFfmpegMoviePlayer(AudioOutputChoice::Device);
    }
    WirePlayer(app);
    app.framework = platform.movies;
    if (app.framework == nullptr) {
        app.ownFramework = MakeFfmpegMovieFramework();
        app.framework = app.ownFramework.get();
        (void)app.framework->EnterMovies();  // a failure shows when an add starts
    }
    app.musicFolder = MusicFolder(platform.environment);
    // Kept mood playlists catch up with a change that never reached them (a quit in the
    // middle of an add); the files that are right already are not touched. Not over a
    // library that could not be read: its playlists would all come out empty.
    if (!app.libraryUnread) {
        QTimer::singleShot(0, app.window.get(), [&app] { RewriteKeptMoodPlaylists(app); });
    }
    app.environment = platform.environment;
    if (!app.scripts) {
        app.scripts = std::make_unique<OsascriptRunner>(platform.environment);
    }
    if (!app.chooseFolder) {
        app.chooseFolder = ChooseFolderWithDialog;
    }
    app.eventHook = [&app] { TickPlayer(app); };

    // A session that ends asks only when its manager lets it, and keeps the session going
    // when the user stays. An ending nobody asked about still saves; by then the event loop
    // is over, so there is nobody to ask and no pause.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, app.window.get(),
                     [&app](QSessionManager& manager) {
                         const bool mayAsk = manager.allowsInteraction();
                         const bool ends = EndSession(app, mayAsk);
                         if (mayAsk) {
                             manager.release();
                             if (!ends) {
                                 manager.cancel();
                             }
                         }
                     });
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, app.window.get(), [&app] {
        if (!app.ending) {
            StartSaving(app);
            SaveNowAndExit(app, false);
        }
    });

    if (app.library->TuneCount == 0) {
        for (int16_t menu = kFileMenu; menu <= kPlayerMenu; ++menu) {
            app.menus->SetMenuItem(menu, 0, kItemEnabled);
        }
        app.window->ShowWelcomeSheet();
        app.AutoImportChoice = ImportChoice::Yes;
    }

    // Started by whatever needs it (WakeTicks) and stopped by the tick when nothing does:
    // an idle program does not wake up.
    app.rhythm = new QTimer(app.window.get());
    app.rhythm->setInterval(kEventLoopWaitMilliseconds);
    app.rhythm->setTimerType(Qt::PreciseTimer);
    QObject::connect(app.rhythm, &QTimer::timeout, app.rhythm, [&app] {
        if (app.eventHook && !app.ending) {
            app.eventHook();
        }
    });
#if defined(__GLIBC__)
    // Start-up's passing buffers (the library file's bytes, the first build's scratch)
    // would otherwise stay in the process for as long as it runs, mostly idle.
    malloc_trim(0);
#endif
    return std::nullopt;
}

void StoreWindowFrame(App& app) {
    if (app.window == nullptr) {
        return;
    }
    const QRect frame = app.window->geometry();
    app.preferences.WindowLeft = static_cast<int16_t>(frame.x());
    app.preferences.WindowTop = static_cast<int16_t>(frame.y());
    app.preferences.WindowWidth = static_cast<int16_t>(frame.width());
    app.preferences.WindowHeight = static_cast<int16_t>(frame.height());
}

bool QuitCommand(App& app) {
    if (app.ending || app.saving) {
        return true;
    }
    if (app.AddingTunes) {
        return AskQuitDuringAdd(app) && EndDuringAdd(app);
    }
    return SaveAndExit(app);
}

bool SaveAndExit(App& app) {
    if (app.ending || app.saving) {
        return true;
    }
    StartSaving(app);
    // The pause lets "Saving Database" be seen; the save is what is left of the command.
    auto ends = std::make_shared<bool>(true);
    app.notices->After(kSavingPauseMilliseconds,
                       [&app, ends] { *ends = SaveNowAndExit(app, true); });
    return *ends;
}

bool EndSession(App& app, bool mayAsk) {
    if (app.ending) {
        return true;
    }
    if (app.AddingTunes) {
        return (!mayAsk || AskQuitDuringAdd(app)) && EndDuringAdd(app, mayAsk);
    }
    StartSaving(app);
    return SaveNowAndExit(app, mayAsk);
}

bool CriticalError(App& app, OsError error) {
    if (IsIgnoredOsError(error)) {
        return true;
    }
    app.notices->ShowFatalAlert("Critical Error " + std::to_string(error),
                                "Sorry, but a critial error has occurred and Harmovia must quit.");
    EndEventLoop(app, 0);
    return false;
}

void InstallTerminationHandler(App& app) {
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(fds[0], QSocketNotifier::Read, app.window.get());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [&app, fd = fds[0]] {
        char byte = 0;
        [[maybe_unused]] const ssize_t n = ::read(fd, &byte, 1);
        // Nobody may be there to answer: a signal saves without asking.
        if (!app.ending) {
            app.AddingTunes ? EndDuringAdd(app) : SaveAndExit(app);
        }
    });
    gSignalWriteFd = fds[1];
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

}  // namespace harmovia
