// The tool as the user runs it against a board: the real main window, driven through its menus
// and buttons, and the built platine-sim program at the other end of one pseudo-terminal. The
// simulator reports in JSON what it decoded, which is compared with what the window holds.

#include "panels/clock_display_panel.h"
#include "panels/clock_panel.h"
#include "app/main_window.h"
#include "link/board_link.h"
#include "link/serial_control.h"
#include "relays/program_frame.h"
#include "panels/program_panel.h"
#include "panels/relay_editor.h"

#include "support/fake_clock.h"
#include "support/main_window_fixture.h"
#include "support/sim_process.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

using namespace platine;
using platine::test::FakeClock;
using platine::test::SimProcess;
using platine::test::typeText;

namespace {

// The simulator's clock when it starts: Friday 1 January 2010, midnight.
const QString kSimStart = QStringLiteral("2010-01-01T00:00:00");
// The board sends its clock once a second; the tool shows it 300 ms after the 26th character.
constexpr int kClockLineTimeoutMs = 3000;

// platine-sim started on a pseudo-terminal of its own, its clock at kSimStart, telling in JSON
// what it decodes.
std::unique_ptr<SimProcess> startSimulator()
{
    return std::make_unique<SimProcess>(
        QStringList{QStringLiteral("--json"), QStringLiteral("--clock"), kSimStart});
}

// The simulator's next event of the given kind. Events of other kinds are skipped, except
// "ignored" (bytes that made no frame), which is returned at once so that the caller's
// comparisons show it.
QJsonObject nextEvent(SimProcess &sim, const QString &kind)
{
    return sim.nextEvent([&kind](const QString &event) {
        return event == kind || event == QStringLiteral("ignored");
    });
}

QString upperHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QStringList stringsOf(const QJsonValue &value)
{
    QStringList list;
    for (const QJsonValue &item : value.toArray())
        list.append(item.toString());
    return list;
}

// The board's clock line, "Vendredi 23/11/2007 14:37:52" + CR LF: its day name and moment.
struct ClockLine
{
    QString dayName;
    QDateTime moment;
};

std::optional<ClockLine> parseClockLine(const QString &text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^(\\S+) (\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d)\r\n$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const QDateTime moment =
        QDateTime::fromString(match.captured(2), QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    if (!moment.isValid())
        return std::nullopt;
    return ClockLine{match.captured(1), moment};
}

// Whether text is exactly one clock line naming dayName and a moment from `from` to a few
// seconds later (the board's clock runs on meanwhile).
bool isClockLineNear(const QString &text, const QString &dayName, const QDateTime &from)
{
    const std::optional<ClockLine> line = parseClockLine(text);
    if (!line || line->dayName != dayName)
        return false;
    const qint64 ahead = from.secsTo(line->moment);
    return ahead >= 0 && ahead <= 6;
}

}  // namespace

class EndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void uploadedTimetableIsWhatTheBoardDecodes();
    void clockFrameSetsTheBoardClock_data();
    void clockFrameSetsTheBoardClock();
    void boardTextShowsInTheThreeDisplays();

private:
    void choose(const char *name);
    static void retype(QLineEdit *field, const QString &text);
    static void typeDayChoice(QComboBox *list, const QString &text);
    void compareProgramEvent(const QJsonObject &event, const RelayProgram &program);

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakeClock> clock_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<SimProcess> sim_;
    QString device_;
};

void EndToEndTest::initTestCase()
{
    QVERIFY2(QFile::exists(test::simulatorProgram()), qPrintable(test::simulatorProgram()));
}

void EndToEndTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    // Wednesday 17 June 2009: "Heure PC" gives values the test then types over.
    clock_ = std::make_unique<FakeClock>(QDateTime(QDate(2009, 6, 17), QTime(10, 20, 30)));

    sim_ = startSimulator();
    const QJsonObject port = nextEvent(*sim_, QStringLiteral("port"));
    QCOMPARE(port.value(QStringLiteral("pseudoTerminal")).toBool(), true);
    device_ = port.value(QStringLiteral("device")).toString();
    QVERIFY2(device_.startsWith(QStringLiteral("/dev/")), qPrintable(device_));

    window_ = test::shownMainWindow(test::windowOptions(*dir_, clock_.get()));
    QVERIFY(window_);

    // The user names the simulator's line in "Port COM".
    window_->setPortPrompt([device = device_](QWidget *, const QString &) { return device; });
    choose("n_port");
    QCOMPARE(window_->link().port(), device_);
    QVERIFY(!window_->link().isPortOpen());
}

void EndToEndTest::cleanup()
{
    window_.reset();  // closes the port
    if (sim_) {
        QString standardError;
        const bool stopped = sim_->stop(&standardError);
        sim_.reset();
        QVERIFY2(stopped, qPrintable(standardError));
    }
    clock_.reset();
    dir_.reset();
}

