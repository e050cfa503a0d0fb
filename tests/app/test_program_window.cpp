// The timetable through the main window: "Programmer" with a board on a pseudo-terminal,
// "Enregistrer sous" and "Ouvrir" with their files, and the restore of the last upload at the
// next start.

#include "app/main_window.h"
#include "app/message_strip.h"
#include "app/port_indicator.h"
#include "link/board_link.h"
#include "link/serial_control.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"
#include "panels/week_chart_window.h"
#include "store/program_file.h"
#include "widgets/field_mark.h"

#include "support/fake_clock.h"
#include "support/main_window_fixture.h"
#include "support/pty_board.h"
#include "support/small_disk.h"
#include "support/test_files.h"
#include "support/timers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
using platine::test::FakeClock;
using platine::test::PtyBoard;
using platine::test::readBytes;
using platine::test::restartsTimer;
using platine::test::SmallDisk;
using platine::test::typeText;
using platine::test::writeBytes;

namespace {

using Mode = MainWindow::FileDialogMode;

// "B" and the 124 program bytes.
constexpr qsizetype kFrameSize = 125;

// 31 December 2007 was a Monday: "Heure PC" writes 23:59:00, 31/12/2007 and 12/2007, and
// selects "Lundi" on relays 1 and 2.
const QDateTime kNewYearsEve(QDate(2007, 12, 31), QTime(23, 59, 59));

// A settings file as users have it: a comment, the port, a section of its own, and two
// program sections from an earlier upload in the middle of it.
const QByteArray kSettings = "; r\xe9glages de l'atelier\r\n"
                             "[Port COM]\r\n"
                             "valeur=3\r\n"
                             "\r\n"
                             "[txt3]\r\n"
                             "valeur=ancien\r\n"
                             "[Atelier]\r\n"
                             "nom=Serre n\xb0"
                             "2\r\n"
                             "[cmb0]\r\n"
                             "valeur=2\r\n";

// "[name]", "valeur=value", each line ending in CR LF: a section as a new one is laid out.
QByteArray newSection(const QString &name, const QString &value)
{
    return "[" + name.toLatin1() + "]\r\nvaleur=" + value.toLatin1() + "\r\n";
}

QString sectionName(int index)
{
    if (index < kTextSlotCount)
        return QStringLiteral("txt%1").arg(index);
    if (index < kTextSlotCount + kDayChoiceCount)
        return QStringLiteral("cmb%1").arg(index - kTextSlotCount);
    return QStringLiteral("chk%1").arg(index - kTextSlotCount - kDayChoiceCount);
}

// The 60 values, txt0..txt49, cmb0..cmb3, chk0..chk5, of the timetable written after "Heure PC"
// on every relay at kNewYearsEve.
QStringList heurePcValues()
{
    QStringList values;
    for (int i = 0; i < kTextSlotCount; ++i) {
        switch (textSlotInfo(i).kind) {
        case SlotKind::Time:
            values.append(QStringLiteral("23:59:00"));
            break;
        case SlotKind::Date:
            values.append(QStringLiteral("31/12/2007"));
            break;
        case SlotKind::MonthYear:
            values.append(QStringLiteral("12/2007"));
            break;
        }
    }
    values << QStringLiteral("1") << QStringLiteral("1") << QStringLiteral("0")
           << QStringLiteral("0");
    for (int i = 0; i < kRelayCount; ++i)
        values.append(QStringLiteral("0"));
    return values;
}

// What "Programmer" or "Enregistrer sous" makes of `original`: the values of the program
// sections it holds are replaced in place, the missing sections follow at its end in writing
// order, every other byte stays.
QByteArray expectedFile(QByteArray original, const QStringList &values)
{
    QByteArray added;
    for (int i = 0; i < values.size(); ++i) {
        const QByteArray header = "[" + sectionName(i).toLatin1() + "]\r\n";
        const qsizetype at = original.indexOf(header);
        if (at < 0) {
            added += newSection(sectionName(i), values[i]);
            continue;
        }
        // The section's "valeur=" line follows its header directly in these files.
        const qsizetype valueStart = at + header.size() + qsizetype(sizeof("valeur=") - 1);
        const qsizetype valueEnd = original.indexOf("\r\n", valueStart);
        original.replace(valueStart, valueEnd - valueStart, values[i].toLatin1());
    }
    return original + added;
}

}  // namespace

class ProgramWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void workedCasesTypedInTheEditorGoOutAndAreStored();
    void secondUploadWhilePortIsOpenRearmsTheCloseTimer();
    void saveThenOpenKeepsAllButTheDocumentedLosses();
    void openWithoutProgramSections_data();
    void openWithoutProgramSections();
    void saveIntoAnExistingFileKeepsEverythingElse();
    void openTakesTheNumberAtTheStartOfAValue_data();
    void openTakesTheNumberAtTheStartOfAValue();
    void cancelledFileDialogDoesNothing_data();
    void cancelledFileDialogDoesNothing();
    void fileThatCannotBeWrittenIsReported_data();
    void fileThatCannotBeWrittenIsReported();
    void fileThatCannotBeReadIsReported_data();
    void fileThatCannotBeReadIsReported();
    void restartShowsTheLastUploadNotTheLastSave();
    void savingIntoTheSettingsFileIsWhatTheNextStartShows();
    void restoreSkipsValuesOutOfRange();
    void unreadableSettingsFileLeavesTheEditorEmpty();
    void fieldThatCannotBeEncodedStopsEverything_data();
    void fieldThatCannotBeEncodedStopsEverything();
    void portThatCannotBeOpenedKeepsTheStoredProgram();
    void fullDiskKeepsTheSettingsAndTheProgramFile();
    void filesFromWindowsToolsRestoreTheSameTimetable_data();
    void filesFromWindowsToolsRestoreTheSameTimetable();
    void typoIsMarkedSentAsTypedAndTold();
    void firstStartProgramsRelayOneAlone();
    void relayCopyAndClearAreUndone();
    void boardClockDriftIsShownWhileWatching();
    void boardClockStatusNeverOutlivesItsPort();

private:
    void startWindow();
    RelayEditor &editor() const { return window_->programPanel()->editor(); }
    QString settings() const
    {
        return settingsPath_.isEmpty() ? dir_->filePath(QStringLiteral("param.ini"))
                                       : settingsPath_;
    }
    QString statusText() const { return window_->messageStrip()->text(); }
    QStringList editorValues() const;
    int enableValue(int box) const;
    void choose(const QString &name);
    void clickProgrammer();
    void pressEveryHeurePc();
    void typeInto(QLineEdit *field, const QString &text);
    void chooseDay(int list, const QString &item);
    void toggle(int box);
    // Opens the relay menu from the keyboard (Shift+F10) on field and picks the entry.
    void chooseFromRelayMenu(QWidget *field, const QString &entry);
    void verifyEditorIsEmpty();
    QByteArray frameFromBoard();

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakeClock> clock_;
    std::unique_ptr<PtyBoard> board_;
    std::unique_ptr<MainWindow> window_;
    QString settingsPath_;  // empty: param.ini in dir_
    QString portAtStart_;   // the port the window took from the settings file
    QString answer_;        // what the file dialog returns
    QList<Mode> asked_;
};

