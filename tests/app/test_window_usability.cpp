// What a new user meets in the main window: messages that are read whole and go when they are
// dealt with, the port's state always in sight, the keyboard, small windows, file names and
// the names screen readers give.
#include "panels/clock_display_panel.h"
#include "panels/clock_panel.h"
#include "app/main_window.h"
#include "app/message_strip.h"
#include "app/port_indicator.h"
#include "app/splash_window.h"
#include "link/board_link.h"
#include "link/serial_control.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"
#include "support/pty_board.h"
#include "widgets/contrast.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace platine;
using platine::test::PtyBoard;

class WindowUsabilityTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void longFieldMessageIsShownWholeAndGoesWhenTheFieldIsEdited();
    void portIndicatorFollowsThePort();
    void boardTextIsGreyedWhileThePortIsClosed();
    void shortcutsAndMnemonicsReachTheirEntries();
    void splashClosesFromTheKeyboard_data();
    void splashClosesFromTheKeyboard();
    void clientAreaScrollsInASmallWindow();
    void savedNameGetsTheProgramExtension();
    void screenReadersGetMeaningfulNames();
    void openingAPanelPutsTheFocusInIt();

private:
    void startWindow();
    void choose(const QString &name);

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<MainWindow> window_;
};

void WindowUsabilityTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    startWindow();
}

void WindowUsabilityTest::cleanup()
{
    window_.reset();
    dir_.reset();
}