void EndToEndTest::choose(const char *name)
{
    QVERIFY2(test::chooseAction(*window_, QString::fromLatin1(name)), name);
}

void EndToEndTest::retype(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->clear();
    typeText(field, text);
}

// The lists take only their items: Home, then Down until the item shows.
void EndToEndTest::typeDayChoice(QComboBox *list, const QString &text)
{
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < list->count() && list->currentText() != text; ++i)
        QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentText(), text);
}

// Every field the board decoded against the editor's timetable: the frame's bytes, each
// relay's switching times, dates, month-year, day code and enable flag.
void EndToEndTest::compareProgramEvent(const QJsonObject &event, const RelayProgram &program)
{
    QCOMPARE(event.value(QStringLiteral("event")).toString(), QStringLiteral("program"));
    const ProgramEncodeResult encoded = encodeProgram(program);
    QVERIFY(encoded.ok());
    QCOMPARE(event.value(QStringLiteral("frame")).toString(),
             upperHex(programFrame(encoded.bytes)));
    QCOMPARE(stringsOf(event.value(QStringLiteral("problems"))), QStringList());

    const QJsonArray relays = event.value(QStringLiteral("relays")).toArray();
    QCOMPARE(relays.size(), kRelayCount);
    for (const RelayLayout &layout : relayLayouts()) {
        const QJsonObject relay = relays.at(layout.relay - 1).toObject();
        const QByteArray where = relayCaption(layout.relay).toUtf8();
        QCOMPARE(relay.value(QStringLiteral("relay")).toInt(), layout.relay);

        QStringList times;
        QStringList dates;
        for (int row = 0; row < kTimeSlotsPerRelay; ++row) {
            const QString &time = program.texts[static_cast<size_t>(layout.firstTimeSlot + row)];
            times.append(time.first(5));  // hh:mm: the board keeps no seconds
            if (layout.firstDateSlot >= 0) {
                const QString &date =
                    program.texts[static_cast<size_t>(layout.firstDateSlot + row)];
                dates.append(date.first(6) + date.sliced(8, 2));  // dd/mm/yy
            }
        }
        QVERIFY2(stringsOf(relay.value(QStringLiteral("times"))) == times, where.constData());
        QVERIFY2(stringsOf(relay.value(QStringLiteral("dates"))) == dates, where.constData());

        if (layout.monthYearSlot >= 0) {
            const QString &monthYear = program.texts[static_cast<size_t>(layout.monthYearSlot)];
            QCOMPARE(relay.value(QStringLiteral("monthYear")).toString(),
                     monthYear.first(3) + monthYear.sliced(5, 2));  // mm/yy
            QCOMPARE(relay.value(QStringLiteral("monthYearLead")).toInt(-1), 0);
        } else {
            QVERIFY2(!relay.contains(QStringLiteral("monthYear")), where.constData());
        }
        if (layout.dayChoice >= 0) {
            QCOMPARE(relay.value(QStringLiteral("dayCode")).toInt(-2),
                     program.dayChoices[static_cast<size_t>(layout.dayChoice)] + 1);
        } else {
            QVERIFY2(!relay.contains(QStringLiteral("dayCode")), where.constData());
        }
        const int enable = program.enables[static_cast<size_t>(layout.enableIndex)];
        QCOMPARE(relay.value(QStringLiteral("enableByte")).toInt(-1), enable == 1 ? 1 : 0);
        QCOMPARE(relay.value(QStringLiteral("enabled")).toBool(), enable == 1);
    }
}

