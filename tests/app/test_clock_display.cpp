// The clock display panel and the "Port COM" entry: the board's text and its two mirrors,
// the port status label, the port choice and its settings entry. The board is a
// pseudo-terminal.

#include "panels/clock_display_panel.h"
#include "panels/clock_panel.h"
#include "app/main_window.h"
#include "app/message_strip.h"
#include "app/port_dialog.h"
#include "link/board_link.h"
#include "link/serial_control.h"
#include "panels/program_panel.h"

#include "support/main_window_fixture.h"
#include "support/pty_board.h"
#include "support/test_files.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace platine;
using platine::test::PtyBoard;
using platine::test::readBytes;

namespace {

// The value of key in section, read line by line as the file stands on disk.
QString iniValue(const QString &path, const QString &section, const QString &key)
{
    const QList<QByteArray> lines = readBytes(path).split('\n');
    bool inSection = false;
    for (QByteArray line : lines) {
        line = line.trimmed();
        if (line.startsWith('[')) {
            inSection = QString::fromLatin1(line) == u'[' + section + u']';
            continue;
        }
        if (inSection && line.startsWith(key.toLatin1() + '='))
            return QString::fromLatin1(line.mid(key.size() + 1));
    }
    return QStringLiteral("<missing>");
}

void writeSettings(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

}  // namespace

class ClockDisplayTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typingInText1CopiesEveryChangeToTheMirrors();
    void clickInText1EmptiesAllThree();
    void clickInEmptyText1StillEmptiesTheMirrors();
    void boardTextReplacesText1AndTheMirrors();
    void portButtonsAndQuitterFollowThePort();
    void label8TellsTheTruthWhenTheCloseTimerClosesThePort();
    void failedOpeningLeavesPortFermeAndSaysWhy();
    void portErrorGoesOnceThePortOpens();
    void portComWritesTheSettingAndTheNextStartUsesIt();
    void portComOffersTheCurrentPort();
    void portComEmptyAnswerChangesNothing_data();
    void portComEmptyAnswerChangesNothing();
    void portComWriteFailureIsShown();
    void portComThroughTheDialog();
    void portDialogOffersDetectedPortsAndKeepsTypedText();

private:
    std::unique_ptr<MainWindow> makeWindow();
    void choose(const char *name);

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<MainWindow> window_;
    QString settingsPath_;
};

void ClockDisplayTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    settingsPath_ = test::settingsPathIn(*dir_);
    window_ = makeWindow();
    QVERIFY(test::showAndWait(*window_));
    choose("n_heure_platine");
}

void ClockDisplayTest::cleanup()
{
    window_.reset();
    dir_.reset();
}

std::unique_ptr<MainWindow> ClockDisplayTest::makeWindow()
{
    MainWindowOptions options;
    options.settingsPath = settingsPath_;
    return std::make_unique<MainWindow>(options);
}

void ClockDisplayTest::choose(const char *name)
{
    QVERIFY2(test::chooseAction(*window_, QString::fromLatin1(name)), name);
}

void ClockDisplayTest::typingInText1CopiesEveryChangeToTheMirrors()
{
    QLineEdit *text1 = window_->clockDisplayPanel()->boardText();
    QLineEdit *text3 = window_->programPanel()->boardTextMirror();
    QLineEdit *text4 = window_->clockPanel()->boardTextMirror();
    text1->setFocus();
    text1->selectAll();
    const QString typed = QStringLiteral("12:34 Jeudi");
    for (qsizetype i = 0; i < typed.size(); ++i) {
        QTest::keyClick(text1, typed.at(i).toLatin1());
        QCOMPARE(text1->text(), typed.left(i + 1));
        QCOMPARE(text3->text(), typed.left(i + 1));
        QCOMPARE(text4->text(), typed.left(i + 1));
    }
    QTest::keyClick(text1, Qt::Key_Backspace);
    QCOMPARE(text3->text(), typed.chopped(1));
    QCOMPARE(text4->text(), typed.chopped(1));
}

void ClockDisplayTest::clickInText1EmptiesAllThree()
{
    QLineEdit *text1 = window_->clockDisplayPanel()->boardText();
    text1->setText(QStringLiteral("14:37:52 Vendredi"));
    QCOMPARE(window_->programPanel()->boardTextMirror()->text(), QStringLiteral("14:37:52 Vendredi"));
    QTest::mouseClick(text1, Qt::LeftButton, {}, QPoint(20, text1->height() / 2));
    QCOMPARE(text1->text(), QString());
    QCOMPARE(window_->programPanel()->boardTextMirror()->text(), QString());
    QCOMPARE(window_->clockPanel()->boardTextMirror()->text(), QString());
}

