// harmovia: the desktop program. Everything it is lives in shell/; this starts it.

#include <QApplication>
#include <QScreen>

#include "platform/movie_ffmpeg.h"
#include "platform/movie_playback_ffmpeg.h"
#include "shell/app_state.h"
#include "shell/artwork.h"
#include "shell/notices.h"
#include "shell/startup.h"

int main(int argc, char** argv) {
    QApplication qt(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Harmovia"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.harmovia.Harmovia"));
    QApplication::setWindowIcon(harmovia::ProgramIcon());
    // The program ends only through its quit paths, which save first.
    QApplication::setQuitOnLastWindowClosed(false);

    harmovia::QtNotices notices;
    harmovia::App app;
    app.notices = &notices;
    app.movies = harmovia::MakeFfmpegMoviePlayer(harmovia::AudioOutputChoice::Device);
    const auto movies = harmovia::MakeFfmpegMovieFramework();
    const QRect display = QGuiApplication::primaryScreen()->geometry();
    const harmovia::StartUpPlatform platform{harmovia::ProcessEnvironment(), movies.get(),
                                             display.width(), display.height()};
    if (const auto status = harmovia::StartUp(app, platform)) {
        return *status;
    }
    harmovia::InstallTerminationHandler(app);
    return QApplication::exec();
}
