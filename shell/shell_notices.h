#pragma once

// What the desktop program tells the user beyond the core's notices: the fatal alerts of
// start-up (one "Quit" button), the error alert (Quit / Stop / Continue) and the
// "Saving Database..." overlay. The program draws them with Qt; tests record them.

#include <cstdint>
#include <functional>
#include <string_view>

#include "library/mood.h"
#include "platform/user_notices.h"

class QWidget;

namespace harmovia {

enum class ErrorAlertChoice { Quit, Stop, Continue };

// A rectangle in screen coordinates.
struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

class ShellNotices : public UserNotices {
  public:
    // A condition the program cannot run with: the alert's only button is "Quit".
    virtual void ShowFatalAlert(std::string_view title, std::string_view message) = 0;
    // A failure the program cannot handle, with its error number.
    virtual ErrorAlertChoice ShowErrorAlert(std::string_view message, int32_t errorNumber) = 0;
    // "Saving Database..." over the window frame `frame`, on a panel of colour `panel`.
    virtual void ShowSavingOverlay(const ScreenRect& frame, MoodColour panel) = 0;
    // The window alerts and overlays belong to, once it exists.
    virtual void SetWindow(QWidget* /*window*/) {}
    // The rest of a command after a pause of `milliseconds`: run later from the event loop
    // (the command has returned by then), never inside the caller. Notices that show
    // nothing have nothing to pause for and run it at once.
    virtual void After(int /*milliseconds*/, std::function<void()> then) { then(); }
};

}  // namespace harmovia