void ProgramWindowTest::init()
{
    settingsPath_.clear();
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    QVERIFY(writeBytes(settings(), kSettings));
    clock_ = std::make_unique<FakeClock>(kNewYearsEve);
    board_ = std::make_unique<PtyBoard>();
    QVERIFY2(board_->isOpen(), qPrintable(board_->errorString()));
    answer_.clear();
    asked_.clear();
    portAtStart_.clear();
}

void ProgramWindowTest::cleanup()
{
    window_.reset();
    board_.reset();
    dir_.reset();
}

// A window on the test's settings file, its programming panel shown and active, its port on
// the pseudo-terminal.
void ProgramWindowTest::startWindow()
{
    window_.reset();
    MainWindowOptions options;
    options.settingsPath = settings();
    options.clock = clock_->function();
    window_ = std::make_unique<MainWindow>(options);
    window_->setFilePrompt([this](QWidget *, Mode mode) {
        asked_.append(mode);
        return answer_;
    });
    // These cases open files over edited timetables on purpose: the save prompt has its own.
    window_->setSavePrompt([](QWidget *) { return SaveChoice::Discard; });
    portAtStart_ = window_->link().port();
    window_->link().usePort(board_->slavePath());
    window_->link().setTimerIntervals(50, 300);
    QVERIFY(test::showAndWait(*window_, true));
    choose(QStringLiteral("n_prog"));
    QVERIFY(window_->programPanel()->isVisible());
}

QStringList ProgramWindowTest::editorValues() const
{
    QStringList values;
    for (int i = 0; i < kTextSlotCount; ++i)
        values.append(editor().textField(i)->text());
    for (int i = 0; i < kDayChoiceCount; ++i)
        values.append(QString::number(editor().dayChoice(i)));
    for (int i = 0; i < kRelayCount; ++i)
        values.append(QString::number(enableValue(i)));
    return values;
}

// 0 clear, 1 ticked, 2 greyed.
int ProgramWindowTest::enableValue(int box) const
{
    switch (editor().enableBox(box)->checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        break;
    }
    return 2;
}

void ProgramWindowTest::choose(const QString &name)
{
    QVERIFY2(test::chooseAction(*window_, name), qPrintable(name));
}

