// first_paint full|bare [stay]: one process start until the first paint of its main window,
// then exit. "full" starts the desktop program over the library of $XDG_DATA_HOME (and
// saves nothing); "bare" shows an empty QMainWindow. Timed from outside by shell_bench.
// With "stay" the window stays up until the process is ended: the idle trial's baseline.

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <cstring>

#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell/startup.h"

namespace {

class SilentNotices final : public harmovia::ShellNotices {
  public:
    void Beep(int) override {}
    bool ShowAlert(const harmovia::Alert&) override { return false; }
    void ShowOverlayNotice(std::string_view, int) override {}
    void CloseOverlay() override {}
    void WaitMilliseconds(int) override {}
    void ShowFatalAlert(std::string_view, std::string_view) override {}
    harmovia::ErrorAlertChoice ShowErrorAlert(std::string_view, int32_t) override {
        return harmovia::ErrorAlertChoice::Continue;
    }
    void ShowSavingOverlay(const harmovia::ScreenRect&, harmovia::MoodColour) override {}
};

// Ends the event loop once the watched widget has painted.
class PaintWatch final : public QObject {
  public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3 ||
        (std::strcmp(argv[1], "full") != 0 && std::strcmp(argv[1], "bare") != 0) ||
        (argc == 3 && std::strcmp(argv[2], "stay") != 0)) {
        return 2;
    }
    const bool stay = argc == 3;
    QApplication qt(argc, argv);
    PaintWatch watch;
    if (std::strcmp(argv[1], "bare") == 0) {
        QMainWindow window;
        window.resize(1200, 700);
        if (!stay) {
            window.installEventFilter(&watch);
        }
        window.show();
        return QApplication::exec();
    }
    SilentNotices notices;
    harmovia::App app;
    app.notices = &notices;
    const QRect display = QGuiApplication::primaryScreen()->geometry();
    if (harmovia::StartUp(
            app, {harmovia::ProcessEnvironment(), nullptr, display.width(), display.height()})) {
        return 1;
    }
    app.window->TuneList()->viewport()->installEventFilter(&watch);
    const int status = QApplication::exec();
    app.ending = true;
    return status;
}
