// Renders the splash window and each panel arrangement of the main window to PNG files, for
// checking by eye that every caption is readable and nothing is clipped:
//   platine_render_screens OUTPUT_FOLDER
//   platine_render_screens OUTPUT_FOLDER SUFFIX
// Run it on a real display (or a virtual X server) to see the platform's own fonts. With a
// suffix (run at a scale such as QT_SCALE_FACTOR=2), it renders the windows as they open on
// that screen, each file named after its window and the suffix (empty_200.png...).

#include "app/app_shell.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/splash_window.h"
#include "app/translations.h"
#include "link/board_link.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"
#include "panels/week_chart_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
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

// Every relay programmed for the week of 19 November 2007; relay 1 has the typo 25:00.
platine::RelayProgram sampleProgram()
{
    using namespace platine;
    RelayProgram program;
    const char *const times[kRelayCount][kTimeSlotsPerRelay] = {
        {"06:30:00", "08:00:00", "11:45:00", "13:30:00", "25:00:00", "23:00:00"},
        {"07:00:00", "09:30:00", "17:00:00", "22:15:00", "00:00:00", "00:00:00"},
        {"20:00:00", "06:00:00", "12:00:00", "14:00:00", "00:00:00", "00:00:00"},
        {"09:00:00", "18:00:00", "00:00:00", "00:00:00", "00:00:00", "00:00:00"},
        {"05:45:00", "07:15:00", "19:00:00", "21:00:00", "00:00:00", "00:00:00"},
        {"10:00:00", "16:00:00", "00:00:00", "00:00:00", "00:00:00", "00:00:00"}};
    const char *const dates[2][kTimeSlotsPerRelay] = {
        {"20/11/2007", "22/11/2007", "24/11/2007", "24/11/2007", "01/01/2008", "01/01/2008"},
        {"23/11/2007", "23/11/2007", "01/01/2008", "01/01/2008", "01/01/2008", "01/01/2008"}};
    for (const RelayLayout &layout : relayLayouts()) {
        for (int row = 0; row < kTimeSlotsPerRelay; ++row) {
            program.texts[size_t(layout.firstTimeSlot + row)] =
                QString::fromLatin1(times[layout.relay - 1][row]);
            if (layout.firstDateSlot >= 0)
                program.texts[size_t(layout.firstDateSlot + row)] =
                    QString::fromLatin1(dates[layout.relay - 3][row]);
        }
        if (layout.monthYearSlot >= 0)
            program.texts[size_t(layout.monthYearSlot)] = QStringLiteral("11/2007");
        program.enables[size_t(layout.enableIndex)] = layout.relay == 4 ? 0 : 1;
    }
    program.dayChoices = {8, 7, 9, 5};
    return program;
}

void trigger(platine::MainWindow &window, const char *name)
{
    if (auto *action = window.findChild<QAction *>(QString::fromLatin1(name)))
        action->trigger();
}

}  // namespace

int main(int argc, char *argv[])
{
    // French, as the program starts.
    platine::useFrenchLocale();
    QApplication app(argc, argv);
    platine::keepCNumbers();
    platine::installFrenchTranslations(app);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [SUFFIX]\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir settings;
    platine::MainWindowOptions options;
    options.settingsPath = settings.filePath(QStringLiteral("param.ini"));
    options.clock = [] { return QDateTime(QDate(2007, 11, 23), QTime(14, 37, 52)); };

    bool ok = true;
    if (argc == 3) {
        // The windows as they open on this screen, at their own size.
        const QString suffix = QString::fromLocal8Bit(argv[2]);
        const auto name = [&](const char *base) {
            return out.filePath(QStringLiteral("%1_%2.png").arg(QLatin1String(base), suffix));
        };
        platine::MainWindow window(options);
        window.show();
        QTest::qWait(1200);
        ok &= save(&window, name("empty"));
        window.programPanel()->editor().setProgram(sampleProgram());
        trigger(window, "n_prog");
        ok &= save(&window, name("frame4"));
        // Scrolled to the far corner: the last relays and the status bar together.
        if (auto *scroll = window.findChild<QScrollArea *>(QStringLiteral("clientScroll"))) {
            scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
            scroll->horizontalScrollBar()->setValue(scroll->horizontalScrollBar()->maximum());
        }
        ok &= save(&window, name("frame4_scrolled"));
        trigger(window, "n_semaine");
        if (platine::WeekChartWindow *chart = window.weekChartWindow())
            ok &= save(chart, name("week_chart"));
        trigger(window, "n_aide");
        if (auto *help = window.findChild<platine::HelpWindow *>())
            ok &= save(help, name("help"));
        return ok ? 0 : 1;
    }
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

    // A full timetable with a typo: its remarks in the editor, then its week chart.
    window.programPanel()->editor().setProgram(sampleProgram());
    trigger(window, "n_prog");
    ok &= save(&window, out.filePath(QStringLiteral("frame4_remarks.png")));
    trigger(window, "n_semaine");
    if (platine::WeekChartWindow *chart = window.weekChartWindow()) {
        chart->resize(1100, 760);
        ok &= save(chart, out.filePath(QStringLiteral("week_chart.png")));
        ok &= chart->savePdf(out.filePath(QStringLiteral("week_chart.pdf"))).isEmpty();
        ok &= chart->savePng(out.filePath(QStringLiteral("week_chart_export.png"))).isEmpty();
        chart->hide();
    }
    // The board's clock 75 s ahead of the PC's.
    trigger(window, "n_heure_platine");
    emit window.link().textReceived(QStringLiteral("Vendredi 23/11/2007 14:39:07\r\n"));
    ok &= save(&window, out.filePath(QStringLiteral("frame3_drift.png")));
    return ok ? 0 : 1;
}
