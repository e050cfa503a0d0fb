// Renders the splash window and each panel arrangement of the main window to PNG files, for
// checking by eye that every caption is readable and nothing is clipped:
//   platine_render_screens OUTPUT_FOLDER
// Run it on a real display (or a virtual X server) to see the platform's own fonts.

#include "app/app_shell.h"
#include "app/main_window.h"
#include "app/splash_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

bool save(QWidget *window, const QString &path)
{
    QTest::qWait(100);
    // The whole window, frame-less: menu bar, client area and status bar.
    const QPixmap pixmap = window->grab();
    if (!pixmap.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void trigger(platine::MainWindow &window, const char *name)
{
    if (auto *action = window.findChild<QAction *>(QString::fromLatin1(name)))
        action->trigger();
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir settings;
    platine::MainWindowOptions options;
    options.settingsPath = settings.filePath(QStringLiteral("param.ini"));
    options.clock = [] { return QDateTime(QDate(2007, 11, 23), QTime(14, 37, 52)); };

    bool ok = true;
    platine::SplashWindow splash;
    splash.show();
    ok &= save(&splash, out.filePath(QStringLiteral("splash.png")));
    splash.hide();

    platine::MainWindow window(options);
    window.show();
    QTest::qWait(1200);  // the status clocks have ticked
    ok &= save(&window, out.filePath(QStringLiteral("empty.png")));
    trigger(window, "n_prog");
    ok &= save(&window, out.filePath(QStringLiteral("frame4.png")));
    trigger(window, "n_heure_platine");
    ok &= save(&window, out.filePath(QStringLiteral("frame4_frame3.png")));
    trigger(window, "n_mise_a_l_heure");
    ok &= save(&window, out.filePath(QStringLiteral("frame1_frame3.png")));
    trigger(window, "n_position");
    ok &= save(&window, out.filePath(QStringLiteral("frame5.png")));
    return ok ? 0 : 1;
}
