#include "relays/program_decode.h"
#include "relays/program_frame.h"

#include "support/relay_programs.h"

#include <QTest>

using namespace platine;
using platine::test::encodableProgram;

namespace {

QByteArray frameOf(const RelayProgram &program)
{
    const ProgramEncodeResult result = encodeProgram(program);
    if (!result.ok())
        qWarning("%s", qPrintable(result.error->message()));
    return result.ok() ? programFrame(result.bytes) : QByteArray();
}

QByteArray bytesAt(const QByteArray &frame, int first, int last)
{
    return frame.mid(first, last - first + 1);
}

}  // namespace

class ProgramFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void weeklyRelayWorkedExample()
    {
        RelayProgram program = encodableProgram();
        const QStringList times = {QStringLiteral("08:30:00"), QStringLiteral("12:15:00"),
                                   QStringLiteral("14:00:00"), QStringLiteral("17:45:00"),
                                   QStringLiteral("00:00:00"), QStringLiteral("00:00:00")};
        for (int i = 0; i < 6; ++i)
            program.texts[i] = times[i];
        program.dayChoices[0] = 8;  // "Lundi à Vendredi"
        program.enables[0] = 1;
        const QByteArray frame = frameOf(program);
        QCOMPARE(frame.size(), kProgramFrameSize);
        QCOMPARE(bytesAt(frame, 0, 14).toHex(' '),
                 QByteArray("42 08 30 12 15 14 00 17 45 00 00 00 00 09 01"));
    }

    void datedRelayWorkedExample()
    {
        RelayProgram program = encodableProgram();
        program.texts[12] = QStringLiteral("07:00:00");
        program.texts[18] = QStringLiteral("24/12/2007");
        const QByteArray frame = frameOf(program);
        QCOMPARE(bytesAt(frame, 29, 30).toHex(' '), QByteArray("07 00"));
        QCOMPARE(bytesAt(frame, 41, 43).toHex(' '), QByteArray("24 12 07"));
    }

    void monthRelayWorkedExample()
    {
        RelayProgram program = encodableProgram();
        program.dayChoices[2] = 9;  // "Tous les jours"
        program.texts[42] = QStringLiteral("03/2008");
        const QByteArray frame = frameOf(program);
        QCOMPARE(bytesAt(frame, 103, 106).toHex(' '), QByteArray("0a 00 03 08"));
    }

    // Every field gets its own value, and every byte of the frame is checked against the
    // block layout the board expects.
    void wholeFrameLayout()
    {
        RelayProgram program;
        QByteArray expected(kProgramFrameSize, '\0');
        expected[0] = 'B';
        const auto bcd = [](int v) { return char((v / 10) * 16 + v % 10); };
        // Relay blocks: time group start, date group start (-1), day code offset (-1),
        // month-year offset (-1), enable offset.
        struct Block
        {
            int times, dates, day, monthYear, enable;
        };
        const Block blocks[6] = {{1, -1, 13, -1, 14},     {15, -1, 27, -1, 28},
                                 {29, 41, -1, -1, 59},    {60, 72, -1, -1, 90},
                                 {91, -1, 103, 104, 107}, {108, -1, 120, 121, 124}};
        int value = 0;
        for (int r = 0; r < kRelayCount; ++r) {
            const RelayLayout &layout = relayLayouts()[r];
            const Block &b = blocks[r];
            for (int row = 0; row < 6; ++row) {
                const int h = (++value) % 24, m = (value * 7) % 60;
                program.texts[layout.firstTimeSlot + row] = QStringLiteral("%1:%2:00")
                                                                .arg(h, 2, 10, QLatin1Char('0'))
                                                                .arg(m, 2, 10, QLatin1Char('0'));
                expected[b.times + 2 * row] = bcd(h);
                expected[b.times + 2 * row + 1] = bcd(m);
                if (b.dates >= 0) {
                    const int d = 1 + (value % 28), mo = 1 + (value % 12), y = (value * 3) % 100;
                    program.texts[layout.firstDateSlot + row] =
                        QStringLiteral("%1/%2/20%3")
                            .arg(d, 2, 10, QLatin1Char('0'))
                            .arg(mo, 2, 10, QLatin1Char('0'))
                            .arg(y, 2, 10, QLatin1Char('0'));
                    expected[b.dates + 3 * row] = bcd(d);
                    expected[b.dates + 3 * row + 1] = bcd(mo);
                    expected[b.dates + 3 * row + 2] = bcd(y);
                }
            }
            if (b.monthYear >= 0) {
                const int mo = 10 + r, y = 80 + r;  // years 8x go out above 0x7F
                program.texts[layout.monthYearSlot] = QStringLiteral("%1/19%2").arg(mo).arg(y);
                expected[b.monthYear] = 0;
                expected[b.monthYear + 1] = bcd(mo);
                expected[b.monthYear + 2] = bcd(y);
            }
            if (b.day >= 0) {
                const int choice = r == 0 ? -1 : (r == 1 ? 9 : (r == 4 ? 6 : 0));
                program.dayChoices[layout.dayChoice] = choice;
                expected[b.day] = char(choice + 1);
            }
            program.enables[r] = r % 3 == 0 ? 1 : (r % 3 == 1 ? 2 : 0);
            expected[b.enable] = program.enables[r] == 1 ? 1 : 0;
        }
        QCOMPARE(frameOf(program).toHex(' '), expected.toHex(' '));
    }

    void allDisabledKeepsEveryBlock()
    {
        RelayProgram program = encodableProgram();
        program.texts[0] = QStringLiteral("23:45:00");
        program.texts[30] = QStringLiteral("31/12/2099");
        program.texts[49] = QStringLiteral("12/1999");
        program.dayChoices = {9, 7, 8, 6};
        const QByteArray frame = frameOf(program);
        QCOMPARE(frame.size(), kProgramFrameSize);
        for (const int offset : {14, 28, 59, 90, 107, 124})
            QCOMPARE(int(frame[offset]), 0);
        QCOMPARE(bytesAt(frame, 1, 2).toHex(' '), QByteArray("23 45"));
        QCOMPARE(bytesAt(frame, 72, 74).toHex(' '), QByteArray("31 12 99"));
        QCOMPARE(bytesAt(frame, 120, 123).toHex(' '), QByteArray("07 00 12 99"));
        QCOMPARE(int(frame[13]), 10);
        QCOMPARE(int(frame[27]), 8);
        QCOMPARE(int(frame[103]), 9);
    }

    void onlySeparatorPositionsAreSkipped()
    {
        RelayProgram program = encodableProgram();
        program.texts[0] = QStringLiteral("12h30:00");
        program.texts[1] = QStringLiteral("25:99");        // no range check, seconds never read
        program.texts[18] = QStringLiteral("31-02.xx99");  // century never read
        program.texts[42] = QStringLiteral("07-xx08 and more");
        program.enables[0] = 2;  // greyed counts as not enabled
        const QByteArray frame = frameOf(program);
        QCOMPARE(bytesAt(frame, 1, 4).toHex(' '), QByteArray("12 30 25 99"));
        QCOMPARE(bytesAt(frame, 41, 43).toHex(' '), QByteArray("31 02 99"));
        QCOMPARE(bytesAt(frame, 104, 106).toHex(' '), QByteArray("00 07 08"));
        QCOMPARE(int(frame[14]), 0);
    }

    void refusesUnreadableField_data()
    {
        QTest::addColumn<int>("textIndex");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("relay");
        QTest::addColumn<SlotKind>("kind");
        QTest::addColumn<QList<int>>("badPositions");
        QTest::newRow("empty time")
            << 3 << QString() << 1 << SlotKind::Time << QList<int>{1, 2, 4, 5};
        QTest::newRow("one-digit hour")
            << 7 << QStringLiteral("8:30:00") << 2 << SlotKind::Time << QList<int>{2, 5};
        QTest::newRow("blank in minutes")
            << 17 << QStringLiteral("12: 5:00") << 3 << SlotKind::Time << QList<int>{4};
        QTest::newRow("short time")
            << 41 << QStringLiteral("12:3") << 5 << SlotKind::Time << QList<int>{5};
        QTest::newRow("date without year")
            << 20 << QStringLiteral("24/12") << 3 << SlotKind::Date << QList<int>{9, 10};
        QTest::newRow("date with two-digit year")
            << 35 << QStringLiteral("24/12/07") << 4 << SlotKind::Date << QList<int>{9, 10};
        QTest::newRow("letter in date day")
            << 30 << QStringLiteral("2a/12/2007") << 4 << SlotKind::Date << QList<int>{2};
        QTest::newRow("empty month-year")
            << 42 << QString() << 5 << SlotKind::MonthYear << QList<int>{1, 2, 6, 7};
        QTest::newRow("month-year as a date")
            << 49 << QStringLiteral("01/03/2008") << 6 << SlotKind::MonthYear << QList<int>{6};
        QTest::newRow("last time of relay 6")
            << 48 << QStringLiteral("ab:cd:ef") << 6 << SlotKind::Time << QList<int>{1, 2, 4, 5};
    }
    void refusesUnreadableField()
    {
        QFETCH(int, textIndex);
        QFETCH(QString, text);
        QFETCH(int, relay);
        QFETCH(SlotKind, kind);
        QFETCH(QList<int>, badPositions);
        RelayProgram program = encodableProgram();
        program.texts[textIndex] = text;
        program.enables.fill(1);
        const ProgramEncodeResult result = encodeProgram(program);
        QVERIFY(!result.ok());
        QVERIFY(result.bytes.isEmpty());
        QCOMPARE(result.error->textIndex, textIndex);
        QCOMPARE(result.error->relay, relay);
        QCOMPARE(result.error->kind, kind);
        QCOMPARE(result.error->badPositions, badPositions);
        QVERIFY(result.error->relayEnabled);
        const QString message = result.error->message();
        QVERIFY2(message.contains(textSlotDescription(textIndex)), qPrintable(message));
        QVERIFY2(message.contains(expectedFormDescription(kind)), qPrintable(message));
        QVERIFY2(!message.contains(QStringLiteral("est inactif")), qPrintable(message));
    }

    // A character that would not show is quoted by its code.
    void invisibleCharactersAreQuotedByTheirCode()
    {
        RelayProgram program = encodableProgram();
        program.texts[18] = QStringLiteral("24/1\u200b/2007");
        QString message = encodeProgram(program).error->message();
        QVERIFY2(message.contains(QStringLiteral("le caractère n° 5, « <U+200B> », n'est pas")),
                 qPrintable(message));
        program.texts[0] = QStringLiteral("\u001b8:30:00");
        message = encodeProgram(program).error->message();
        QVERIFY2(message.contains(QStringLiteral("le caractère n° 1, « <U+001B> », n'est pas")),
                 qPrintable(message));
    }

    void disabledRelaysMustEncodeToo()
    {
        RelayProgram program = encodableProgram();
        program.texts[22] = QStringLiteral("5/1/2008");
        program.enables = {1, 1, 0, 1, 1, 1};
        const ProgramEncodeResult result = encodeProgram(program);
        QVERIFY(!result.ok());
        QCOMPARE(result.error->textIndex, 22);
        QVERIFY(!result.error->relayEnabled);
        const QString message = result.error->message();
        QVERIFY2(message.contains(QStringLiteral("Relais N°3, date de Début 3")),
                 qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("Le Relais N°3 est inactif")),
                 qPrintable(message));
    }

    // Fields are read relay by relay, times before dates or month-year.
    void reportsTheFirstUnreadableField_data()
    {
        QTest::addColumn<QList<int>>("badSlots");
        QTest::addColumn<int>("reported");
        QTest::newRow("time before date of the same relay") << QList<int>{18, 17} << 17;
        QTest::newRow("relay 3's dates before relay 4's times") << QList<int>{24, 23} << 23;
        QTest::newRow("relay 5's month-year before relay 6's times") << QList<int>{43, 42} << 42;
        QTest::newRow("relay 5's times before its month-year") << QList<int>{42, 41} << 41;
        QTest::newRow("relay 6's month-year last") << QList<int>{49, 48} << 48;
    }
    void reportsTheFirstUnreadableField()
    {
        QFETCH(QList<int>, badSlots);
        QFETCH(int, reported);
        RelayProgram program = encodableProgram();
        for (const int slot : badSlots)
            program.texts[slot] = QStringLiteral("?");
        const ProgramEncodeResult result = encodeProgram(program);
        QVERIFY(!result.ok());
        QCOMPARE(result.error->textIndex, reported);
    }

    void slotTableMatchesTheRelays()
    {
        // Relay 5's month-year sits between relay 5's and relay 6's times.
        QCOMPARE(textSlotInfo(42).relay, 5);
        QCOMPARE(textSlotInfo(42).kind, SlotKind::MonthYear);
        QCOMPARE(textSlotInfo(43).relay, 6);
        QCOMPARE(textSlotInfo(43).row, 0);
        QCOMPARE(textSlotInfo(49).kind, SlotKind::MonthYear);
        QCOMPARE(textSlotInfo(23).kind, SlotKind::Date);
        QCOMPARE(textSlotInfo(23).row, 5);
        QCOMPARE(textSlotDescription(13), QStringLiteral("Relais N°3, Fin 1"));
        QCOMPARE(textSlotDescription(21), QStringLiteral("Relais N°3, date de Fin 2"));
        QCOMPARE(textSlotDescription(42), QStringLiteral("Relais N°5, Mois - Année"));
        int counts[6] = {};
        for (int i = 0; i < kTextSlotCount; ++i)
            ++counts[textSlotInfo(i).relay - 1];
        QCOMPARE((QList<int>(std::begin(counts), std::end(counts))),
                 (QList<int>{6, 6, 12, 12, 7, 7}));
    }

    // A frame from the journal comes back as a program that sends the same bytes, in the
    // editor's forms; bytes no encoder makes are not taken for a program.
    void frameReadsBackAsItsProgram()
    {
        RelayProgram program = encodableProgram();
        for (int i = 0; i < kTextSlotCount; ++i) {  // every slot its own digits
            const QString n = QStringLiteral("%1").arg(i % 12 + 1, 2, 10, QLatin1Char('0'));
            const SlotKind kind = textSlotInfo(i).kind;
            program.texts[size_t(i)] =
                kind == SlotKind::Time ? n + u':' + QString::number(i + 10) + QStringLiteral(":00")
                : kind == SlotKind::Date
                    ? n + u'/' + n + QStringLiteral("/20") + QString::number(i + 10)
                    : n + QStringLiteral("/2031");
        }
        program.dayChoices = {-1, 9, 0, 7};
        program.enables = {1, 0, 1, 1, 0, 1};
        const QByteArray frame = frameOf(program);
        QCOMPARE(programFromFrame(frame), std::optional<RelayProgram>(program));
        program.texts[0] = QStringLiteral("07:45:59");  // seconds are never sent
        program.enables[1] = 2;                         // a greyed box sends 0
        QCOMPARE(frameOf(*programFromFrame(frameOf(program))), frameOf(program));

        for (const auto &[offset, value] :
             std::initializer_list<std::pair<int, char>>{{1, 0x1A}, {13, 11}, {14, 2}, {104, 1}})
            QVERIFY(!programFromFrame(QByteArray(frame).replace(offset, 1, QByteArray(1, value))));
        QVERIFY(!programFromFrame(frame.left(124)));
    }
};

QTEST_GUILESS_MAIN(ProgramFrameTest)
#include "test_program_frame.moc"
