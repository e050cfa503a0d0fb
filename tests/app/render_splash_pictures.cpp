// Draws the splash window's two pictures at their places' sizes, at one and at two device
// pixels per pixel, into the PNG files the program ships (src/app/data/splash_*.png):
//   platine_render_splash_pictures FOLDER
// Run it again, and commit the files, whenever a drawing or a picture's place changes (the
// splash test checks that the shipped pictures fit their places).

#include "app/splash_pictures.h"
#include "app/splash_window.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    using Kind = platine::SplashPicture::Kind;
    platine::SplashWindow splash;
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const struct
    {
        Kind kind;
        QSize size;
        const char *name;
    } pictures[] = {{Kind::Title, splash.titlePicture()->size(), "splash_title"},
                    {Kind::Board, splash.boardPicture()->size(), "splash_board"}};
    for (const auto &picture : pictures) {
        for (const int scale : {1, 2}) {
            const QString name = QString::fromLatin1(picture.name) +
                                 (scale == 2 ? QStringLiteral("@2x.png") : QStringLiteral(".png"));
            const QImage image =
                platine::SplashPicture::drawPicture(picture.kind, picture.size, scale);
            if (!image.save(folder.filePath(name), "PNG", 0)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(folder.filePath(name)));
                return 1;
            }
        }
    }
    return 0;
}
