#include "panels/clock_panel.h"
#include "app/main_window.h"
#include "app/message_strip.h"
#include "link/board_link.h"
#include "link/serial_control.h"

#include "support/fake_clock.h"
#include "support/main_window_fixture.h"
#include "support/pty_board.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace platine;
using platine::test::FakeClock;
using platine::test::PtyBoard;

class ClockSettingTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuEntryRefillsTheFieldsFromThePcClock();
    void heurePcFillsTheFields();
    void workedExamplesGoOutByteForByte_data();
    void workedExamplesGoOutByteForByte();
    void handTypedFieldsAreWhatGoesOut();
    void followsThePcClockUntilAFieldIsEdited();
    void sendingOnAnOpenPortKeepsItAndArmsTheCloseTimer();
    void unencodableFieldSendsNothing_data();
    void unencodableFieldSendsNothing();
    void fieldsHaveTheirCaptions();

private:
    void choose(const char *name);
    QStringList fieldTexts() const;
    void typeFields(const QStringList &texts);

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakeClock> clock_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<PtyBoard> board_;
};

void ClockSettingTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    clock_ = std::make_unique<FakeClock>(QDateTime(QDate(2010, 1, 1), QTime(0, 0, 0)));
    window_ = test::shownMainWindow(test::windowOptions(*dir_, clock_.get()));
    QVERIFY(window_);
    board_ = std::make_unique<PtyBoard>();
    QVERIFY2(board_->isOpen(), qPrintable(board_->errorString()));
    window_->link().usePort(board_->slavePath());
}

void ClockSettingTest::cleanup()
{
    window_.reset();
    board_.reset();
    dir_.reset();
}

void ClockSettingTest::choose(const char *name)
{
    QVERIFY2(test::chooseAction(*window_, QString::fromLatin1(name)), name);
}

QStringList ClockSettingTest::fieldTexts() const
{
    QStringList texts;
    for (int i = 0; i < kClockFieldCount; ++i)
        texts.append(window_->clockPanel()->field(static_cast<ClockField>(i))->text());
    return texts;
}

void ClockSettingTest::typeFields(const QStringList &texts)
{
    for (int i = 0; i < texts.size(); ++i) {
        QLineEdit *field = window_->clockPanel()->field(static_cast<ClockField>(i));
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, texts[i]);
    }
}

void ClockSettingTest::menuEntryRefillsTheFieldsFromThePcClock()
{
    ClockPanel *panel = window_->clockPanel();
    QCOMPARE(panel->field(ClockField::Hours)->text(), QStringLiteral(".."));
    panel->field(ClockField::Hours)->setText(QStringLiteral("typed"));
    choose("n_mise_a_l_heure");
    QVERIFY(panel->isVisible());
    QCOMPARE(fieldTexts(),
             (QStringList{QStringLiteral("00"), QStringLiteral("00"), QStringLiteral("00"),
                          QStringLiteral("01"), QStringLiteral("01"), QStringLiteral("2010"),
                          QStringLiteral("Vendredi")}));
}

void ClockSettingTest::heurePcFillsTheFields()
{
    choose("n_mise_a_l_heure");
    clock_->set(QDateTime(QDate(2007, 12, 30), QTime(9, 5, 7)));  // a Sunday
    QTest::mouseClick(window_->clockPanel()->pcClockButton(), Qt::LeftButton);
    QCOMPARE(fieldTexts(),
             (QStringList{QStringLiteral("09"), QStringLiteral("05"), QStringLiteral("07"),
                          QStringLiteral("30"), QStringLiteral("12"), QStringLiteral("2007"),
                          QStringLiteral("Dimanche")}));
}

void ClockSettingTest::workedExamplesGoOutByteForByte_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("Friday 23 November 2007, 14:37:52")
        << QDateTime(QDate(2007, 11, 23), QTime(14, 37, 52))
        << QByteArray::fromHex("4114375223110706");
    QTest::newRow("Sunday 1 March 2009, 08:05:09")
        << QDateTime(QDate(2009, 3, 1), QTime(8, 5, 9)) << QByteArray::fromHex("4108050901030901");
}

