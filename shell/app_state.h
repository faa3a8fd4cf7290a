#pragma once

// The desktop program's state: one App, made by main() (tests make their own), owning the
// library, the preferences, the view and the program's windows. Main thread only.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "browse/view_state.h"
#include "export/send_playlist.h"
#include "library/preferences_file.h"
#include "library/random_source.h"
#include "library/tune_library.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/library_lock.h"
#include "platform/movie_player.h"
#include "player/player_context.h"
#include "player/player_state.h"
#include "shell/player_menus.h"
#include "shell/shell_notices.h"

class QTimer;

namespace harmovia {

class AddSession;
class MainWindow;
class MovieFramework;
class ScriptRunner;
class SendSheet;
class JourneySheet;
class MprisService;
class QtMenuBar;

// Which list is playing and where: the player's state as the tune list draws it. The
// playing row is marked only while its list is the list on screen (equal stamps).
struct PlayingMarker {
    uint64_t PlayingStamp = 0;
    int32_t NowPlayingIndex = 0;
    bool IsPlaying = false;
};

// The welcome sheet's radio choice, read when its Continue is clicked.
enum class ImportChoice : int16_t { None, Yes, No };

struct App {
    App();
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    std::filesystem::path folder;  // where the library and preferences live
    std::unique_ptr<FileSystem> files;
    std::unique_ptr<LibraryLock> lock;
    std::unique_ptr<Library> library;
    Preferences preferences;
    std::unique_ptr<ViewState> view;
    std::unique_ptr<Clock> clock;
    RandomSource random{1};

    ShellNotices* notices = nullptr;  // not owned
    std::unique_ptr<QtMenuBar> menus;
    std::unique_ptr<MainWindow> window;

    // The player: the movie player is given before start-up (the program's plays on the
    // audio device, tests' silently); start-up makes the rest once the window exists.
    // Declared so that a playing movie goes before its player.
    std::unique_ptr<MoviePlayer> movies;
    std::unique_ptr<PlayerState> player;
    std::unique_ptr<PlayerSeams> playerSeams;
    std::unique_ptr<PlayerContext> playerContext;
    std::unique_ptr<MprisService> mpris;

    // Adding tunes: the decoders the add measures with (the program's own unless start-up
    // was given one), the user's music folder, the folder chooser (tests script it) and
    // the add that runs, with its progress sheet.
    MovieFramework* framework = nullptr;
    std::unique_ptr<MovieFramework> ownFramework;
    std::optional<std::filesystem::path> musicFolder;
    std::function<std::optional<std::filesystem::path>(App&)> chooseFolder;
    std::unique_ptr<AddSession> adding;
    // Folders dropped on the window that wait for the add before them to end.
    std::vector<std::filesystem::path> droppedFolders;

    // Sending a list: the environment the send's targets are found in, the script runner
    // (the program's unless tests gave one), the open sheet and what the last send did.
    EnvironmentLookup environment;
    std::unique_ptr<ScriptRunner> scripts;
    std::unique_ptr<SendSheet> sending;
    SendReport lastSend;
    // The Mood Journey sheet while it is open.
    std::unique_ptr<JourneySheet> journey;
    // Hands a written playlist file to the desktop's music player (tests record it); the
    // desktop's handler of the file's type when not set. False when it could not.
    std::function<bool(const std::filesystem::path&)> openPlaylist;
    // The last rewrite of the kept mood playlists failed: the next failure is told quietly.
    bool moodPlaylistsFailing = false;

    // Requests and flags the player and the add task read and set.
    ImportChoice AutoImportChoice = ImportChoice::None;
    bool AddingTunes = false;
    bool StopAddingRequest = false;
    bool PlayFromSelectionRequest = false;
    PlayingMarker playing;
    // What the window shows of the player's controls (ShowPlayerControls keeps them).
    std::vector<MenuItemLook> shownPlayerItems;
    uint32_t shownRunsEnded = 0;
    int shownPlayButton = 1;
    // Shown every 2/60 s while something needs it (WakeTicks): the player's hook, once it
    // is wired. `rhythm` is the 2/60 s timer; it stops when nothing needs it.
    std::function<void()> eventHook;
    QTimer* rhythm = nullptr;
    bool tickPosted = false;  // a tick at once is on its way

    bool ending = false;  // the program is ending: nothing more is saved or shown
    // The quit's save is under way (its pause, or a question about a failed save): the doors
    // take no command and no second save starts.
    bool saving = false;
    // The library file could not be read whole at start: this session never writes over it.
    bool libraryUnread = false;
};

}  // namespace harmovia