void ProgramWindowTest::clickProgrammer()
{
    auto *button = window_->findChild<QPushButton *>(QStringLiteral("Command7"));
    QVERIFY(button);
    QVERIFY(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
}

void ProgramWindowTest::pressEveryHeurePc()
{
    for (int i = 0; i < kRelayCount; ++i)
        QTest::mouseClick(editor().heurePcButton(i), Qt::LeftButton);
}

// Selects what the field holds and types over it, as a user does.
void ProgramWindowTest::typeInto(QLineEdit *field, const QString &text)
{
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        typeText(field, text);
    QCOMPARE(field->text(), text);
}

// Chooses a day list's item from the keyboard: Home, then Down until it shows.
void ProgramWindowTest::chooseDay(int list, const QString &item)
{
    QComboBox *box = editor().dayList(list);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < box->count() && box->currentText() != item; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    QCOMPARE(box->itemText(box->currentIndex()), item);
}

void ProgramWindowTest::toggle(int box)
{
    QCheckBox *check = editor().enableBox(box);
    check->setFocus();
    QTest::keyClick(check, Qt::Key_Space);
}

void ProgramWindowTest::chooseFromRelayMenu(QWidget *field, const QString &entry)
{
    window_->activateWindow();  // the last menu may have taken the activation with it
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    field->setFocus();
    bool chosen = false;
    QTimer::singleShot(0, this, [&chosen, entry] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        for (QAction *action : menu ? menu->actions() : QList<QAction *>{}) {
            if (action->text() == entry && action->isEnabled()) {
                chosen = true;
                action->trigger();
            }
        }
        if (menu)
            menu->close();
    });
    QTest::keyClick(field, Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY2(chosen, qPrintable(entry));
}

void ProgramWindowTest::verifyEditorIsEmpty()
{
    for (int i = 0; i < kTextSlotCount; ++i)
        QVERIFY2(editor().textField(i)->text().isEmpty(), qPrintable(QString::number(i)));
    for (int i = 0; i < kDayChoiceCount; ++i) {
        QCOMPARE(editor().dayList(i)->currentIndex(), 0);
        QCOMPARE(editor().dayList(i)->currentText(), QStringLiteral("Dimanche"));
    }
    for (int i = 0; i < kRelayCount; ++i)
        QCOMPARE(editor().enableBox(i)->checkState(), Qt::Unchecked);
}

QByteArray ProgramWindowTest::frameFromBoard()
{
    return board_->read(kFrameSize, 3000);
}

// ---------------------------------------------------------------------------------------------

void ProgramWindowTest::workedCasesTypedInTheEditorGoOutAndAreStored()
{
    startWindow();
    // The earlier upload's two sections came back at the start.
    QCOMPARE(editor().textField(3)->text(), QStringLiteral("ancien"));
    QCOMPARE(editor().dayChoice(0), 2);

    pressEveryHeurePc();
    const QStringList times = {QStringLiteral("08:30:00"), QStringLiteral("12:15:00"),
                               QStringLiteral("14:00:00"), QStringLiteral("17:45:00"),
                               QStringLiteral("00:00:00"), QStringLiteral("00:00:00")};
    for (int i = 0; i < 6; ++i)
        typeInto(editor().textField(i), times[i]);
    chooseDay(0, QStringLiteral("Lundi à Vendredi"));
    toggle(0);
    typeInto(editor().textField(12), QStringLiteral("07:00:00"));
    typeInto(editor().textField(18), QStringLiteral("24/12/2007"));
    chooseDay(2, QStringLiteral("Tous les jours"));
    typeInto(editor().textField(42), QStringLiteral("03/2008"));
    toggle(5);
    QVERIFY(editor().enableBox(0)->isChecked());
    QVERIFY(editor().enableBox(5)->isChecked());

    window_->programPanel()->boardTextMirror()->setText(QStringLiteral("ancien texte"));
    clickProgrammer();
    QVERIFY(window_->programPanel()->boardTextMirror()->text().isEmpty());
    QVERIFY(window_->link().closeTimer().isActive());

    const QByteArray expected = QByteArray::fromHex(
        "42"
        // relay 1: the worked times, "Lundi à Vendredi", enabled
        "0830 1215 1400 1745 0000 0000  09  01"
        // relay 2: "Heure PC" on a Monday, not enabled
        "2359 2359 2359 2359 2359 2359  02  00"
        // relay 3: Text2_12 and Text2_18 typed, the rest from "Heure PC"
        "0700 2359 2359 2359 2359 2359  241207 311207 311207 311207 311207 311207  00"
        // relay 4
        "2359 2359 2359 2359 2359 2359  311207 311207 311207 311207 311207 311207  00"
        // relay 5: "Tous les jours", 03/2008
        "2359 2359 2359 2359 2359 2359  0a  000308  00"
        // relay 6: "Dimanche", 12/2007, enabled
        "2359 2359 2359 2359 2359 2359  01  001207  01");
    QCOMPARE(expected.size(), kFrameSize);
    const QByteArray frame = frameFromBoard();
    QCOMPARE(frame.toHex(' '), expected.toHex(' '));
    QCOMPARE(board_->readAll(100), QByteArray());

    QStringList values = heurePcValues();
    for (int i = 0; i < 6; ++i)
        values[i] = times[i];
    values[12] = QStringLiteral("07:00:00");
    values[18] = QStringLiteral("24/12/2007");
    values[42] = QStringLiteral("03/2008");
    values[kTextSlotCount + 0] = QStringLiteral("8");
    values[kTextSlotCount + 2] = QStringLiteral("9");
    values[kTextSlotCount + kDayChoiceCount + 0] = QStringLiteral("1");
    values[kTextSlotCount + kDayChoiceCount + 5] = QStringLiteral("1");
    QCOMPARE(readBytes(settings()), expectedFile(kSettings, values));

    // Timer3 closes the port it opened.
    QTRY_VERIFY_WITH_TIMEOUT(!window_->link().isPortOpen(), 3000);
}

void ProgramWindowTest::secondUploadWhilePortIsOpenRearmsTheCloseTimer()
{
    startWindow();
    pressEveryHeurePc();
    // Timer3 cannot close the port before the test has looked, however slow the machine, and
    // a restart shows to the millisecond.
    QTimer &timer3 = window_->link().closeTimer();
    window_->link().setTimerIntervals(50, 60000);
    timer3.setTimerType(Qt::PreciseTimer);
    clickProgrammer();
    QCOMPARE(frameFromBoard().size(), kFrameSize);
    typeInto(editor().textField(0), QStringLiteral("06:45:00"));
    QVERIFY(window_->link().isPortOpen());
    // Timer3 starts again from its full interval: the port stays open after the last frame.
    QString times;
    QVERIFY2(restartsTimer(
                 timer3, [this] { clickProgrammer(); }, &times),
             qPrintable(times));
    const QByteArray second = frameFromBoard();
    QCOMPARE(second.size(), kFrameSize);
    QCOMPARE(second.mid(1, 2).toHex(' '), QByteArray("06 45"));
    QCOMPARE(board_->readAll(100), QByteArray());
    timer3.setInterval(300);  // a running timer starts again with its new interval
    QTRY_VERIFY_WITH_TIMEOUT(!window_->link().isPortOpen(), 5000);
}

void ProgramWindowTest::saveThenOpenKeepsAllButTheDocumentedLosses()
{
    startWindow();
    const QString first = dir_->filePath(QStringLiteral("gris.txt"));
    // Greyed boxes come only from a file.
    QByteArray greyed;
    const char *checks[] = {"2", "1", "0", "2", "1", "0"};
    for (int i = 0; i < kRelayCount; ++i)
        greyed += newSection(QStringLiteral("chk%1").arg(i), QString::fromLatin1(checks[i]));
    QVERIFY(writeBytes(first, greyed));
    answer_ = first;
    choose(QStringLiteral("n_ouvrir"));
    QCOMPARE(editor().enableBox(0)->checkState(), Qt::PartiallyChecked);
    QCOMPARE(editor().enableBox(3)->checkState(), Qt::PartiallyChecked);

    QStringList texts;
    for (int i = 0; i < kTextSlotCount; ++i)
        texts.append(QStringLiteral("t%1").arg(i));
    texts[0] = QStringLiteral("08:30:00");
    texts[1] = QStringLiteral("abcdefghijklmnopqrstuvwxy");  // 25 characters
    texts[2] = QStringLiteral("  08:00:00  ");
    texts[3] = QStringLiteral("1234567890123456789");  // 19 characters
    texts[4] = QString();
    texts[5] = QStringLiteral("été à Noël");
    texts[6] = QStringLiteral("a=b;c [d]");
    texts[7] = QStringLiteral("[txt8]");
    texts[8] = QStringLiteral("€ 12:00 à 14:00");
    texts[49] = QStringLiteral("12/2007 x");
    for (int i = 0; i < kTextSlotCount; ++i)
        editor().textField(i)->setText(texts[i]);
    editor().setDayChoice(0, -1);
    QCOMPARE(editor().dayChoice(0), -1);
    chooseDay(1, QStringLiteral("Tous les jours"));
    chooseDay(2, QStringLiteral("Dimanche"));
    chooseDay(3, QStringLiteral("Vendredi"));

    const QString saved = dir_->filePath(QStringLiteral("programme.txt"));
    answer_ = saved;
    choose(QStringLiteral("n_enregistrer"));
    QVERIFY(QFileInfo::exists(saved));
    // The file is a program file: "chk" holds "0" for a greyed box.
    QCOMPARE(readProfileString(saved, QStringLiteral("chk0"), QStringLiteral("valeur")),
             QStringLiteral("0"));

    // Something else entirely, then the saved file back.
    pressEveryHeurePc();
    for (int i = 0; i < kRelayCount; ++i)
        editor().setEnable(i, 1);
    answer_ = saved;
    choose(QStringLiteral("n_ouvrir"));
    QCOMPARE(asked_, (QList<Mode>{Mode::Open, Mode::Save, Mode::Open}));

    QStringList back = texts;
    back[1] = QStringLiteral("abcdefghijklmnopqrs");
    back[2] = QStringLiteral("08:00:00");
    for (int i = 0; i < kTextSlotCount; ++i)
        QCOMPARE(editor().textField(i)->text(), back[i]);
    QCOMPARE(editor().dayChoice(0), -1);
    QCOMPARE(editor().dayList(0)->currentIndex(), -1);
    QCOMPARE(editor().dayChoice(1), 9);
    QCOMPARE(editor().dayChoice(2), 0);
    QCOMPARE(editor().dayChoice(3), 5);
    QCOMPARE(editor().dayList(3)->currentText(), QStringLiteral("Vendredi"));
    const Qt::CheckState boxes[] = {Qt::Unchecked, Qt::Checked, Qt::Unchecked,
                                    Qt::Unchecked, Qt::Checked, Qt::Unchecked};
    for (int i = 0; i < kRelayCount; ++i)
        QCOMPARE(editor().enableBox(i)->checkState(), boxes[i]);

    // Neither command goes near the settings file.
    QCOMPARE(readBytes(settings()), kSettings);
}

// A name that does not exist empties the editor; an existing file that holds none of the
// program's sections is some other file, and what the user typed stays.
void ProgramWindowTest::openWithoutProgramSections_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("contents");
    QTest::newRow("missing file") << false << QByteArray();
    QTest::newRow("empty file") << true << QByteArray();
    QTest::newRow("unrelated text") << true
                                    << QByteArray("Liste des courses\r\n"
                                                  "valeur=3\r\n"
                                                  "txt0 = 08:30:00\n"
                                                  "[chk]\n"
                                                  "valeur=1\n"
                                                  "[txt]\n"
                                                  "valeur=x\n");
    QTest::newRow("only the port") << true << QByteArray("[Port COM]\r\nvaleur=3\r\n");
    QTest::newRow("binary") << true << QByteArray("\x00\xff\x01[\r=\x80\n\x00", 10);
}

