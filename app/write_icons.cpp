// harmovia-icons FOLDER: writes the program icon as FOLDER/NxN/apps/harmovia.png for the
// sizes of the hicolor icon theme, painted as the program paints it. Run by the build.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "shell/artwork.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: harmovia-icons FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(folder).arg(size);
        const QString file = dir + QStringLiteral("/harmovia.png");
        if (!QDir().mkpath(dir) || !harmovia::ProgramIconImage(size).save(file)) {
            std::fprintf(stderr, "harmovia-icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
