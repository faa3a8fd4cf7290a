// harmovia-screenshot [--dark] OUT.png: starts the program as `harmovia` does (same data folder),
// waits until the window has painted, and saves what its windows show with QWidget::grab:
// OUT.png (the main window, with row 2 marked as playing), OUT-sheet.png (the welcome
// sheet, when it is open), OUT-about.png, OUT-menu.png (the Playlists menu),
// OUT-setmood.png (the screen with Edit > Set Mood For This Tune open), OUT-swatch.png (the
// window with the first swatch's tooltip), OUT-overlay.png, OUT-send.png (the send sheet) and
// OUT-adding.png (the add's progress
// sheet, over an empty folder). It saves nothing to the library. Used by scripts/screenshot; not
// installed. --dark grabs it under a dark Fusion palette, as a dark desktop shows it.

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
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
#include "shell/tune_list.h"

namespace {

QString Suffixed(const QString& out, const char* suffix) {
    QString path = out;
    path.chop(4);
    return path + QString::fromLatin1(suffix) + QStringLiteral(".png");
}

// A dark desktop's colours, as a platform theme hands them to the program.
QPalette DarkPalette() {
    QPalette p;
    const QColor window(0x2B, 0x2B, 0x2E);
    const QColor base(0x1E, 0x1E, 0x20);
    const QColor text(0xE8, 0xE8, 0xEA);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, QColor(0x26, 0x26, 0x29));
    p.setColor(QPalette::ToolTipBase, window);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3E));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Highlight, QColor(0x3D, 0x7A, 0xD6));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(0x90, 0x90, 0x94));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x70, 0x70, 0x74));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x70, 0x70, 0x74));
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    const bool dark = argc == 3 && QString::fromLocal8Bit(argv[1]) == QStringLiteral("--dark");
    if (argc != 2 + (dark ? 1 : 0) ||
        !QString::fromLocal8Bit(argv[argc - 1]).endsWith(QStringLiteral(".png"))) {
        std::fprintf(stderr, "usage: harmovia-screenshot [--dark] OUT.png\n");
        return 2;
    }
    if (dark) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(DarkPalette());
    }
    const QString out = QString::fromLocal8Bit(argv[argc - 1]);
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
        window.ShowDisplayLines(
            harmovia::PlayingDisplayLines(app.view->Label, app.view->List.Rows.Read(2)));
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
        QMenu* edit = app.menus->Menu(harmovia::kEditMenu);
        QMenu* moods = app.menus->Menu(harmovia::kSetMoodMenu);
        QAction* setMood = app.menus->Item(harmovia::kEditMenu, 17);
        if (edit != nullptr && moods != nullptr && setMood != nullptr) {
            edit->popup(window.mapToGlobal(QPoint(60, 20)));
            QCoreApplication::processEvents();
            edit->setActiveAction(setMood);
            moods->popup(edit->mapToGlobal(edit->actionGeometry(setMood).topRight()));
            QCoreApplication::processEvents();
            ok = QGuiApplication::primaryScreen()->grabWindow(0).save(Suffixed(out, "-setmood")) &&
                 ok;
            moods->hide();
            edit->hide();
        }
        if (app.view->List.ViewCount >= 1) {
            // The window with the first swatch's tooltip painted over it where it shows.
            const harmovia::TuneListModel& model = window.Model();
            const QModelIndex swatch = model.index(0, 2);
            const QPoint at = window.TuneList()->viewport()->mapToGlobal(
                window.TuneList()->visualRect(swatch).center());
            QToolTip::showText(at, model.data(swatch, Qt::ToolTipRole).toString(), &window);
            QPixmap shot = window.grab();
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (top->inherits("QTipLabel")) {
                    QPainter painter(&shot);
                    painter.drawPixmap(window.mapFromGlobal(top->pos()), top->grab());
                }
            }
            ok = shot.save(Suffixed(out, "-swatch")) && ok;
            QToolTip::hideText();
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