void ClockSettingTest::workedExamplesGoOutByteForByte()
{
    QFETCH(QDateTime, moment);
    QFETCH(QByteArray, frame);
    clock_->set(moment);
    choose("n_mise_a_l_heure");
    QLineEdit *text4 = window_->clockPanel()->boardTextMirror();
    text4->setText(QStringLiteral("old reply"));
    QTest::mouseClick(window_->clockPanel()->programmingButton(), Qt::LeftButton);
    QCOMPARE(text4->text(), QString());
    QCOMPARE(board_->read(8).toHex(' '), frame.toHex(' '));
    QCOMPARE(board_->readAll(100), QByteArray());
    QVERIFY(window_->link().isPortOpen());
    QVERIFY(window_->link().closeTimer().isActive());
}

void ClockSettingTest::handTypedFieldsAreWhatGoesOut()
{
    choose("n_mise_a_l_heure");
    // The day of the week follows the date as it is typed.
    typeFields({QStringLiteral("08"), QStringLiteral("05"), QStringLiteral("09"),
                QStringLiteral("01"), QStringLiteral("03"), QStringLiteral("2009")});
    QCOMPARE(fieldTexts().last(), QStringLiteral("Dimanche"));
    clock_->set(QDateTime(QDate(2010, 1, 1), QTime(0, 7, 0)));
    QTest::mouseClick(window_->clockPanel()->programmingButton(), Qt::LeftButton);
    QCOMPARE(board_->read(8).toHex(' '), QByteArray("41 08 05 09 01 03 09 01"));
    QCOMPARE(window_->messageStrip()->text(),
             QStringLiteral("Heure envoyée à la platine : dimanche 01/03/2009 08:05:09."));
}

// The panel left open sends the PC time of the click, not the one it showed when it opened.
void ClockSettingTest::followsThePcClockUntilAFieldIsEdited()
{
    ClockPanel *panel = window_->clockPanel();
    clock_->set(QDateTime(QDate(2026, 12, 9), QTime(18, 40, 42)));
    choose("n_mise_a_l_heure");
    QVERIFY(panel->followsPcClock());
    clock_->set(QDateTime(QDate(2026, 12, 9), QTime(18, 41, 5)));
    QTest::mouseClick(panel->programmingButton(), Qt::LeftButton);
    QCOMPARE(board_->read(8).toHex(' '), QByteArray("41 18 41 05 09 12 26 04"));
    QCOMPARE(window_->messageStrip()->text(),
             QStringLiteral("Heure envoyée à la platine : mercredi 09/12/2026 18:41:05."));

    // A tick refreshes the fields while they follow; an edit freezes them, and says so.
    clock_->set(QDateTime(QDate(2026, 12, 9), QTime(18, 41, 6)));
    panel->showPcTime(clock_->function()());
    QCOMPARE(fieldTexts().at(2), QStringLiteral("06"));
    typeFields({QStringLiteral("07")});
    QVERIFY(!panel->followsPcClock());
    QVERIFY(panel->sourceLabel()->text().contains(QStringLiteral("figée")));
    clock_->set(QDateTime(QDate(2026, 12, 9), QTime(18, 42, 0)));
    panel->showPcTime(clock_->function()());
    QCOMPARE(fieldTexts().at(0), QStringLiteral("07"));
    QTest::mouseClick(panel->programmingButton(), Qt::LeftButton);
    QCOMPARE(board_->read(8).toHex(' '), QByteArray("41 07 41 06 09 12 26 04"));

    QTest::mouseClick(panel->pcClockButton(), Qt::LeftButton);  // "heure PC" follows again
    QVERIFY(panel->followsPcClock());
    QCOMPARE(fieldTexts().at(1), QStringLiteral("42"));
}

void ClockSettingTest::sendingOnAnOpenPortKeepsItAndArmsTheCloseTimer()
{
    choose("n_heure_platine");
    choose("n_mise_a_l_heure");
    // Timer3 cannot close the port before the test has looked, however slow the machine.
    window_->link().setTimerIntervals(50, 60000);
    QTest::mouseClick(window_->findChild<QPushButton *>(QStringLiteral("Command2")),
                      Qt::LeftButton);
    QVERIFY(window_->link().isPortOpen());
    QVERIFY(!window_->link().closeTimer().isActive());
    QSignalSpy stateChanges(&window_->link(), &BoardLink::portOpenChanged);

    QTest::mouseClick(window_->clockPanel()->programmingButton(), Qt::LeftButton);
    QCOMPARE(board_->read(8).size(), 8);
    QCOMPARE(stateChanges.count(), 0);  // not closed and reopened
    QVERIFY(window_->link().closeTimer().isActive());
    // The close timer closes the port the user opened, and the label says so.
    window_->link().closeTimer().setInterval(400);  // a running timer starts again with it
    QTRY_VERIFY_WITH_TIMEOUT(!window_->link().isPortOpen(), 2000);
    QCOMPARE(window_->findChild<QLabel *>(QStringLiteral("Label8"))->text(),
             QStringLiteral("Port fermé"));
}