void EndToEndTest::uploadedTimetableIsWhatTheBoardDecodes()
{
    choose("n_prog");
    QVERIFY(window_->programPanel()->isVisible());
    RelayEditor &editor = window_->programPanel()->editor();

    for (int relay = 0; relay < kRelayCount; ++relay)
        QTest::mouseClick(editor.heurePcButton(relay), Qt::LeftButton);
    QCOMPARE(editor.textField(0)->text(), QStringLiteral("10:20:00"));
    QCOMPARE(editor.textField(18)->text(), QStringLiteral("17/06/2009"));
    QCOMPARE(editor.textField(49)->text(), QStringLiteral("06/2009"));
    QCOMPARE(editor.dayChoice(1), 3);  // Mercredi

    // Relay 1: "Lundi à Vendredi", enabled, from 08:30:00 to 12:15:00.
    retype(editor.textField(0), QStringLiteral("08:30:00"));
    retype(editor.textField(1), QStringLiteral("12:15:00"));
    typeDayChoice(editor.dayList(0), QStringLiteral("Lundi à Vendredi"));
    QCOMPARE(editor.dayChoice(0), 8);
    QTest::mouseClick(editor.enableBox(0), Qt::LeftButton);
    // Relay 2: a greyed box, which the board must read as not enabled.
    editor.setEnable(1, 2);
    // Relay 3 (dates): its second window over Christmas 2007, across midnight.
    retype(editor.textField(14), QStringLiteral("18:00:00"));
    retype(editor.textField(20), QStringLiteral("24/12/2007"));
    retype(editor.textField(15), QStringLiteral("07:45:00"));
    retype(editor.textField(21), QStringLiteral("26/12/2007"));
    QTest::mouseClick(editor.enableBox(2), Qt::LeftButton);
    // Relay 4 (dates): last window at the very end of a year.
    retype(editor.textField(29), QStringLiteral("23:59:00"));
    retype(editor.textField(35), QStringLiteral("31/12/1999"));
    // Relay 5 (month): every day of March 2008.
    typeDayChoice(editor.dayList(2), QStringLiteral("Tous les jours"));
    QCOMPARE(editor.dayChoice(2), 9);
    retype(editor.textField(42), QStringLiteral("03/2008"));
    QTest::mouseClick(editor.enableBox(4), Qt::LeftButton);
    // Relay 6 (month): "Samedi et Dimanche", left as "Heure PC" filled it otherwise.
    typeDayChoice(editor.dayList(3), QStringLiteral("Samedi et Dimanche"));
    QCOMPARE(editor.dayChoice(3), 7);

    const RelayProgram program = editor.snapshot();
    QCOMPARE(program.enables, (std::array<int, kRelayCount>{1, 2, 1, 0, 1, 0}));

    QTest::mouseClick(window_->programPanel()->uploadButton(), Qt::LeftButton);  // "Programmer"
    const QJsonObject event = nextEvent(*sim_, QStringLiteral("program"));
    compareProgramEvent(event, program);
    if (QTest::currentTestFailed())
        return;

    // The values as the user typed them, read back from the board's side.
    const QJsonArray relays = event.value(QStringLiteral("relays")).toArray();
    const QJsonObject relay1 = relays.at(0).toObject();
    QCOMPARE(
        stringsOf(relay1.value(QStringLiteral("times"))).mid(0, 3),
        (QStringList{QStringLiteral("08:30"), QStringLiteral("12:15"), QStringLiteral("10:20")}));
    QCOMPARE(relay1.value(QStringLiteral("dayCode")).toInt(), 9);
    QCOMPARE(relay1.value(QStringLiteral("enabled")).toBool(), true);
    QCOMPARE(relays.at(1).toObject().value(QStringLiteral("dayCode")).toInt(), 4);  // Mercredi
    QCOMPARE(relays.at(1).toObject().value(QStringLiteral("enableByte")).toInt(-1), 0);
    const QJsonObject relay3 = relays.at(2).toObject();
    QCOMPARE(stringsOf(relay3.value(QStringLiteral("dates"))),
             (QStringList{QStringLiteral("17/06/09"), QStringLiteral("17/06/09"),
                          QStringLiteral("24/12/07"), QStringLiteral("26/12/07"),
                          QStringLiteral("17/06/09"), QStringLiteral("17/06/09")}));
    QCOMPARE(stringsOf(relay3.value(QStringLiteral("times"))).mid(2, 2),
             (QStringList{QStringLiteral("18:00"), QStringLiteral("07:45")}));
    const QJsonObject relay4 = relays.at(3).toObject();
    QCOMPARE(stringsOf(relay4.value(QStringLiteral("times"))).last(), QStringLiteral("23:59"));
    QCOMPARE(stringsOf(relay4.value(QStringLiteral("dates"))).last(), QStringLiteral("31/12/99"));
    const QJsonObject relay5 = relays.at(4).toObject();
    QCOMPARE(relay5.value(QStringLiteral("monthYear")).toString(), QStringLiteral("03/08"));
    QCOMPARE(relay5.value(QStringLiteral("dayCode")).toInt(), 10);
    QCOMPARE(relay5.value(QStringLiteral("enabled")).toBool(), true);
    const QJsonObject relay6 = relays.at(5).toObject();
    QCOMPARE(relay6.value(QStringLiteral("monthYear")).toString(), QStringLiteral("06/09"));
    QCOMPARE(relay6.value(QStringLiteral("dayCode")).toInt(), 8);

    // The board's answer reaches the programming panel's display.
    QTRY_VERIFY_WITH_TIMEOUT(window_->programPanel()->boardTextMirror()->text().contains(
                                 QStringLiteral("Programme reçu : 6 relais")),
                             kClockLineTimeoutMs);

    // The next start restores the timetable that was uploaded; a greyed box is stored, and
    // so comes back, clear.
    MainWindowOptions options;
    options.settingsPath = window_->settingsPath();
    options.clock = clock_->function();
    MainWindow restarted(options);
    RelayProgram stored = program;
    stored.enables[1] = 0;
    QCOMPARE(restarted.programPanel()->editor().snapshot(), stored);
}