void ClockDisplayTest::clickInEmptyText1StillEmptiesTheMirrors()
{
    QLineEdit *text1 = window_->clockDisplayPanel()->boardText();
    text1->clear();
    // The user has typed into the mirrors since.
    window_->programPanel()->boardTextMirror()->setText(QStringLiteral("abc"));
    window_->clockPanel()->boardTextMirror()->setText(QStringLiteral("def"));
    QTest::mouseClick(text1, Qt::LeftButton, {}, QPoint(20, text1->height() / 2));
    QCOMPARE(window_->programPanel()->boardTextMirror()->text(), QString());
    QCOMPARE(window_->clockPanel()->boardTextMirror()->text(), QString());
}

void ClockDisplayTest::boardTextReplacesText1AndTheMirrors()
{
    PtyBoard board;
    QVERIFY2(board.isOpen(), qPrintable(board.errorString()));
    window_->setPortPrompt([&board](QWidget *, const QString &) { return board.slavePath(); });
    choose("n_port");
    QTest::mouseClick(window_->clockDisplayPanel()->openPortButton(), Qt::LeftButton);
    QVERIFY(window_->link().isPortOpen());

    // 30 characters, some outside ASCII: shown one character per byte.
    const QByteArray first("14:37:52 Vendredi 23/11/07 \xe9t\xe9");
    QCOMPARE(first.size(), 30);
    QVERIFY(board.write(first));
    const QString expected = QString::fromLatin1(first);
    QLineEdit *text1 = window_->clockDisplayPanel()->boardText();
    QTRY_COMPARE(text1->text(), expected);
    QCOMPARE(window_->programPanel()->boardTextMirror()->text(), expected);
    QCOMPARE(window_->clockPanel()->boardTextMirror()->text(), expected);

    // The next batch replaces the text; nothing is appended.
    const QByteArray second("14:37:53 Vendredi 23/11/2007 --");
    QVERIFY(board.write(second));
    QTRY_COMPARE(text1->text(), QString::fromLatin1(second));
    QCOMPARE(window_->clockPanel()->boardTextMirror()->text(), QString::fromLatin1(second));

    // The same text again, after the user has changed a mirror: the mirror shows it again.
    window_->clockPanel()->boardTextMirror()->setText(QStringLiteral("edited"));
    QVERIFY(board.write(second));
    QTRY_COMPARE(window_->clockPanel()->boardTextMirror()->text(), QString::fromLatin1(second));
}

void ClockDisplayTest::portButtonsAndQuitterFollowThePort()
{
    PtyBoard board;
    QVERIFY2(board.isOpen(), qPrintable(board.errorString()));
    window_->setPortPrompt([&board](QWidget *, const QString &) { return board.slavePath(); });
    choose("n_port");
    ClockDisplayPanel *frame3 = window_->clockDisplayPanel();
    QLabel *label8 = frame3->portStateLabel();

    // "Ouverture port" twice: open, "Port ouvert".
    QTest::mouseClick(frame3->openPortButton(), Qt::LeftButton);
    QVERIFY(window_->link().isPortOpen());
    QCOMPARE(label8->text(), QStringLiteral("Port ouvert"));
    QTest::mouseClick(frame3->openPortButton(), Qt::LeftButton);
    QVERIFY(window_->link().isPortOpen());
    QCOMPARE(label8->text(), QStringLiteral("Port ouvert"));
    QCOMPARE(window_->link().receiveThreshold(), 26);

    // "Quitter" hides the panel and leaves the port and the label as they are.
    QTest::mouseClick(frame3->quitButton(), Qt::LeftButton);
    QVERIFY(!frame3->isVisible());
    QVERIFY(window_->link().isPortOpen());
    QCOMPARE(label8->text(), QStringLiteral("Port ouvert"));

    // Shown again: still open. "Fermeture port" twice: closed, "Port fermé".
    choose("n_heure_platine");
    QTest::mouseClick(frame3->closePortButton(), Qt::LeftButton);
    QVERIFY(!window_->link().isPortOpen());
    QCOMPARE(label8->text(), QStringLiteral("Port fermé"));
    QTest::mouseClick(frame3->closePortButton(), Qt::LeftButton);
    QCOMPARE(label8->text(), QStringLiteral("Port fermé"));
}