void ClockSettingTest::unencodableFieldSendsNothing_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("caption");
    QTest::newRow("one-digit minutes")
        << int(ClockField::Minutes) << QStringLiteral("7") << QStringLiteral("« Minutes »");
    QTest::newRow("empty hours") << int(ClockField::Hours) << QString()
                                 << QStringLiteral("« Heures »");
    QTest::newRow("two-digit year")
        << int(ClockField::Year) << QStringLiteral("09") << QStringLiteral("« Année »");
    QTest::newRow("hour 25") << int(ClockField::Hours) << QStringLiteral("25")
                             << QStringLiteral("« Heures » vaut 25");
    QTest::newRow("a weekday that is not the date's")
        << int(ClockField::WeekDay) << QStringLiteral("Lundi")
        << QStringLiteral("le 01/01/2010 est un vendredi, pas un lundi");
    QTest::newRow("a misspelt weekday") << int(ClockField::WeekDay) << QStringLiteral("Mercrdi")
                                        << QStringLiteral("« Mercrdi » n'en est pas un");
}

void ClockSettingTest::unencodableFieldSendsNothing()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, caption);
    choose("n_mise_a_l_heure");
    QLineEdit *edit = window_->clockPanel()->field(static_cast<ClockField>(field));
    const QColor normal = edit->palette().color(QPalette::Base);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
    QTest::mouseClick(window_->clockPanel()->programmingButton(), Qt::LeftButton);

    QCOMPARE(board_->readAll(300), QByteArray());
    QVERIFY(!window_->link().isPortOpen());
    QVERIFY(!window_->link().closeTimer().isActive());
    const QString message = window_->messageStrip()->text();
    QVERIFY2(message.contains(caption), qPrintable(message));
    QVERIFY(edit->hasFocus());
    QVERIFY(edit->palette().color(QPalette::Base) != normal);
    QTest::keyClicks(edit, QStringLiteral("1"));
    QCOMPARE(edit->palette().color(QPalette::Base), normal);
}

void ClockSettingTest::fieldsHaveTheirCaptions()
{
    const QStringList captions = {QStringLiteral("Heures"),
                                  QStringLiteral("Minutes"),
                                  QStringLiteral("Secondes"),
                                  QStringLiteral("Jour"),
                                  QStringLiteral("Mois"),
                                  QStringLiteral("Année"),
                                  QStringLiteral("Jour de la semaine")};
    const QStringList names = {QStringLiteral("heure"),      QStringLiteral("minutes"),
                               QStringLiteral("seconde"),    QStringLiteral("jour"),
                               QStringLiteral("mois"),       QStringLiteral("annee"),
                               QStringLiteral("numero_jour")};
    int previousTop = -1;
    for (int i = 0; i < kClockFieldCount; ++i) {
        auto *edit = window_->clockPanel()->findChild<QWidget *>(names[i]);
        QVERIFY2(edit, qPrintable(names[i]));
        QCOMPARE(edit->accessibleName(), captions[i]);
        auto *label =
            window_->clockPanel()->findChild<QLabel *>(QStringLiteral("Label3_%1").arg(i));
        QVERIFY(label);
        QCOMPARE(label->text(), captions[i]);
        QCOMPARE(label->buddy(), edit);
        QVERIFY(label->x() < edit->x());
        QVERIFY(edit->y() > previousTop);  // one under the other
        previousTop = edit->y();
    }
    // "Programmation", "heure PC", "Quitter" side by side along the bottom.
    ClockPanel *panel = window_->clockPanel();
    QCOMPARE(panel->programmingButton()->text(), QStringLiteral("Progra&mmation"));
    QCOMPARE(panel->pcClockButton()->text(), QStringLiteral("heure P&C"));
    QCOMPARE(panel->programmingButton()->y(), panel->quitButton()->y());
    QVERIFY(panel->programmingButton()->x() < panel->pcClockButton()->x());
    QVERIFY(panel->pcClockButton()->x() < panel->quitButton()->x());
}

QTEST_MAIN(ClockSettingTest)
#include "test_clock_setting.moc"
