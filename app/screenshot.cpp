// harmovia-screenshot OUT.png: starts the program as `harmovia` does (same data folder),
// waits until the window has painted, and saves what its windows show with QWidget::grab:
// OUT.png (the main window, with row 2 marked as playing), OUT-sheet.png (the welcome
// sheet, when it is open), OUT-about.png, OUT-menu.png (the Playlists menu),
// OUT-overlay.png, OUT-send.png (the send sheet) and OUT-adding.png (the add's progress
// sheet, over an empty folder). It saves nothing to the library. Used by scripts/screenshot; not
// installed.

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "browse/display_area.h"
#include "shell/add_session.h"
#include "shell/app_state.h"
#include "shell/commands.h"
#include "shell/main_window.h"
#include "shell/menu_table.h"
#include "shell/notices.h"
#include "shell/qt_menu_bar.h"
#include "shell/send_sheet.h"
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
        if (auto* about = harmovia::FindAboutWindow(&window)) {
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
        if (app.library->TuneCount > 0) {
            const auto send = harmovia::MenuPlaceOf(harmovia::Command::SendPlaylist);
            harmovia::HandleMenuCommand(app, send.menu, send.item);
            if (app.sending != nullptr) {
                QCoreApplication::processEvents();
                ok = app.sending->Sheet()->grab().save(Suffixed(out, "-send")) && ok;
                harmovia::CloseSendSheet(app);
            }
        }
        // The add never takes a step: the program is ending, so nothing is saved.
        app.ending = true;
        const QTemporaryDir empty;
        harmovia::StartAdd(app, std::filesystem::path(empty.path().toStdString()));
        if (app.adding != nullptr) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 0);
            ok = app.adding->Sheet()->grab().save(Suffixed(out, "-adding")) && ok;
        }
        QCoreApplication::exit(ok ? 0 : 1);
    });
    return QApplication::exec();
}