void ProgramWindowTest::openWithoutProgramSections()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, contents);
    startWindow();
    pressEveryHeurePc();
    for (int i = 0; i < kRelayCount; ++i)
        toggle(i);
    chooseDay(2, QStringLiteral("Samedi"));
    const QStringList typed = editorValues();

    const QString path = dir_->filePath(QStringLiteral("autre.txt"));
    if (exists)
        QVERIFY(writeBytes(path, contents));
    answer_ = path;
    choose(QStringLiteral("n_ouvrir"));
    if (exists) {
        QCOMPARE(editorValues(), typed);
        QVERIFY2(statusText().contains(QStringLiteral("ne contient pas de programme")),
                 qPrintable(statusText()));
        QVERIFY2(statusText().contains(QStringLiteral("autre.txt")), qPrintable(statusText()));
        QCOMPARE(readBytes(path), contents);
    } else {
        verifyEditorIsEmpty();
        QVERIFY(!QFileInfo::exists(path));  // opening creates nothing
    }
    QCOMPARE(readBytes(settings()), kSettings);
}

void ProgramWindowTest::saveIntoAnExistingFileKeepsEverythingElse()
{
    startWindow();
    pressEveryHeurePc();
    const QByteArray original = "; Programme de la serre\r\n"
                                "[Notes]\r\n"
                                "auteur=Andr\xe9\r\n"
                                "\r\n"
                                "[txt0]\r\n"
                                "valeur=07:00:00\r\n"
                                "; heure d'arriv\xe9"
                                "e\r\n"
                                "autre=garde\r\n"
                                "[chk5]\r\n"
                                "valeur=1\r\n"
                                "[Fin]\r\n"
                                "x = y \r\n";
    const QString path = dir_->filePath(QStringLiteral("serre.txt"));
    QVERIFY(writeBytes(path, original));
    answer_ = path;
    choose(QStringLiteral("n_enregistrer"));
    QCOMPARE(readBytes(path), expectedFile(original, heurePcValues()));
    QCOMPARE(readBytes(settings()), kSettings);
}

void ProgramWindowTest::openTakesTheNumberAtTheStartOfAValue_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");

    QTest::newRow("cmb1 3abc") << QStringLiteral("cmb1") << QByteArray("3abc") << 0 << 3;
    QTest::newRow("cmb1 blanks") << QStringLiteral("cmb1") << QByteArray("  7  ") << 0 << 7;
    QTest::newRow("cmb1 2.5") << QStringLiteral("cmb1") << QByteArray("2.5") << 0 << 2;
    QTest::newRow("cmb1 3.5") << QStringLiteral("cmb1") << QByteArray("3.5") << 0 << 4;
    QTest::newRow("cmb1 -1") << QStringLiteral("cmb1") << QByteArray("-1") << 4 << -1;
    QTest::newRow("cmb1 abc") << QStringLiteral("cmb1") << QByteArray("abc") << 4 << 0;
    QTest::newRow("cmb2 12") << QStringLiteral("cmb2") << QByteArray("12") << 5 << 5;
    QTest::newRow("cmb2 10") << QStringLiteral("cmb2") << QByteArray("10") << 5 << 5;
    QTest::newRow("cmb2 -2") << QStringLiteral("cmb2") << QByteArray("-2") << 5 << 5;
    QTest::newRow("cmb3 huge") << QStringLiteral("cmb3") << QByteArray("99999999999") << 6 << 6;
    QTest::newRow("chk0 abc") << QStringLiteral("chk0") << QByteArray("abc") << 1 << 0;
    QTest::newRow("chk0 2") << QStringLiteral("chk0") << QByteArray("2") << 0 << 2;
    QTest::newRow("chk0 1.4") << QStringLiteral("chk0") << QByteArray("1.4") << 0 << 1;
    QTest::newRow("chk3 5") << QStringLiteral("chk3") << QByteArray("5") << 1 << 1;
    QTest::newRow("chk3 -1") << QStringLiteral("chk3") << QByteArray("-1") << 1 << 1;
    QTest::newRow("chk3 3") << QStringLiteral("chk3") << QByteArray("3") << 2 << 2;
}

void ProgramWindowTest::openTakesTheNumberAtTheStartOfAValue()
{
    QFETCH(QString, section);
    QFETCH(QByteArray, value);
    QFETCH(int, before);
    QFETCH(int, after);
    startWindow();
    const bool isDayList = section.startsWith(QStringLiteral("cmb"));
    const int index = section.right(1).toInt();
    if (isDayList) {
        editor().setDayChoice(index, before);
        QCOMPARE(editor().dayChoice(index), before);
    } else {
        editor().setEnable(index, before);
    }

    const QString path = dir_->filePath(QStringLiteral("valeurs.txt"));
    QVERIFY(writeBytes(path, "[txt0]\r\nvaleur=08:30:00\r\n[" + section.toLatin1() +
                                 "]\r\nvaleur=" + value + "\r\n"));
    answer_ = path;
    choose(QStringLiteral("n_ouvrir"));
    QCOMPARE(editor().textField(0)->text(), QStringLiteral("08:30:00"));  // the read went on
    if (isDayList) {
        QCOMPARE(editor().dayChoice(index), after);
        QCOMPARE(editor().dayList(index)->currentIndex(), after);
        if (after >= 0)
            QCOMPARE(editor().dayList(index)->currentText(),
                     editor().dayList(index)->itemText(after));
    } else {
        QCOMPARE(enableValue(index), after);
    }
}

void ProgramWindowTest::cancelledFileDialogDoesNothing_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("save");
    QTest::newRow("Enregistrer sous") << QStringLiteral("n_enregistrer") << true;
    QTest::newRow("Ouvrir") << QStringLiteral("n_ouvrir") << false;
}

