// The windows at 200 % on a 1920×1080 screen (the test runs with QT_SCALE_FACTOR=2 on an
// offscreen screen of that size): each opens inside the screen, the main window keeps its
// status bar and message strip in sight and scrolls its client area, the week chart's labels
// do not overlap, and F1 opens the manual.
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/message_strip.h"
#include "app/port_indicator.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"
#include "panels/week_chart_view.h"
#include "panels/week_chart_window.h"
#include "support/fake_clock.h"
#include "support/main_window_fixture.h"
#include "support/relay_programs.h"

#include <QApplication>
#include <QImage>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

using namespace platine;
using namespace platine::test;

namespace {

// Inside the window, on screen and not squeezed to nothing.
bool showsWithin(const QWidget *widget, const QWidget *window)
{
    const QRect inWindow(widget->mapTo(window, QPoint(0, 0)), widget->size());
    return widget->isVisible() && widget->height() > 0 && window->rect().contains(inWindow);
}

// The rectangles two labels take do not overlap (a shared edge is fine).
QString firstOverlap(const QList<QRectF> &labels)
{
    for (qsizetype i = 0; i < labels.size(); ++i) {
        for (qsizetype j = i + 1; j < labels.size(); ++j) {
            if (labels[i].adjusted(0.5, 0.5, -0.5, -0.5).intersects(labels[j]))
                return QStringLiteral("labels %1 and %2 overlap").arg(i).arg(j);
        }
    }
    return {};
}

QList<QRectF> chartLabels(const QFont &font, QSize size, const WeekChart &chart)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(font);
    QList<QRectF> labels;
    paintWeekChart(painter, image.rect(), chart, &labels);
    return labels;
}

}  // namespace

class ScreenFitTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void mainWindowFitsWithItsStatusBarAndMessageStrip();
    void weekChartWindowFitsAndItsLabelsDoNotOverlap();
    void chartLabelsDoNotOverlapAtLargerFonts_data();
    void chartLabelsDoNotOverlapAtLargerFonts();
    void f1OpensTheManualInAWindowThatFits();

private:
    QRect available() const { return QGuiApplication::primaryScreen()->availableGeometry(); }

    FakeClock clock_{QDateTime(QDate(2026, 12, 9), QTime(18, 12, 13))};
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<MainWindow> window_;
};

void ScreenFitTest::initTestCase()
{
    // 1920×1080 at 200 %: 960×540 device-independent pixels.
    QCOMPARE(QGuiApplication::primaryScreen()->geometry().size(), QSize(960, 540));
    QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), 2.0);
}

void ScreenFitTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    window_ = shownMainWindow(windowOptions(*dir_, &clock_));
    QVERIFY(window_);
}

void ScreenFitTest::cleanup()
{
    window_.reset();
    dir_.reset();
}

void ScreenFitTest::mainWindowFitsWithItsStatusBarAndMessageStrip()
{
    QVERIFY(available().contains(window_->frameGeometry()));
    QVERIFY(showsWithin(window_->statusBar(), window_.get()));
    QVERIFY(showsWithin(window_->portIndicator(), window_.get()));
    QVERIFY(showsWithin(window_->messageStrip(), window_.get()));
    QVERIFY(window_->messageStrip()->height() >= window_->messageStrip()->minimumHeight());

    // The client area keeps its size and scrolls.
    auto *scroll = window_->findChild<QScrollArea *>(QStringLiteral("clientScroll"));
    QVERIFY(scroll && scroll->verticalScrollBar()->maximum() > 0);
}

void ScreenFitTest::weekChartWindowFitsAndItsLabelsDoNotOverlap()
{
    window_->programPanel()->editor().setProgram(encodableProgram());
    QVERIFY(chooseAction(*window_, QStringLiteral("n_semaine")));
    WeekChartWindow *chart = window_->weekChartWindow();
    QVERIFY(chart);
    QVERIFY(QTest::qWaitForWindowExposed(chart));

    QVERIFY(available().contains(chart->frameGeometry()));

    WeekChartView *view = chart->view();
    QVERIFY(view->width() >= view->minimumSizeHint().width());
    QVERIFY(view->height() >= view->minimumSizeHint().height());
    const QList<QRectF> labels = chartLabels(view->font(), view->size(), view->chart());
    QVERIFY(labels.size() >= 7 + 7 * 6 + 13);  // days, lanes, an hour label every two hours
    const QString overlap = firstOverlap(labels);
    QVERIFY2(overlap.isEmpty(), qPrintable(overlap));
}

void ScreenFitTest::chartLabelsDoNotOverlapAtLargerFonts_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<bool>("atMinimum");  // else in a small picture
    for (const double scale : {1.0, 1.5, 2.0}) {
        const QByteArray percent = QByteArray::number(int(scale * 100)) + " %";
        QTest::newRow(percent + ", smallest view") << scale << true;
        QTest::newRow(percent + ", 640×420 picture") << scale << false;
    }
}

// Fonts made larger (a desktop set to 150 % or 200 % by its font size): the chart still lays
// its labels out side by side, in the view at its smallest and in a picture too small for it.
void ScreenFitTest::chartLabelsDoNotOverlapAtLargerFonts()
{
    QFETCH(double, scale);
    QFETCH(bool, atMinimum);
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * scale);
    const WeekChart chart =
        buildWeekChart(encodableProgram(), QDate(2026, 12, 7), QDate(2026, 12, 9));
    const QSize size = atMinimum ? weekChartMinimumSize(font, chart) : QSize(640, 420);
    const QList<QRectF> labels = chartLabels(font, size, chart);
    QVERIFY(labels.size() >= 7 + 7 + 5);  // every day, a lane label per day at least, hours
    if (atMinimum)
        QVERIFY(labels.size() >= 7 + 7 * 6 + 13);
    const QString overlap = firstOverlap(labels);
    QVERIFY2(overlap.isEmpty(), qPrintable(overlap));
    for (const QRectF &label : labels)
        QVERIFY(QRectF(QPointF(0, 0), size).contains(label));
}

void ScreenFitTest::f1OpensTheManualInAWindowThatFits()
{
    QVERIFY(showAndWait(*window_, true));
    QTest::keyClick(window_.get(), Qt::Key_F1);
    auto *help = window_->findChild<HelpWindow *>();
    QVERIFY(help);
    QVERIFY(QTest::qWaitForWindowExposed(help));

    QVERIFY(available().contains(help->frameGeometry()));
    QCOMPARE(help->page(), QStringLiteral("platine"));
    const QString text = help->browser()->toPlainText();
    QVERIFY2(text.contains(QStringLiteral("--settings")), qPrintable(text.left(300)));
    QVERIFY(text.contains(QStringLiteral("Mise à l'heure platine")));
    // Its "platine-cli(1)" leads to that page.
    QVERIFY(help->browser()->toHtml().contains(QStringLiteral("platine-cli.1")));
    emit help->browser()->anchorClicked(QUrl(QStringLiteral("platine-cli.1")));
    QCOMPARE(help->page(), QStringLiteral("platine-cli"));
    QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("programmer")));

    // "Aide" in the menu bar shows the tool's page again, in the same window.
    QVERIFY(chooseAction(*window_, QStringLiteral("n_aide")));
    QCOMPARE(help->page(), QStringLiteral("platine"));
}

QTEST_MAIN(ScreenFitTest)
#include "test_screen_fit.moc"