void ClockDisplayTest::label8TellsTheTruthWhenTheCloseTimerClosesThePort()
{
    PtyBoard board;
    QVERIFY2(board.isOpen(), qPrintable(board.errorString()));
    window_->setPortPrompt([&board](QWidget *, const QString &) { return board.slavePath(); });
    choose("n_port");
    window_->link().setTimerIntervals(BoardLink::kReceiveDelayMs, 200);
    QTest::mouseClick(window_->clockDisplayPanel()->openPortButton(), Qt::LeftButton);
    QCOMPARE(window_->clockDisplayPanel()->portStateLabel()->text(), QStringLiteral("Port ouvert"));

    // A frame is sent; the close timer closes the port the user opened.
    QVERIFY(window_->link().send(QByteArray("A\x14\x37\x52\x23\x11\x07\x06", 8)));
    QCOMPARE(board.read(8), QByteArray("A\x14\x37\x52\x23\x11\x07\x06", 8));
    QTRY_VERIFY(!window_->link().isPortOpen());
    QCOMPARE(window_->clockDisplayPanel()->portStateLabel()->text(), QStringLiteral("Port fermé"));
}

void ClockDisplayTest::failedOpeningLeavesPortFermeAndSaysWhy()
{
    const QString missing = dir_->filePath(QStringLiteral("no-such-tty"));
    window_->setPortPrompt([&missing](QWidget *, const QString &) { return missing; });
    choose("n_port");
    QCOMPARE(window_->link().port(), missing);
    QTest::mouseClick(window_->clockDisplayPanel()->openPortButton(), Qt::LeftButton);
    QVERIFY(!window_->link().isPortOpen());
    QCOMPARE(window_->clockDisplayPanel()->portStateLabel()->text(), QStringLiteral("Port fermé"));
    const QString message = window_->messageStrip()->text();
    QVERIFY2(message.contains(QStringLiteral("no-such-tty")), qPrintable(message));
    QVERIFY(!QApplication::activeModalWidget());
}

// A port failure still on show goes once the port opens, by "Ouverture port" or by a send;
// other messages stay.
void ClockDisplayTest::portErrorGoesOnceThePortOpens()
{
    PtyBoard board;
    QVERIFY2(board.isOpen(), qPrintable(board.errorString()));
    MessageStrip *status = window_->messageStrip();
    QPushButton *open = window_->clockDisplayPanel()->openPortButton();
    const auto openFailsOn = [&](const QString &port) {
        window_->link().usePort(port);
        QTest::mouseClick(open, Qt::LeftButton);
        QVERIFY(status->text().startsWith(QStringLiteral("Impossible d'ouvrir")));
        window_->link().usePort(board.slavePath());
    };

    openFailsOn(QStringLiteral("/dev/ptmx"));
    QTest::mouseClick(open, Qt::LeftButton);
    QCOMPARE(window_->clockDisplayPanel()->portStateLabel()->text(), QStringLiteral("Port ouvert"));
    QCOMPARE(status->text(), QString());

    window_->link().closePort();
    openFailsOn(dir_->filePath(QStringLiteral("no-such-tty")));
    QVERIFY(window_->link().send(QByteArray("A\x14\x37\x52\x23\x11\x07\x06", 8)));
    QCOMPARE(status->text(), QString());

    window_->link().closePort();
    openFailsOn(dir_->filePath(QStringLiteral("no-such-tty")));
    choose("n_mise_a_l_heure");
    window_->clockPanel()->field(ClockField::Hours)->setText(QStringLiteral("x"));
    QTest::mouseClick(window_->clockPanel()->programmingButton(), Qt::LeftButton);
    const QString fieldError = status->text();
    QVERIFY2(fieldError.startsWith(QStringLiteral("Heure non envoyée")), qPrintable(fieldError));
    QTest::mouseClick(open, Qt::LeftButton);
    QVERIFY(window_->link().isPortOpen());
    QCOMPARE(status->text(), fieldError);
}

void ClockDisplayTest::portComWritesTheSettingAndTheNextStartUsesIt()
{
    window_->setPortPrompt([](QWidget *, const QString &) { return QStringLiteral("3"); });
    choose("n_port");
    QCOMPARE(iniValue(settingsPath_, QStringLiteral("Port COM"), QStringLiteral("valeur")),
             QStringLiteral("3"));
    QCOMPARE(window_->link().port(), QStringLiteral("3"));
    QVERIFY(!window_->link().isPortOpen());
    QCOMPARE(window_->clockDisplayPanel()->portStateLabel()->text(), QStringLiteral("Port fermé"));

    // The next start reads it.
    const std::unique_ptr<MainWindow> next = makeWindow();
    QCOMPARE(next->link().port(), QStringLiteral("3"));
    QVERIFY(!next->link().isPortOpen());
}