void ProgramWindowTest::cancelledFileDialogDoesNothing()
{
    QFETCH(QString, command);
    QFETCH(bool, save);
    startWindow();
    pressEveryHeurePc();
    toggle(2);
    const QStringList before = editorValues();
    const QStringList files = QDir(dir_->path()).entryList(QDir::Files | QDir::NoDotAndDotDot);
    window_->messageStrip()->clear();

    answer_.clear();
    choose(command);
    QCOMPARE(asked_, QList<Mode>{save ? Mode::Save : Mode::Open});
    QCOMPARE(editorValues(), before);
    QCOMPARE(statusText(), QString());
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::NoDotAndDotDot), files);
    QCOMPARE(readBytes(settings()), kSettings);
}

void ProgramWindowTest::fileThatCannotBeWrittenIsReported_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("read-only file") << QStringLiteral("read-only");
    QTest::newRow("folder") << QStringLiteral("folder");
    QTest::newRow("missing folder") << QStringLiteral("missing folder");
}

void ProgramWindowTest::fileThatCannotBeWrittenIsReported()
{
    QFETCH(QString, kind);
    startWindow();
    pressEveryHeurePc();
    const QStringList before = editorValues();

    QString path;
    const QByteArray previous = newSection(QStringLiteral("txt0"), QStringLiteral("06:00:00"));
    if (kind == QStringLiteral("read-only")) {
        path = dir_->filePath(QStringLiteral("protege.txt"));
        QVERIFY(writeBytes(path, previous));
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                                                QFileDevice::ReadOther));
    } else if (kind == QStringLiteral("folder")) {
        path = dir_->filePath(QStringLiteral("dossier.txt"));
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("dossier.txt")));
    } else {
        path = dir_->filePath(QStringLiteral("absent/programme.txt"));
    }
    answer_ = path;
    choose(QStringLiteral("n_enregistrer"));
    const QString shown = statusText();
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    QVERIFY2(shown.contains(QFileInfo(path).fileName()), qPrintable(shown));
    QVERIFY2(shown.startsWith(QStringLiteral("Impossible")), qPrintable(shown));
    if (kind == QStringLiteral("read-only"))
        QCOMPARE(readBytes(path), previous);
    else if (kind == QStringLiteral("folder"))
        QVERIFY(QFileInfo(path).isDir());
    else
        QVERIFY(!QFileInfo::exists(QFileInfo(path).absolutePath()));
    QCOMPARE(editorValues(), before);
    QCOMPARE(readBytes(settings()), kSettings);
    // No temporary file was left beside it.
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::NoDotAndDotDot).size(),
             kind == QStringLiteral("read-only") ? 2 : 1);
}

void ProgramWindowTest::fileThatCannotBeReadIsReported_data()
{
    QTest::addColumn<bool>("folder");
    QTest::newRow("folder") << true;
    QTest::newRow("no read permission") << false;
}

void ProgramWindowTest::fileThatCannotBeReadIsReported()
{
    QFETCH(bool, folder);
    startWindow();
    pressEveryHeurePc();
    toggle(1);
    chooseDay(3, QStringLiteral("Jeudi"));
    const QStringList before = editorValues();

    QString path;
    if (folder) {
        path = dir_->filePath(QStringLiteral("dossier.txt"));
        QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("dossier.txt")));
    } else {
        path = dir_->filePath(QStringLiteral("secret.txt"));
        QVERIFY(writeBytes(path, newSection(QStringLiteral("txt0"), QStringLiteral("06:00:00"))));
        QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
        if (QFile file(path); file.open(QIODevice::ReadOnly))
            QSKIP("the super-user reads a file without read permission");
    }
    answer_ = path;
    choose(QStringLiteral("n_ouvrir"));
    const QString shown = statusText();
    QVERIFY2(shown.contains(QFileInfo(path).fileName()), qPrintable(shown));
    QVERIFY2(shown.startsWith(QStringLiteral("Impossible de lire")), qPrintable(shown));
    QCOMPARE(editorValues(), before);
}

void ProgramWindowTest::restartShowsTheLastUploadNotTheLastSave()
{
    startWindow();
    pressEveryHeurePc();
    toggle(2);
    chooseDay(3, QStringLiteral("Samedi et Dimanche"));
    typeInto(editor().textField(20), QStringLiteral("01/05/2008"));
    clickProgrammer();
    QCOMPARE(frameFromBoard().size(), kFrameSize);
    const QStringList uploaded = editorValues();

    // Program B, saved but never uploaded.
    clock_->set(QDateTime(QDate(2008, 6, 1), QTime(7, 15, 30)));  // a Sunday
    pressEveryHeurePc();
    toggle(2);
    toggle(4);
    chooseDay(2, QStringLiteral("Mardi"));
    const QStringList saved = editorValues();
    QVERIFY(saved != uploaded);
    answer_ = dir_->filePath(QStringLiteral("b.txt"));
    choose(QStringLiteral("n_enregistrer"));
    QVERIFY(QFileInfo::exists(answer_));

    window_.reset();
    startWindow();
    QCOMPARE(editorValues(), uploaded);
}

void ProgramWindowTest::savingIntoTheSettingsFileIsWhatTheNextStartShows()
{
    startWindow();
    pressEveryHeurePc();
    toggle(0);
    chooseDay(1, QStringLiteral("Mercredi"));
    const QStringList saved = editorValues();
    answer_ = settings();
    choose(QStringLiteral("n_enregistrer"));
    QVERIFY(readBytes(settings())
                .startsWith("; r\xe9glages de l'atelier\r\n[Port COM]\r\n"
                            "valeur=3\r\n"));

    window_.reset();
    startWindow();
    QCOMPARE(editorValues(), saved);
}

void ProgramWindowTest::restoreSkipsValuesOutOfRange()
{
    QVERIFY(writeBytes(settings(), kSettings +
                                       newSection(QStringLiteral("cmb1"), QStringLiteral("42")) +
                                       newSection(QStringLiteral("chk0"), QStringLiteral("7")) +
                                       newSection(QStringLiteral("cmb2"), QStringLiteral("-5")) +
                                       newSection(QStringLiteral("chk1"), QStringLiteral("1")) +
                                       newSection(QStringLiteral("cmb3"), QStringLiteral("6"))));
    // cmb0 42 as well, in place of the earlier upload's value.
    QByteArray bytes = readBytes(settings());
    bytes.replace("[cmb0]\r\nvaleur=2\r\n", "[cmb0]\r\nvaleur=42\r\n");
    QVERIFY(writeBytes(settings(), bytes));

    startWindow();
    QCOMPARE(editor().dayList(0)->currentText(), QStringLiteral("Dimanche"));
    QCOMPARE(editor().dayChoice(0), 0);
    QCOMPARE(editor().dayChoice(1), 0);
    QCOMPARE(editor().dayChoice(2), 0);
    QCOMPARE(editor().dayChoice(3), 6);
    QCOMPARE(editor().enableBox(0)->checkState(), Qt::Unchecked);
    QCOMPARE(editor().enableBox(1)->checkState(), Qt::Checked);
    QCOMPARE(editor().textField(3)->text(), QStringLiteral("ancien"));
    QCOMPARE(statusText(), QString());
    QCOMPARE(readBytes(settings()), bytes);
}