void EndToEndTest::clockFrameSetsTheBoardClock_data()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<int>("weekDay");
    QTest::addColumn<QString>("dayName");
    QTest::newRow("Friday 23 November 2007, 14:37:52")
        << QDateTime(QDate(2007, 11, 23), QTime(14, 37, 52))
        << QStringLiteral("41 14 37 52 23 11 07 06") << 6 << QStringLiteral("Vendredi");
    QTest::newRow("Sunday 29 February 2032, 07:05:09")
        << QDateTime(QDate(2032, 2, 29), QTime(7, 5, 9))
        << QStringLiteral("41 07 05 09 29 02 32 01") << 1 << QStringLiteral("Dimanche");
}

void EndToEndTest::clockFrameSetsTheBoardClock()
{
    QFETCH(QDateTime, moment);
    QFETCH(QString, frame);
    QFETCH(int, weekDay);
    QFETCH(QString, dayName);

    clock_->set(moment);
    choose("n_mise_a_l_heure");
    ClockPanel *panel = window_->clockPanel();
    QVERIFY(panel->isVisible());
    QTest::mouseClick(panel->programmingButton(), Qt::LeftButton);  // "Programmation"

    const QJsonObject event = nextEvent(*sim_, QStringLiteral("clock"));
    QCOMPARE(event.value(QStringLiteral("event")).toString(), QStringLiteral("clock"));
    QCOMPARE(event.value(QStringLiteral("frame")).toString(), frame);
    QCOMPARE(event.value(QStringLiteral("weekDay")).toInt(), weekDay);
    QCOMPARE(event.value(QStringLiteral("moment")).toString(),
             moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    QCOMPARE(event.value(QStringLiteral("applied")).toBool(), true);
    QCOMPARE(stringsOf(event.value(QStringLiteral("problems"))), QStringList());

    // From then on the board shows its new time, which the clock-setting panel mirrors. Right
    // after the frame a read may still hold the old time as well; the next one is the new
    // time alone.
    QTRY_VERIFY2_WITH_TIMEOUT(isClockLineNear(panel->boardTextMirror()->text(), dayName, moment),
                              qPrintable(panel->boardTextMirror()->text()), kClockLineTimeoutMs);
    QCOMPARE(window_->clockDisplayPanel()->boardText()->text(), panel->boardTextMirror()->text());
}

void EndToEndTest::boardTextShowsInTheThreeDisplays()
{
    choose("n_heure_platine");
    ClockDisplayPanel *display = window_->clockDisplayPanel();
    QVERIFY(display->isVisible());
    QCOMPARE(display->boardText()->text(), QStringLiteral("...."));

    QTest::mouseClick(display->openPortButton(), Qt::LeftButton);  // "Ouverture port"
    QCOMPARE(display->portStateLabel()->text(), QStringLiteral("Port ouvert"));
    QCOMPARE(window_->link().receiveThreshold(), 26);
    QCOMPARE(nextEvent(*sim_, QStringLiteral("connection")).value(QStringLiteral("open")),
             QJsonValue(true));

    QLineEdit *text1 = display->boardText();
    const QDateTime simStart = QDateTime::fromString(kSimStart, Qt::ISODate);
    QTRY_VERIFY2_WITH_TIMEOUT(isClockLineNear(text1->text(), QStringLiteral("Vendredi"), simStart),
                              qPrintable(text1->text()), kClockLineTimeoutMs);
    const QString first = text1->text();
    QVERIFY(first.size() >= 26);
    QCOMPARE(window_->programPanel()->boardTextMirror()->text(), first);
    QCOMPARE(window_->clockPanel()->boardTextMirror()->text(), first);

    // The next second's line replaces the text; nothing is appended.
    QTRY_VERIFY_WITH_TIMEOUT(text1->text() != first, kClockLineTimeoutMs);
    const std::optional<ClockLine> firstLine = parseClockLine(first);
    const std::optional<ClockLine> nextLine = parseClockLine(text1->text());
    QVERIFY2(nextLine, qPrintable(text1->text()));
    QVERIFY(firstLine->moment < nextLine->moment);
    QCOMPARE(window_->programPanel()->boardTextMirror()->text(), text1->text());
    QCOMPARE(window_->clockPanel()->boardTextMirror()->text(), text1->text());

    QTest::mouseClick(display->closePortButton(), Qt::LeftButton);  // "Fermeture port"
    QCOMPARE(display->portStateLabel()->text(), QStringLiteral("Port fermé"));
    QCOMPARE(nextEvent(*sim_, QStringLiteral("connection")).value(QStringLiteral("open")),
             QJsonValue(false));
}

QTEST_MAIN(EndToEndTest)
#include "test_end_to_end.moc"
