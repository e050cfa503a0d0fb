// The start-up sequence: the splash window Form2, its pictures and credit line, and the hand
// over to the main window.

#include "app/app_shell.h"
#include "app/main_window.h"
#include "app/splash_pictures.h"
#include "app/splash_window.h"
#include "widgets/app_info.h"

#include "support/caption_check.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>
#include <thread>

using namespace platine;

Q_DECLARE_METATYPE(platine::MainWindow *)

namespace {

int mainWindowCount()
{
    int count = 0;
    for (const QWidget *widget : QApplication::topLevelWidgets())
        count += qobject_cast<const MainWindow *>(widget) != nullptr;
    return count;
}

// Number of distinct colours in a widget's picture.
int colourCount(QWidget *widget)
{
    const QImage image = widget->grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

}  // namespace

class SplashTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void splashShowsFirstWithItsLayout();
    void picturesAreDrawn();
    void clickHandsOverToTheMainWindow_data();
    void clickHandsOverToTheMainWindow();
    void clickOnTheCreditDoesNothing();
    void secondClickCannotOpenASecondWindow();
    void captionsFit();
    void programRunsUntilTheMainWindowCloses();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<AppShell> shell_;
};

void SplashTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    MainWindowOptions options;
    options.settingsPath = dir_->filePath(QStringLiteral("param.ini"));
    shell_ = std::make_unique<AppShell>(options);
    shell_->start();
    QVERIFY(shell_->splash());
    QVERIFY(QTest::qWaitForWindowExposed(shell_->splash()));
}

void SplashTest::cleanup()
{
    shell_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(mainWindowCount(), 0);
    dir_.reset();
}

void SplashTest::splashShowsFirstWithItsLayout()
{
    SplashWindow *splash = shell_->splash();
    QCOMPARE(splash->objectName(), QStringLiteral("Form2"));
    QVERIFY(splash->isVisible());
    QVERIFY(!shell_->mainWindow());
    QCOMPARE(mainWindowCount(), 0);

    const QString prefix = QStringLiteral("Paramètrage platine de contrôle - ");
    QVERIFY(splash->windowTitle().startsWith(prefix));
    QVERIFY(splash->windowTitle().size() > prefix.size());

    // Client area 8775 x 7590 twips; controls at their twip places.
    QCOMPARE(splash->size(), QSize(585, 506));
    QCOMPARE(splash->titlePicture()->objectName(), QStringLiteral("Picture3"));
    QCOMPARE(splash->titlePicture()->geometry(), QRect(12, 42, 565, 203));
    QCOMPARE(splash->boardPicture()->objectName(), QStringLiteral("Picture1"));
    QCOMPARE(splash->boardPicture()->geometry(), QRect(194, 256, 241, 163));
    QCOMPARE(splash->creditLabel()->objectName(), QStringLiteral("Label1"));
    QCOMPARE(splash->creditLabel()->geometry(), QRect(14, 480, 93, 17));
    QCOMPARE(splash->creditLabel()->text(), authorCredit());
    QVERIFY(!splash->creditLabel()->text().isEmpty());
}

void SplashTest::picturesAreDrawn()
{
    // Both pictures are real drawings, not empty boxes.
    QVERIFY(colourCount(shell_->splash()->titlePicture()) > 20);
    QVERIFY(colourCount(shell_->splash()->boardPicture()) > 20);
    // The pictures shipped for them fit their places at both scales; otherwise the boxes draw
    // them at start-up (render_splash_pictures writes them again). Those of two device pixels
    // per pixel are expected and decoded on another thread, as the start does, while the
    // splash asks for them.
    SplashPicture::expectShippedPictures(2);
    std::thread decoder(&SplashPicture::decodeExpectedPictures);
    const auto joinDecoder = qScopeGuard([&decoder] { decoder.join(); });
    for (const int scale : {2, 1}) {
        for (const SplashPicture *box :
             {shell_->splash()->titlePicture(), shell_->splash()->boardPicture()}) {
            const QImage shipped = SplashPicture::shippedPicture(box->kind(), scale);
            QCOMPARE(shipped.size(), box->size() * scale);
            QCOMPARE(shipped.convertToFormat(QImage::Format_ARGB32_Premultiplied).pixel(0, 0),
                     SplashPicture::drawPicture(box->kind(), box->size(), scale).pixel(0, 0));
        }
    }
}