void ProgramWindowTest::unreadableSettingsFileLeavesTheEditorEmpty()
{
    QVERIFY(QFile::remove(settings()));
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("param.ini")));
    startWindow();
    verifyEditorIsEmpty();
    QVERIFY2(statusText().contains(QStringLiteral("param.ini")), qPrintable(statusText()));
}

void ProgramWindowTest::fieldThatCannotBeEncodedStopsEverything_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("fixed");

    QTest::newRow("empty time, relay 1 enabled")
        << 0 << QString() << true << QStringLiteral("Relais N°1, Début 1")
        << QStringLiteral("08:30:00");
    QTest::newRow("blank in the minutes, relay 2 not enabled")
        << 7 << QStringLiteral("08: 5:00") << false << QStringLiteral("Relais N°2, Fin 1")
        << QStringLiteral("08:05:00");
    QTest::newRow("short date, relay 3 not enabled")
        << 22 << QStringLiteral("5/1/2008") << false
        << QStringLiteral("Relais N°3, date de Début 3") << QStringLiteral("05/01/2008");
    QTest::newRow("two-digit year, relay 4 enabled")
        << 35 << QStringLiteral("24/12/07") << true << QStringLiteral("Relais N°4, date de Fin 3")
        << QStringLiteral("24/12/2007");
    QTest::newRow("one-digit month, relay 5 enabled")
        << 42 << QStringLiteral("3/2008") << true << QStringLiteral("Relais N°5, Mois - Année")
        << QStringLiteral("03/2008");
    QTest::newRow("one-digit hour, relay 6 enabled")
        << 48 << QStringLiteral("8:30:00") << true << QStringLiteral("Relais N°6, Fin 3")
        << QStringLiteral("08:30:00");
    QTest::newRow("empty month-year, relay 6 not enabled")
        << 49 << QString() << false << QStringLiteral("Relais N°6, Mois - Année")
        << QStringLiteral("12/2007");
}

void ProgramWindowTest::fieldThatCannotBeEncodedStopsEverything()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    QFETCH(QString, named);
    QFETCH(QString, fixed);
    startWindow();
    pressEveryHeurePc();
    const int relay = textSlotInfo(field).relay;
    for (int i = 0; i < kRelayCount; ++i) {
        if (enabled || i != relay - 1)
            toggle(i);
    }
    QLineEdit *edit = editor().textField(field);
    const QColor normal = edit->palette().color(QPalette::Base);
    typeInto(edit, text);

    clickProgrammer();
    QCOMPARE(board_->readAll(300), QByteArray());
    QCOMPARE(readBytes(settings()), kSettings);
    QVERIFY(!window_->link().isPortOpen());
    QVERIFY(!window_->link().closeTimer().isActive());
    const QString shown = statusText();
    QVERIFY2(shown.contains(named), qPrintable(shown));
    QCOMPARE(shown.contains(QStringLiteral("est inactif")), !enabled);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(edit));
    QVERIFY(edit->palette().color(QPalette::Base) != normal);

    // Correcting the field takes the mark away, and the timetable then goes out.
    typeInto(edit, fixed);
    QCOMPARE(edit->palette().color(QPalette::Base), normal);
    clickProgrammer();
    QCOMPARE(frameFromBoard().size(), kFrameSize);
    QCOMPARE(readProfileString(settings(), sectionName(field), QStringLiteral("valeur")), fixed);
}

void ProgramWindowTest::portThatCannotBeOpenedKeepsTheStoredProgram()
{
    startWindow();
    const QString device = dir_->filePath(QStringLiteral("ttyABSENT0"));
    window_->link().usePort(device);
    pressEveryHeurePc();
    toggle(3);
    chooseDay(1, QStringLiteral("Samedi"));
    const QStringList values = editorValues();

    clickProgrammer();
    const QString shown = statusText();
    QVERIFY2(shown.contains(QStringLiteral("param.ini")), qPrintable(shown));
    QVERIFY2(shown.contains(QStringLiteral("pas envoyé")), qPrintable(shown));
    QVERIFY2(shown.contains(QStringLiteral("ttyABSENT0")), qPrintable(shown));
    QVERIFY(!window_->link().isPortOpen());
    QVERIFY(!window_->link().closeTimer().isActive());

    QStringList stored;
    for (int i = 0; i < values.size(); ++i)
        stored.append(readProfileString(settings(), sectionName(i), QStringLiteral("valeur")));
    QCOMPARE(stored, values);
    QVERIFY(readBytes(settings()).startsWith(kSettings.left(kSettings.indexOf("[txt3]"))));

    // Once the port opens, the message about it goes.
    window_->link().usePort(board_->slavePath());
    choose(QStringLiteral("n_heure_platine"));
    auto *open = window_->findChild<QPushButton *>(QStringLiteral("Command2"));
    QVERIFY(open);
    QTest::mouseClick(open, Qt::LeftButton);
    QVERIFY(window_->link().isPortOpen());
    QCOMPARE(statusText(), QString());
}

// With the disk full, neither the upload nor "Enregistrer sous" may leave a truncated file or
// say that it saved.
void ProgramWindowTest::fullDiskKeepsTheSettingsAndTheProgramFile()
{
    SmallDisk disk;
    if (!disk.available())
        QSKIP(qPrintable(disk.reason()));
    settingsPath_ = disk.filePath(QStringLiteral("param.ini"));
    const QString program = disk.filePath(QStringLiteral("serre.txt"));
    const QByteArray programBytes = newSection(QStringLiteral("txt0"), QStringLiteral("06:00:00"));
    QVERIFY(writeBytes(settings(), kSettings));
    QVERIFY(writeBytes(program, programBytes));
    QVERIFY(disk.fill());

    startWindow();
    pressEveryHeurePc();
    clickProgrammer();
    QCOMPARE(frameFromBoard().size(), kFrameSize);  // the user asked to program the board
    QCOMPARE(readBytes(settings()), kSettings);
    QVERIFY2(statusText().contains(QStringLiteral("disque plein")), qPrintable(statusText()));
    QVERIFY2(statusText().contains(QStringLiteral("param.ini")), qPrintable(statusText()));
    QVERIFY2(!statusText().contains(QStringLiteral("enregistré")), qPrintable(statusText()));

    answer_ = program;
    choose(QStringLiteral("n_enregistrer"));
    QCOMPARE(readBytes(program), programBytes);
    QVERIFY2(statusText().contains(QStringLiteral("disque plein")), qPrintable(statusText()));
    QVERIFY2(statusText().contains(QStringLiteral("serre.txt")), qPrintable(statusText()));
    QVERIFY2(!statusText().contains(QStringLiteral("enregistré")), qPrintable(statusText()));
}

