#pragma once

// The program's start and end: the start-up sequence, the quit command, the common save
// at the end of every orderly quit, and the error hook.

#include <optional>

#include "platform/app_folders.h"
#include "platform/os_error.h"

class QSize;

namespace harmovia {

struct App;
class MovieFramework;

// What start-up needs from outside the process.
struct StartUpPlatform {
    EnvironmentLookup environment;
    MovieFramework* movies = nullptr;
    int displayWidth = 0;  // the main display, for the window's default frame
    int displayHeight = 0;
};

// Runs start-up in order: random seed, platform checks, defaults, preferences, the
// library (under the one-writer lock), the All Tunes view, the menu bar, the main window
// (shown), the welcome sheet for an empty library. Nothing when the program may run; an
// exit status when it must end (the reason was shown through app.notices).
std::optional<int> StartUp(App& app, const StartUpPlatform& platform);

// The Quit command: asks first while tunes are being added. False when the program goes on.
bool QuitCommand(App& app);
// Shows "Saving Database", then after a short pause (a timer; the rest of the quit is its
// continuation) saves the library, then the preferences, and ends the event loop with
// status 0. A save that fails is reported, and the user may stay in the program (false, as
// soon as it is known: at once when the pause takes no time). While the pause runs, the
// doors take no command and a second quit does nothing.
bool SaveAndExit(App& app);
// A session that ends (log-out, shut-down): with `mayAsk` it asks as the Quit command does;
// without, it asks nothing and a failed save ends the program all the same (status 1).
// Either way the data is written before it returns. False when the program goes on.
bool EndSession(App& app, bool mayAsk);
// The error hook: codes in -61..-33 and -5500..-4999 are ignored (true: go on); any other
// shows the "Critical Error " alert and ends the program without saving (false).
bool CriticalError(App& app, OsError error);

// SIGTERM and SIGINT end the program as a quit does (saving), from the event loop.
void InstallTerminationHandler(App& app);
// The main window's content frame into WindowLeft, WindowTop, WindowWidth, WindowHeight.
void StoreWindowFrame(App& app);

}  // namespace harmovia
