// harmovia-screenshot OUT.png: starts the program as `harmovia` does (same data folder),
// waits until the window has painted, and saves what its windows show with QWidget::grab:
// OUT.png (the main window, with row 2 marked as playing), OUT-sheet.png (the welcome
// sheet, when it is open), OUT-about.png, OUT-menu.png (the Playlists menu) and
// OUT-overlay.png. It saves nothing to the library. Used by scripts/screenshot; not
// installed.

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "browse/display_area.h"
#include "shell/app_state.h"
#include "shell/main_window.h"
#include "shell/menu_table.h"
#include "shell/notices.h"
#include "shell/qt_menu_bar.h"
#include "shell/startup.h"

namespace {

QString Suffixed(const QString& out, const char* suffix) {
    QString path = out;
    path.chop(4);
    return path + QString::fromLatin1(suffix) + QStringLiteral(".png");
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    if (argc != 2 || !QString::fromLocal8Bit(argv[1]).endsWith(QStringLiteral(".png"))) {
        std::fprintf(stderr, "usage: harmovia-screenshot OUT.png\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QApplication::setQuitOnLastWindowClosed(false);
    harmovia::QtNotices notices;
    harmovia::App app;
    app.notices = &notices;
    const QRect display = QGuiApplication::primaryScreen()->geometry();
    if (const auto status = harmovia::StartUp(
            app, {harmovia::ProcessEnvironment(), nullptr, display.width(), display.height()})) {
        return *status;
    }
    harmovia::MainWindow& window = *app.window;
    if (app.view->List.ViewCount >= 2) {
        window.SetPlayingRow({app.view->ViewStamp, 2, true});
        window.SetPlayButton(2);
        window.ShowDisplayLines(harmovia::PlayingDisplayLines(app.view->Label, app.view->List[2]));
        window.SelectListRow(2);
    }
    QTimer::singleShot(400, &qt, [&] {
        bool ok = window.grab().save(out);
        if (QDialog* sheet = window.WelcomeSheet(); sheet != nullptr && sheet->isVisible()) {
            ok = sheet->grab().save(Suffixed(out, "-sheet")) && ok;
        }
        harmovia::ShowAboutWindow(app, &window);
        if (auto* about = window.findChild<QDialog*>(QStringLiteral("window14"))) {
            ok = about->grab().save(Suffixed(out, "-about")) && ok;
            about->close();
        }
        if (QMenu* playlists = app.menus->Menu(harmovia::kPlaylistsMenu)) {
            playlists->popup(window.mapToGlobal(QPoint(150, 20)));
            QCoreApplication::processEvents();
            ok = playlists->grab().save(Suffixed(out, "-menu")) && ok;
            playlists->hide();
        }
        notices.ShowOverlayNotice("No Deep Relaxation tunes...", 1);
        if (notices.Overlay() != nullptr) {
            ok = notices.Overlay()->grab().save(Suffixed(out, "-overlay")) && ok;
        }
        notices.CloseOverlay();
        app.ending = true;  // nothing is saved
        QCoreApplication::exit(ok ? 0 : 1);
    });
    return QApplication::exec();
}