// A settings file saved by Notepad (UTF-8 with its mark, or "Unicode") or with quoted values
// gives the same timetable and port; uploads and saves keep its encoding, and what they wrote
// reads back the same.
void ProgramWindowTest::filesFromWindowsToolsRestoreTheSameTimetable_data()
{
    QTest::addColumn<QByteArray>("mark");
    QTest::addColumn<bool>("utf16");
    QTest::addColumn<bool>("quoted");
    QTest::newRow("UTF-8 with mark") << QByteArray("\xef\xbb\xbf") << false << false;
    QTest::newRow("UTF-16LE with mark") << QByteArray("\xff\xfe") << true << false;
    QTest::newRow("quoted values") << QByteArray() << false << true;
    QTest::newRow("UTF-16LE, quoted") << QByteArray("\xff\xfe") << true << true;
}

void ProgramWindowTest::filesFromWindowsToolsRestoreTheSameTimetable()
{
    QFETCH(QByteArray, mark);
    QFETCH(bool, utf16);
    QFETCH(bool, quoted);
    auto value = [quoted](const QString &text) {
        return quoted ? QStringLiteral("\"%1\"").arg(text) : text;
    };
    QString text = QStringLiteral(u"; réglages de l'atelier\r\n[Port COM]\r\nvaleur=%1\r\n")
                       .arg(value(QStringLiteral("7")));
    text += QStringLiteral("[txt0]\r\nvaleur=%1\r\n[txt1]\r\nvaleur=%2\r\n")
                .arg(value(QStringLiteral("08:30:00")), value(QStringLiteral("17:45:00")));
    text += QStringLiteral("[cmb0]\r\nvaleur=%1\r\n[chk0]\r\nvaleur=%2\r\n")
                .arg(value(QStringLiteral("8")), value(QStringLiteral("1")));
    text += QStringLiteral(u"[Atelier]\r\nnom=Serre n°2 été\r\n");
    QByteArray body;
    if (utf16) {
        for (const QChar c : text) {
            body.append(static_cast<char>(c.unicode() & 0xFF));
            body.append(static_cast<char>(c.unicode() >> 8));
        }
    } else {
        body = mark.isEmpty() ? text.toLatin1() : text.toUtf8();
    }
    const QByteArray original = mark + body;
    QVERIFY(writeBytes(settings(), original));

    startWindow();
    QCOMPARE(portAtStart_, QStringLiteral("7"));
    QCOMPARE(editor().textField(0)->text(), QStringLiteral("08:30:00"));
    QCOMPARE(editor().textField(1)->text(), QStringLiteral("17:45:00"));
    QCOMPARE(editor().dayChoice(0), 8);
    QCOMPARE(editor().enableBox(0)->checkState(), Qt::Checked);

    pressEveryHeurePc();  // every field must hold a value to be sent
    typeInto(editor().textField(2), QStringLiteral("12:00:00"));
    const QStringList shown = editorValues();
    clickProgrammer();
    QCOMPARE(frameFromBoard().size(), kFrameSize);
    const QByteArray stored = readBytes(settings());
    QVERIFY(stored.startsWith(mark));
    QVERIFY(stored.size() > original.size());
    if (utf16)
        QCOMPARE(stored.size() % 2, 0);  // still whole UTF-16 code units
    QCOMPARE(readProfileString(settings(), QStringLiteral("Atelier"), QStringLiteral("nom")),
             QStringLiteral(u"Serre n°2 été"));

    // "Enregistrer sous" into a copy of the original file, then the next start and "Ouvrir".
    const QString copy = dir_->filePath(QStringLiteral("copie.txt"));
    QVERIFY(writeBytes(copy, original));
    answer_ = copy;
    choose(QStringLiteral("n_enregistrer"));
    QVERIFY(readBytes(copy).startsWith(mark));

    startWindow();
    QCOMPARE(portAtStart_, QStringLiteral("7"));
    QCOMPARE(editorValues(), shown);
    for (int i = 0; i < kTextSlotCount; ++i)
        typeInto(editor().textField(i), QString());
    answer_ = copy;
    choose(QStringLiteral("n_ouvrir"));
    QCOMPARE(editorValues(), shown);
}

void ProgramWindowTest::typoIsMarkedSentAsTypedAndTold()
{
    startWindow();
    pressEveryHeurePc();
    toggle(0);
    QLineEdit *field = editor().textField(0);
    typeInto(field, QStringLiteral("25:00:00"));
    const QString remark = QStringLiteral("Relais N°1, Début 1 : l'heure 25 n'existe pas (00 à "
                                          "23) : fenêtre non dessinée");
    QTRY_VERIFY(!remarkMark(field).isEmpty());
    QCOMPARE(field->toolTip(), remark.mid(remark.indexOf(QStringLiteral("l'heure"))));

    // The week chart opens in a window of its own; the programming panel stays as it was.
    const QRect panel = window_->programPanel()->geometry();
    choose(QStringLiteral("n_semaine"));
    WeekChartWindow *chart = window_->weekChartWindow();
    QVERIFY(chart);
    QVERIFY(chart->isVisible());
    QVERIFY(chart->isWindow());
    QCOMPARE(chart->chart().findings.size(), 1);
    QVERIFY(window_->programPanel()->isVisible());
    QCOMPARE(window_->programPanel()->geometry(), panel);

    clickProgrammer();
    const QByteArray frame = frameFromBoard();
    QCOMPARE(frame.size(), kFrameSize);
    QCOMPARE(frame.mid(1, 2), QByteArray::fromHex("2500"));  // as typed
    QCOMPARE(statusText(),
             QStringLiteral("Programme envoyé à la platine, avec 1 remarque. ") + remark);

    typeInto(field, QStringLiteral("08:00:00"));
    QTRY_VERIFY(chart->chart().findings.isEmpty());
    clickProgrammer();
    QCOMPARE(frameFromBoard().size(), kFrameSize);
    QCOMPARE(statusText(), QStringLiteral("Programme envoyé à la platine."));
}

void ProgramWindowTest::boardClockDriftIsShownWhileWatching()
{
    startWindow();
    choose(QStringLiteral("n_heure_platine"));
    auto *open = window_->findChild<QPushButton *>(QStringLiteral("Command2"));
    QVERIFY(open);
    QTest::mouseClick(open, Qt::LeftButton);
    QVERIFY(window_->link().isPortOpen());
    auto *drift = window_->findChild<QLabel *>(QStringLiteral("boardDriftLabel"));
    QVERIFY(drift);
    QVERIFY(!drift->isVisible());

    // The PC reads 23:59:59; the board 12 s ahead, then a reply that is no clock line.
    QVERIFY(board_->write("Mardi 01/01/2008 00:00:11\r\n"));
    QTRY_COMPARE(drift->text(), QStringLiteral("platine en avance de 12 s"));
    QVERIFY(drift->isVisible());
    QVERIFY(board_->write("OK, programme recu par la platine\r\n"));
    QTRY_VERIFY(window_->programPanel()->boardTextMirror()->text().startsWith(QStringLiteral("OK")));
    QCOMPARE(drift->text(), QStringLiteral("platine en avance de 12 s"));

    // Two minutes behind: the clock-setting panel is suggested.
    QVERIFY(board_->write("Lundi 31/12/2007 23:57:59\r\n"));
    QTRY_VERIFY(drift->text().startsWith(QStringLiteral("platine en retard de 2 min 00 s : ")));

    auto *close = window_->findChild<QPushButton *>(QStringLiteral("Command3"));
    QVERIFY(close);
    QTest::mouseClick(close, Qt::LeftButton);
    QTRY_VERIFY(!drift->isVisible());
}