void ClockDisplayTest::portComOffersTheCurrentPort()
{
    writeSettings(settingsPath_, "[Port COM]\r\nvaleur=2\r\n");
    window_ = makeWindow();
    QString offered = QStringLiteral("<not asked>");
    QString answer = QStringLiteral("ttyUSB0");
    window_->setPortPrompt([&](QWidget *, const QString &current) {
        offered = current;
        return answer;
    });
    choose("n_port");
    QCOMPARE(offered, QStringLiteral("2"));
    choose("n_port");
    QCOMPARE(offered, QStringLiteral("ttyUSB0"));
    QCOMPARE(iniValue(settingsPath_, QStringLiteral("Port COM"), QStringLiteral("valeur")),
             QStringLiteral("ttyUSB0"));
}

void ClockDisplayTest::portComEmptyAnswerChangesNothing_data()
{
    QTest::addColumn<QByteArray>("before");  // empty: no settings file
    QTest::newRow("no settings file") << QByteArray();
    QTest::newRow("port 2 stored") << QByteArray("[Port COM]\r\nvaleur=2\r\n");
}

void ClockDisplayTest::portComEmptyAnswerChangesNothing()
{
    QFETCH(QByteArray, before);
    if (!before.isEmpty())
        writeSettings(settingsPath_, before);
    window_ = makeWindow();
    const QString port = window_->link().port();
    window_->setPortPrompt([](QWidget *, const QString &) { return QString(); });
    choose("n_port");
    QCOMPARE(window_->link().port(), port);
    if (before.isEmpty())
        QVERIFY(!QFile::exists(settingsPath_));
    else
        QCOMPARE(readBytes(settingsPath_), before);
}

void ClockDisplayTest::portComWriteFailureIsShown()
{
    // The settings file's folder does not exist: the write fails.
    settingsPath_ = dir_->filePath(QStringLiteral("missing/param.ini"));
    window_ = makeWindow();
    window_->setPortPrompt([](QWidget *, const QString &) { return QStringLiteral("4"); });
    choose("n_port");
    const QString message = window_->messageStrip()->text();
    QVERIFY2(message.contains(QStringLiteral("param.ini")), qPrintable(message));
    QVERIFY(!QFile::exists(settingsPath_));
    QVERIFY(!QApplication::activeModalWidget());
}

void ClockDisplayTest::portComThroughTheDialog()
{
    // The real dialog: answered with "5", then cancelled.
    auto answer = [](const QString &text, bool accept) {
        QTimer::singleShot(0, [text, accept] {
            auto *dialog = qobject_cast<PortDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Changement du port de communication"));
            auto *field = dialog->findChild<QComboBox *>(QStringLiteral("portField"));
            QVERIFY(field);
            field->setEditText(text);
            if (accept)
                dialog->accept();
            else
                dialog->reject();
        });
    };
    answer(QStringLiteral("5"), true);
    choose("n_port");
    QCOMPARE(iniValue(settingsPath_, QStringLiteral("Port COM"), QStringLiteral("valeur")),
             QStringLiteral("5"));
    const QByteArray stored = readBytes(settingsPath_);
    answer(QStringLiteral("6"), false);
    choose("n_port");
    QCOMPARE(readBytes(settingsPath_), stored);
    QCOMPARE(window_->link().port(), QStringLiteral("5"));
}

void ClockDisplayTest::portDialogOffersDetectedPortsAndKeepsTypedText()
{
    const QList<DetectedPort> ports = {{QStringLiteral("ttyUSB0"), QStringLiteral("USB Serial")},
                                       {QStringLiteral("ttyS0"), QString()}};
    PortDialog dialog(QStringLiteral("2"), ports);
    auto *field = dialog.findChild<QComboBox *>(QStringLiteral("portField"));
    QVERIFY(field);
    QVERIFY(field->isEditable());
    QCOMPARE(dialog.portText(), QStringLiteral("2"));
    QCOMPARE(field->count(), 2);
    QCOMPARE(field->itemText(0), QStringLiteral("ttyUSB0 (USB Serial)"));
    QCOMPARE(field->itemText(1), QStringLiteral("ttyS0"));
    bool promptFound = false;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        promptFound |= label->text() == QStringLiteral("Port de communication");
    QVERIFY(promptFound);

    // Choosing a detected port puts its name alone in the field.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    field->setFocus();
    QTest::keyClick(field, Qt::Key_Down);
    QCOMPARE(field->currentIndex(), 0);
    QCOMPARE(dialog.portText(), QStringLiteral("ttyUSB0"));
    QTest::keyClick(field, Qt::Key_Down);
    QCOMPARE(dialog.portText(), QStringLiteral("ttyS0"));

    // Typed text is taken as typed.
    field->lineEdit()->selectAll();
    QTest::keyClicks(field->lineEdit(), QStringLiteral(" 7x"));
    QCOMPARE(dialog.portText(), QStringLiteral(" 7x"));
}

QTEST_MAIN(ClockDisplayTest)
#include "test_clock_display.moc"