void SplashTest::clickHandsOverToTheMainWindow_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QPoint>("point");  // in the target; null: its centre
    QTest::newRow("background") << QStringLiteral("Form2") << QPoint(300, 20);
    QTest::newRow("background, bottom right") << QStringLiteral("Form2") << QPoint(570, 495);
    QTest::newRow("title drawing") << QStringLiteral("Picture3") << QPoint();
    QTest::newRow("board picture") << QStringLiteral("Picture1") << QPoint();
    QTest::newRow("board picture, corner") << QStringLiteral("Picture1") << QPoint(1, 1);
}

void SplashTest::clickHandsOverToTheMainWindow()
{
    QFETCH(QString, target);
    QFETCH(QPoint, point);
    QPointer<SplashWindow> splash = shell_->splash();
    QWidget *widget =
        splash->objectName() == target ? splash.data() : splash->findChild<QWidget *>(target);
    QVERIFY(widget);
    QSignalSpy loaded(shell_.get(), &AppShell::mainWindowLoaded);

    QTest::mouseClick(widget, Qt::LeftButton, {}, point.isNull() ? widget->rect().center() : point);

    // The splash is closed and released, not merely hidden.
    QVERIFY(!splash || !splash->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(splash.isNull());
    QVERIFY(!shell_->splash());

    // The main window is loaded once and shown.
    QCOMPARE(loaded.count(), 1);
    MainWindow *window = shell_->mainWindow();
    QVERIFY(window);
    QCOMPARE(loaded.at(0).at(0).value<MainWindow *>(), window);
    QVERIFY(window->isVisible());
    QCOMPARE(mainWindowCount(), 1);
    QCOMPARE(window->settingsPath(), dir_->filePath(QStringLiteral("param.ini")));
}

void SplashTest::clickOnTheCreditDoesNothing()
{
    QPointer<SplashWindow> splash = shell_->splash();
    QSignalSpy handOver(splash.data(), &SplashWindow::handOver);
    QTest::mouseClick(splash->creditLabel(), Qt::LeftButton);
    QTest::mouseClick(splash->creditLabel(), Qt::LeftButton, {}, QPoint(2, 2));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!splash.isNull());
    QVERIFY(splash->isVisible());
    QCOMPARE(handOver.count(), 0);
    QVERIFY(!shell_->mainWindow());
    QCOMPARE(mainWindowCount(), 0);

    // Only a left-button click counts.
    QTest::mouseClick(splash.data(), Qt::RightButton, {}, QPoint(300, 20));
    QVERIFY(splash->isVisible());
    QCOMPARE(handOver.count(), 0);
}

void SplashTest::secondClickCannotOpenASecondWindow()
{
    QPointer<SplashWindow> splash = shell_->splash();
    QSignalSpy handOver(splash.data(), &SplashWindow::handOver);
    QSignalSpy loaded(shell_.get(), &AppShell::mainWindowLoaded);
    QTest::mouseClick(splash->boardPicture(), Qt::LeftButton);
    // Events already queued for the splash before it goes away change nothing.
    QTest::mouseClick(splash->titlePicture(), Qt::LeftButton);
    QTest::mouseClick(splash.data(), Qt::LeftButton, {}, QPoint(300, 20));
    QCOMPARE(handOver.count(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(splash.isNull());
    QCOMPARE(loaded.count(), 1);
    QCOMPARE(mainWindowCount(), 1);

    // The main window is only ever loaded once.
    shell_->showMainWindow();
    QCOMPARE(loaded.count(), 1);
    QCOMPARE(mainWindowCount(), 1);
}

void SplashTest::captionsFit()
{
    const QStringList problems = platine::test::captionProblems(shell_->splash());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void SplashTest::programRunsUntilTheMainWindowCloses()
{
    // With the application's event loop running: closing the splash by a click must not end
    // the program; closing the main window does.
    QPointer<SplashWindow> splash = shell_->splash();
    bool shownAfterHandOver = false;
    QTimer click;
    click.setSingleShot(true);
    connect(&click, &QTimer::timeout, this, [&] {
        if (splash)
            QTest::mouseClick(splash->titlePicture(), Qt::LeftButton);
    });
    QTimer closeMain;
    closeMain.setSingleShot(true);
    connect(&closeMain, &QTimer::timeout, this, [&] {
        MainWindow *window = shell_->mainWindow();
        shownAfterHandOver = window && window->isVisible() && !splash;
        if (window)
            window->close();
    });
    QTimer safety;
    safety.setSingleShot(true);
    connect(&safety, &QTimer::timeout, this, [] { QCoreApplication::exit(99); });
    click.start(50);
    closeMain.start(400);
    safety.start(5000);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(shownAfterHandOver);
    QVERIFY(!closeMain.isActive());
}

QTEST_MAIN(SplashTest)
#include "test_splash.moc"