// The drift is read only from what the open port brings: it goes when the port closes (text
// left waiting is still shown, but is no reading) or another port is chosen, and a clock line
// that cannot be read says so. A failed opening shows on the port indicator.
void ProgramWindowTest::boardClockStatusNeverOutlivesItsPort()
{
    startWindow();
    window_->link().setTimerIntervals(BoardLink::kReceiveDelayMs, 300);
    choose(QStringLiteral("n_heure_platine"));
    auto *open = window_->findChild<QPushButton *>(QStringLiteral("Command2"));
    auto *close = window_->findChild<QPushButton *>(QStringLiteral("Command3"));
    auto *drift = window_->findChild<QLabel *>(QStringLiteral("boardDriftLabel"));
    QVERIFY(open && close && drift);
    QTest::mouseClick(open, Qt::LeftButton);
    QVERIFY(window_->link().isPortOpen());

    QVERIFY(board_->write("Mardi 01/01/2008 00:00:11\r\n"));
    QTRY_COMPARE(drift->text(), QStringLiteral("platine en avance de 12 s"));
    // The board 15 h off, in a line that cannot be read: no old reading stays.
    QVERIFY(board_->write("Mardi 01/01/2008 15:00:1\r\n"));
    QTRY_COMPARE(drift->text(), QStringLiteral("heure de la platine illisible"));
    QVERIFY(drift->isVisible());

    // A line arrives, the port closes before it is read: shown, but no drift is read from it.
    QVERIFY(board_->write("Mardi 01/01/2008 00:00:11\r\n"));
    QTRY_VERIFY(window_->link().receiveTimer().isActive());
    QTest::mouseClick(close, Qt::LeftButton);
    QVERIFY(!drift->isVisible());
    QTRY_VERIFY(window_->programPanel()->boardTextMirror()->text().startsWith(
        QStringLiteral("Mardi 01/01/2008 00:00:11")));
    QVERIFY(!drift->isVisible());

    // Another port chosen: the reading of the former one goes.
    QTest::mouseClick(open, Qt::LeftButton);
    QVERIFY(board_->write("Mardi 01/01/2008 00:00:11\r\n"));
    QTRY_VERIFY(drift->isVisible());
    const QString missing = QDir(QDir::tempPath()).filePath(QStringLiteral("platine-no-such-tty"));
    window_->setPortPrompt([&missing](QWidget *, const QString &) { return missing; });
    choose(QStringLiteral("n_port"));
    QVERIFY(!drift->isVisible());

    // A send that cannot open the new port: the indicator says so, not "fermé
    // automatiquement".
    QTest::mouseClick(close, Qt::LeftButton);
    QTest::mouseClick(open, Qt::LeftButton);
    QVERIFY(!window_->link().isPortOpen());
    QCOMPARE(window_->portIndicator()->state(), PortIndicator::State::OpenFailed);
    QVERIFY2(window_->portIndicator()->text().contains(QStringLiteral("ouverture impossible")),
             qPrintable(window_->portIndicator()->text()));
}

// A new user programs relay 1 alone from a first start: the refusal of the empty editor offers
// "Corriger", then "Nouveau", relay 1's first window, its days and its box, and "Programmer".
void ProgramWindowTest::firstStartProgramsRelayOneAlone()
{
    QVERIFY(writeBytes(settings(), QByteArray("[Port COM]\r\nvaleur=3\r\n")));
    startWindow();
    verifyEditorIsEmpty();
    clickProgrammer();
    QCOMPARE(board_->readAll(300), QByteArray());
    QVERIFY2(statusText().startsWith(QStringLiteral("Programme non envoyé : 50 champs")),
             qPrintable(statusText()));
    QPushButton *correct = window_->messageStrip()->actionButton();
    QVERIFY(correct->isVisible());
    QTest::mouseClick(correct, Qt::LeftButton);  // every relay neutral, as after "Nouveau"
    QCOMPARE(editor().textField(49)->text(), QStringLiteral("12/2007"));
    QTest::keySequence(window_.get(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    verifyEditorIsEmpty();

    QTest::keySequence(window_.get(), QKeySequence(Qt::CTRL | Qt::Key_N));  // "Nouveau"
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(editor().textField(0)));
    typeInto(editor().textField(0), QStringLiteral("07:30:00"));
    typeInto(editor().textField(1), QStringLiteral("08:15:00"));
    chooseDay(0, QStringLiteral("Lundi à Vendredi"));
    toggle(0);
    clickProgrammer();
    const QByteArray frame = frameFromBoard();
    QCOMPARE(frame.size(), kFrameSize);
    QCOMPARE(frame.mid(1, 14).toHex(' '), QByteArray("07 30 08 15 00 00 00 00 00 00 00 00 09 01"));
    QVERIFY2(statusText().startsWith(QStringLiteral("Programme envoyé")), qPrintable(statusText()));
}

// Relay 1 copied to relay 2 and relay 2 cleared, from the keyboard's context menu, each one
// step that Ctrl+Z takes back and Ctrl+Shift+Z does again.
void ProgramWindowTest::relayCopyAndClearAreUndone()
{
    startWindow();
    typeInto(editor().textField(0), QStringLiteral("06:45:00"));
    chooseDay(0, QStringLiteral("Samedi"));
    const RelayProgram before = editor().snapshot();

    chooseFromRelayMenu(editor().textField(0), QStringLiteral("Copier vers le relais N°2"));
    QCOMPARE(editor().textField(6)->text(), QStringLiteral("06:45:00"));
    QCOMPARE(editor().dayChoice(1), 6);
    const RelayProgram copied = editor().snapshot();
    chooseFromRelayMenu(editor().textField(7), QStringLiteral("Effacer le relais"));
    QCOMPARE(editor().textField(6)->text(), QStringLiteral("00:00:00"));
    QCOMPARE(editor().dayChoice(1), -1);
    QCOMPARE(enableValue(1), 0);

    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    const auto press = [this](QKeySequence keys) { QTest::keySequence(window_.get(), keys); };
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(editor().snapshot(), copied);
    press(QKeySequence(Qt::CTRL | Qt::Key_Z));
    QCOMPARE(editor().snapshot(), before);
    press(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    QCOMPARE(editor().snapshot(), copied);
}

QTEST_MAIN(ProgramWindowTest)
#include "test_program_window.moc"
