#pragma once

// Alerts, overlay notices, the welcome sheet and the About window, drawn with Qt.

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "shell/command.h"
#include "shell/shell_notices.h"

class QDialog;

namespace harmovia {

struct App;

inline constexpr int kOverlayWindow = 7999;
inline constexpr int kWelcomeSheetWindow = 4444;
inline constexpr int kAboutWindow = 14;
inline constexpr int kAboutDoneButton = 19002;
inline constexpr int32_t kWelcomeContinueButton = 4402;
inline constexpr int32_t kWelcomeYesRadio = 4404;
inline constexpr int32_t kWelcomeNoRadio = 4405;

// The object name a window of the program is found by: "window" and its number.
QString WindowObjectName(int window);

// The notice overlay: a frameless translucent window with a white-rimmed panel.
class OverlayWindow final : public QWidget {
    Q_OBJECT
  public:
    OverlayWindow(QString text, MoodColour panel, int fontPixels);
    int FontPixels() const { return fontPixels_; }
    QString Text() const { return text_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString text_;
    QColor panel_;
    int fontPixels_;
};

// Where a notice overlay goes over a window whose content is `content`: half its size,
// centred on it.
ScreenRect OverlayFrame(const ScreenRect& content);

// Nothing here waits in a nested event loop: an overlay fades in on a timer and stays up on
// another while the user reads it, and a pause runs the rest of its command from a timer.
class QtNotices final : public ShellNotices {
  public:
    QtNotices();
    ~QtNotices() override;
    // Alerts are modal to `window` (nullptr before the main window exists).
    void SetWindow(QWidget* window) override { window_ = window; }

    void Beep(int times) override;
    bool ShowAlert(const Alert& alert) override;
    void ShowOverlayNotice(std::string_view text, int mood) override;
    void CloseOverlay() override;
    // Keeps the overlay on screen for `milliseconds` after its fade; a CloseOverlay meanwhile
    // takes effect when that time is over. Returns at once.
    void WaitMilliseconds(int milliseconds) override;
    void After(int milliseconds, std::function<void()> then) override;
    void ShowFatalAlert(std::string_view title, std::string_view message) override;
    ErrorAlertChoice ShowErrorAlert(std::string_view message, int32_t errorNumber) override;
    void ShowSavingOverlay(const ScreenRect& frame, MoodColour panel) override;

    OverlayWindow* Overlay() const { return overlay_; }

  private:
    void OpenOverlay(const ScreenRect& frame, const QString& text, MoodColour panel,
                     int fontPixels);
    void FadeStep();
    // The overlay is to stay up while the user reads it.
    bool Reading() const;
    void CloseNow();

    QPointer<QWidget> window_;
    QPointer<OverlayWindow> overlay_;
    QTimer fade_;
    QTimer hold_;
    QObject context_;  // the continuations' receiver while there is no window
    int fadeStep_ = 0;
    int holdMilliseconds_ = 0;  // asked for during the fade; the hold starts when it ends
    bool closeWhenRead_ = false;
};

// Closes a sheet that may be closing from inside its own button's click: hidden now, deleted
// once that click has returned.
void CloseSheetLater(QDialog* sheet);

// The welcome sheet (window 4444): a window-modal dialog over `parent` whose buttons go to
// HandleControlEvent.
QDialog* MakeWelcomeSheet(App& app, QWidget* parent);
// What a hit on the welcome sheet's control `id` does (Command::None for its labels).
Command WelcomeSheetCommand(int32_t id);
// The About window (window 14), made the first time and brought forward afterwards.
void ShowAboutWindow(App& app, QWidget* parent);
// The About window over `parent` once it has been made, else nullptr.
QDialog* FindAboutWindow(const QWidget* parent);

}  // namespace harmovia