void WindowUsabilityTest::startWindow()
{
    MainWindowOptions options;
    options.settingsPath = dir_->filePath(QStringLiteral("param.ini"));
    window_ = std::make_unique<MainWindow>(options);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void WindowUsabilityTest::choose(const QString &name)
{
    auto *action = window_->findChild<QAction *>(name);
    QVERIFY2(action, qPrintable(name));
    action->trigger();
}

void WindowUsabilityTest::longFieldMessageIsShownWholeAndGoesWhenTheFieldIsEdited()
{
    choose(QStringLiteral("n_prog"));
    ProgramPanel *panel = window_->programPanel();
    QTest::mouseClick(panel->uploadButton(), Qt::LeftButton);  // every field is still empty
    MessageStrip *strip = window_->messageStrip();
    QCOMPARE(strip->kind(), MessageStrip::Kind::Error);
    QCOMPARE(strip->text(),
             QStringLiteral("Programme non envoyé : 50 champs ne peuvent pas être envoyés, marqués "
                            "en rouge. Le premier, « Relais N°1, Début 1 » est vide ; attendu "
                            "hh:mm:ss, par exemple 08:30:00. Le Relais N°1 est inactif, mais les "
                            "relais inactifs sont envoyés aussi. « Corriger » va donner aux "
                            "relais vides et inactifs (N°1, N°2, N°3, N°4, N°5, N°6) les valeurs "
                            "de « Nouveau » ; rien n'est envoyé avant."));
    // The whole text fits the strip at the window's own size.
    auto *label = strip->findChild<QLabel *>(QStringLiteral("messageText"));
    QVERIFY(label);
    QTRY_VERIFY(label->height() >= label->heightForWidth(label->width()));
    QVERIFY(label->width() <= strip->width());

    // Another message is not taken away by editing the field.
    QLineEdit *field = panel->editor().textField(0);
    QVERIFY(field->hasFocus());
    QTest::keyClick(field, Qt::Key_0);
    QCOMPARE(strip->kind(), MessageStrip::Kind::None);
    QCOMPARE(strip->text(), QString());

    // The clock panel's field message goes the same way.
    choose(QStringLiteral("n_mise_a_l_heure"));
    window_->clockPanel()->field(ClockField::Hours)->setText(QStringLiteral("x"));
    QTest::mouseClick(window_->clockPanel()->programmingButton(), Qt::LeftButton);
    QVERIFY2(strip->text().startsWith(QStringLiteral("Heure non envoyée")),
             qPrintable(strip->text()));
    QTest::keyClick(window_->clockPanel()->field(ClockField::Hours), Qt::Key_Backspace);
    QCOMPARE(strip->text(), QString());
}

void WindowUsabilityTest::portIndicatorFollowsThePort()
{
    auto board = std::make_unique<PtyBoard>();
    QVERIFY2(board->isOpen(), qPrintable(board->errorString()));
    PortIndicator *indicator = window_->portIndicator();
    QVERIFY2(indicator->text().contains(QStringLiteral("9600 8N1")), qPrintable(indicator->text()));
    QVERIFY2(indicator->text().endsWith(QStringLiteral("fermé")), qPrintable(indicator->text()));

    window_->link().usePort(board->slavePath());
    window_->link().setTimerIntervals(BoardLink::kReceiveDelayMs, 100);
    choose(QStringLiteral("n_heure_platine"));
    QTest::mouseClick(window_->clockDisplayPanel()->openPortButton(), Qt::LeftButton);
    QCOMPARE(indicator->state(), PortIndicator::State::Open);
    QVERIFY2(indicator->text().contains(board->slavePath()), qPrintable(indicator->text()));
    QVERIFY2(indicator->text().endsWith(QStringLiteral("ouvert")), qPrintable(indicator->text()));

    // A send arms Timer3, which closes the port the user opened to watch the board: say why.
    QVERIFY(window_->link().send(QByteArray("A\x14\x37\x52\x23\x11\x07\x06", 8)));
    QTRY_COMPARE(indicator->state(), PortIndicator::State::ClosedAfterSending);
    QVERIFY2(
        indicator->text().contains(QStringLiteral("fermé automatiquement 0.1 s après l'envoi")),
        qPrintable(indicator->text()));

    // The adapter is pulled out while the port is open.
    QTest::mouseClick(window_->clockDisplayPanel()->openPortButton(), Qt::LeftButton);
    QCOMPARE(indicator->state(), PortIndicator::State::Open);
    board.reset();
    QTRY_COMPARE_WITH_TIMEOUT(indicator->state(), PortIndicator::State::Lost, 5000);
    QVERIFY(!window_->link().isPortOpen());
}

void WindowUsabilityTest::boardTextIsGreyedWhileThePortIsClosed()
{
    PtyBoard board;
    QVERIFY2(board.isOpen(), qPrintable(board.errorString()));
    const auto textColour = [](const QLineEdit *field) {
        return field->palette().color(QPalette::Active, QPalette::Text);
    };
    QLineEdit *text1 = window_->clockDisplayPanel()->boardText();
    QLineEdit *text3 = window_->programPanel()->boardTextMirror();
    // The palette's grey, darkened until it reads on the field (the yellow display included).
    const auto grey = [](const QLineEdit *field) {
        return readableOn(QPalette().color(QPalette::Disabled, QPalette::Text),
                          field->palette().color(QPalette::Active, QPalette::Base));
    };
    const QColor live = QPalette().color(QPalette::Active, QPalette::Text);
    QVERIFY(grey(text1) != live && grey(text3) != live);
    QCOMPARE(textColour(text1), grey(text1));
    QCOMPARE(textColour(text3), grey(text3));

    window_->link().usePort(board.slavePath());
    choose(QStringLiteral("n_heure_platine"));
    QTest::mouseClick(window_->clockDisplayPanel()->openPortButton(), Qt::LeftButton);
    QCOMPARE(textColour(text1), live);
    QCOMPARE(textColour(text3), live);
    QTest::mouseClick(window_->clockDisplayPanel()->closePortButton(), Qt::LeftButton);
    QCOMPARE(textColour(text1), grey(text1));
    QCOMPARE(textColour(window_->clockPanel()->boardTextMirror()), grey(window_->clockPanel()->boardTextMirror()));
}

void WindowUsabilityTest::shortcutsAndMnemonicsReachTheirEntries()
{
    const QList<std::pair<QString, QKeySequence>> shortcuts = {
        {QStringLiteral("n_ouvrir"), QKeySequence(Qt::CTRL | Qt::Key_O)},
        {QStringLiteral("n_enregistrer"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
        {QStringLiteral("n_quit"), QKeySequence(Qt::CTRL | Qt::Key_Q)},
        {QStringLiteral("n_sauver"), QKeySequence(Qt::CTRL | Qt::Key_S)},
    };
    QStringList asked;
    window_->setFilePrompt([&asked](QWidget *, MainWindow::FileDialogMode mode) {
        asked.append(mode == MainWindow::FileDialogMode::Save ? QStringLiteral("save")
                                                              : QStringLiteral("open"));
        return QString();  // cancelled
    });
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    for (const auto &[name, keys] : shortcuts) {
        auto *action = window_->findChild<QAction *>(name);
        QVERIFY2(action, qPrintable(name));
        QCOMPARE(action->shortcut(), keys);
        if (name == QStringLiteral("n_quit"))
            continue;  // it would end the test program
        QSignalSpy triggered(action, &QAction::triggered);
        QTest::keySequence(window_.get(), keys);
        QCOMPARE(triggered.size(), 1);
    }
    // "Enregistrer" without a current file asks for one, as "Enregistrer sous".
    QCOMPARE(asked,
             (QStringList{QStringLiteral("open"), QStringLiteral("save"), QStringLiteral("save")}));

    // Every menu and entry has an Alt letter, and no two on the same level share one.
    const auto checkLevel = [](const QList<QAction *> &actions) {
        QSet<QChar> letters;
        for (const QAction *action : actions) {
            if (action->text().trimmed().isEmpty() || action->isSeparator())
                continue;
            const qsizetype at = action->text().indexOf(u'&');
            QVERIFY2(at >= 0 && at + 1 < action->text().size(), qPrintable(action->text()));
            const QChar letter = action->text().at(at + 1).toLower();
            QVERIFY2(!letters.contains(letter), qPrintable(action->text()));
            letters.insert(letter);
        }
    };
    checkLevel(window_->menuBar()->actions());
    for (const QAction *top : window_->menuBar()->actions()) {
        if (top->menu())
            checkLevel(top->menu()->actions());
    }
}

void WindowUsabilityTest::splashClosesFromTheKeyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("Escape") << int(Qt::Key_Escape);
}

void WindowUsabilityTest::splashClosesFromTheKeyboard()
{
    QFETCH(int, key);
    auto *splash = new SplashWindow;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    QSignalSpy handedOver(splash, &SplashWindow::handOver);
    splash->show();
    QVERIFY(QTest::qWaitForWindowExposed(splash));
    QTest::keyClick(splash, Qt::Key(key));
    QCOMPARE(handedOver.size(), 1);
}

void WindowUsabilityTest::clientAreaScrollsInASmallWindow()
{
    auto *scroll = window_->findChild<QScrollArea *>(QStringLiteral("clientScroll"));
    QVERIFY(scroll);
    QWidget *client = window_->findChild<QWidget *>(QStringLiteral("clientArea"));
    QVERIFY(client);
    const QSize specified = client->size();
    // The window opens no larger than the screen; with room enough the whole client area
    // shows without scroll bars.
    const QSize screen = window_->screen()->availableGeometry().size();
    QVERIFY(window_->width() <= screen.width() && window_->height() <= screen.height());
    window_->resize(specified + QSize(40, 200));
    QTRY_COMPARE(scroll->verticalScrollBar()->maximum(), 0);
    QCOMPARE(scroll->horizontalScrollBar()->maximum(), 0);

    window_->resize(400, 300);
    QTRY_VERIFY(scroll->verticalScrollBar()->maximum() > 0);
    QVERIFY(scroll->horizontalScrollBar()->maximum() > 0);
    QCOMPARE(client->size(), specified);
    // "Programmer" and "Quitter" can still be reached.
    choose(QStringLiteral("n_prog"));
    scroll->ensureWidgetVisible(window_->programPanel()->uploadButton());
    const QPoint corner = window_->programPanel()->uploadButton()->mapTo(scroll->viewport(), QPoint());
    QVERIFY(scroll->viewport()->rect().contains(corner));
}

void WindowUsabilityTest::savedNameGetsTheProgramExtension()
{
    const QString typed = dir_->filePath(QStringLiteral("serre"));
    window_->setFilePrompt([&typed](QWidget *, MainWindow::FileDialogMode) { return typed; });
    choose(QStringLiteral("n_enregistrer"));
    QVERIFY(QFileInfo::exists(typed + QStringLiteral(".txt")));
    QVERIFY(!QFileInfo::exists(typed));
    QVERIFY2(window_->windowTitle().endsWith(QStringLiteral("serre.txt")),
             qPrintable(window_->windowTitle()));

    // A name with an extension of its own is kept as typed.
    const QString other = dir_->filePath(QStringLiteral("serre.ini"));
    window_->setFilePrompt([&other](QWidget *, MainWindow::FileDialogMode) { return other; });
    choose(QStringLiteral("n_enregistrer"));
    QVERIFY(QFileInfo::exists(other));
}

void WindowUsabilityTest::screenReadersGetMeaningfulNames()
{
    RelayEditor &editor = window_->programPanel()->editor();
    for (int r = 0; r < kRelayCount; ++r)
        QCOMPARE(editor.relayFrame(r)->accessibleName(), QStringLiteral("Relais N°%1").arg(r + 1));
    QCOMPARE(editor.dayList(0)->accessibleName(),
             QStringLiteral("Relais N°1, Jour(s) concerné(s)"));
    QCOMPARE(window_->clockDisplayPanel()->boardText()->accessibleName(),
             QStringLiteral("Heure envoyée par la platine"));
    QCOMPARE(window_->programPanel()->boardTextMirror()->accessibleName(),
             QStringLiteral("Texte reçu de la platine"));
    QCOMPARE(window_->clockPanel()->boardTextMirror()->accessibleName(),
             QStringLiteral("Texte reçu de la platine"));
    QVERIFY(!window_->programPanel()->quitButton()->toolTip().isEmpty());
    QVERIFY(window_->clockDisplayPanel()->boardText()->toolTip().contains(QStringLiteral("clic")));
}

// The keyboard goes where the user looks: each panel's first control, as it opens.
void WindowUsabilityTest::openingAPanelPutsTheFocusInIt()
{
    QApplication::setActiveWindow(window_.get());
    const QList<std::pair<QString, QString>> panels = {
        {QStringLiteral("n_prog"), QStringLiteral("Text2_0")},
        {QStringLiteral("n_mise_a_l_heure"), QStringLiteral("heure")},
        {QStringLiteral("n_heure_platine"), QStringLiteral("Command2")},
        {QStringLiteral("n_position"), QStringLiteral("Command10")},
        {QStringLiteral("n_prog"), QStringLiteral("Text2_0")},
    };
    for (const auto &[entry, control] : panels) {
        choose(entry);
        QWidget *focused = QApplication::focusWidget();
        QVERIFY2(focused && focused->objectName() == control,
                 qPrintable(entry + QStringLiteral(" -> ") +
                            (focused ? focused->objectName() : QStringLiteral("nothing"))));
    }
    // The blank entry of the menu bar is no stop for the keyboard.
    QVERIFY(!window_->findChild<QAction *>(QStringLiteral("n_blanc"))->isEnabled());
}

QTEST_MAIN(WindowUsabilityTest)
#include "test_window_usability.moc"
