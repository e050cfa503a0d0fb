#include "link/clock_frame.h"
#include "link/days.h"

#include <QDateTime>
#include <QTest>

using namespace platine;

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}
}  // namespace

class ClockFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void encodesFields_data()
    {
        QTest::addColumn<ClockFields>("fields");
        QTest::addColumn<QByteArray>("frame");
        const auto f = [](const char *h, const char *mi, const char *s, const char *d,
                          const char *mo, const char *y, const QString &name) {
            return ClockFields{QString::fromUtf8(h),
                               QString::fromUtf8(mi),
                               QString::fromUtf8(s),
                               QString::fromUtf8(d),
                               QString::fromUtf8(mo),
                               QString::fromUtf8(y),
                               name};
        };
        QTest::newRow("Friday 23 November 2007")
            << f("14", "37", "52", "23", "11", "2007", QStringLiteral("Vendredi"))
            << hex("4114375223110706");
        QTest::newRow("Sunday 1 March 2009")
            << f("08", "05", "09", "01", "03", "2009", QStringLiteral("Dimanche"))
            << hex("4108050901030901");
        QTest::newRow("three-character minutes send their first two")
            << f("10", "123", "00", "01", "01", "2010", QStringLiteral("Mercredi"))
            << hex("4110120001011004");
        QTest::newRow("1999 sends 99, 20071 sends 07")
            << f("00", "00", "00", "01", "01", "1999", QStringLiteral("Samedi"))
            << hex("4100000001019907");
        QTest::newRow("only the year's third and fourth characters count")
            << f("00", "00", "00", "01", "01", "20071", QStringLiteral("Jeudi"))
            << hex("4100000001010705");
        QTest::newRow("no range check")
            << f("25", "99", "61", "45", "99", "2000", QStringLiteral("Lundi"))
            << hex("4125996145990002");
        QTest::newRow("day name in lower case gives 0")
            << f("12", "00", "00", "01", "01", "2010", QStringLiteral("mercredi"))
            << hex("4112000001011000");
        QTest::newRow("trailing blank and empty day name give 0")
            << f("12", "00", "00", "01", "01", "2010", QStringLiteral("Lundi "))
            << hex("4112000001011000");
        QTest::newRow("empty day name")
            << f("12", "00", "00", "01", "01", "2010", QString()) << hex("4112000001011000");
        QTest::newRow("characters after the digits are ignored")
            << f("12h", "30:", "00s", "01/", "01-", "xx10ab", QStringLiteral("Mardi"))
            << hex("4112300001011003");
    }
    void encodesFields()
    {
        QFETCH(ClockFields, fields);
        QFETCH(QByteArray, frame);
        const ClockFrameResult result = encodeClockFrame(fields);
        QVERIFY2(result.ok(), qPrintable(result.error ? result.error->message() : QString()));
        QCOMPARE(result.frame.size(), kClockFrameSize);
        QCOMPARE(result.frame.toHex(' '), frame.toHex(' '));
    }

    void everyDayNameHasItsNumber()
    {
        ClockFields fields{QStringLiteral("00"),
                           QStringLiteral("00"),
                           QStringLiteral("00"),
                           QStringLiteral("01"),
                           QStringLiteral("01"),
                           QStringLiteral("2000"),
                           {}};
        const QStringList names = {QStringLiteral("Dimanche"), QStringLiteral("Lundi"),
                                   QStringLiteral("Mardi"),    QStringLiteral("Mercredi"),
                                   QStringLiteral("Jeudi"),    QStringLiteral("Vendredi"),
                                   QStringLiteral("Samedi")};
        for (int i = 0; i < names.size(); ++i) {
            fields.weekDay = names[i];
            QCOMPARE(int(quint8(encodeClockFrame(fields).frame.at(7))), i + 1);
        }
    }

    void refusesUnreadableField_data()
    {
        QTest::addColumn<int>("fieldIndex");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("badPositions");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty hours")
            << 0 << QString() << QList<int>{1, 2} << QStringLiteral("le champ est vide");
        QTest::newRow("one-character minutes") << 1 << QStringLiteral("7") << QList<int>{2}
                                               << QStringLiteral("il ne compte qu'un caractère");
        QTest::newRow("blank in seconds")
            << 2 << QStringLiteral(" 5") << QList<int>{1}
            << QStringLiteral("le caractère n° 1, une espace, n'est pas un chiffre");
        QTest::newRow("letter in day")
            << 3 << QStringLiteral("1x") << QList<int>{2}
            << QStringLiteral("le caractère n° 2, « x », n'est pas un chiffre");
        // Characters that would not show are given by their code.
        QTest::newRow("escape in hours")
            << 0 << QStringLiteral("1\x1b") << QList<int>{2}
            << QStringLiteral("le caractère n° 2, « <U+001B> », n'est pas un chiffre");
        QTest::newRow("emoji in year, shown whole")
            << 5 << QStringLiteral("20\U0001F600") << QList<int>{3, 4}
            << QStringLiteral("le caractère n° 3, « \U0001F600 », n'est pas un chiffre");
        QTest::newRow("non-ASCII digit in month") << 4 << QStringLiteral("0\u0663") << QList<int>{2}
                                                  << QStringLiteral("n'est pas un chiffre");
        QTest::newRow("two-digit year") << 5 << QStringLiteral("07") << QList<int>{3, 4}
                                        << QStringLiteral("il ne compte que 2 caractères");
        QTest::newRow("three-digit year") << 5 << QStringLiteral("200") << QList<int>{4}
                                          << QStringLiteral("il ne compte que 3 caractères");
    }
    void refusesUnreadableField()
    {
        QFETCH(int, fieldIndex);
        QFETCH(QString, text);
        QFETCH(QList<int>, badPositions);
        QFETCH(QString, reason);
        ClockFields fields{QStringLiteral("14"),      QStringLiteral("37"), QStringLiteral("52"),
                           QStringLiteral("23"),      QStringLiteral("11"), QStringLiteral("2007"),
                           QStringLiteral("Vendredi")};
        QString *fieldTexts[] = {&fields.hours, &fields.minutes, &fields.seconds,
                                 &fields.day,   &fields.month,   &fields.year};
        *fieldTexts[fieldIndex] = text;
        const ClockFrameResult result = encodeClockFrame(fields);
        QVERIFY(!result.ok());
        QVERIFY(result.frame.isEmpty());
        QCOMPARE(int(result.error->field), fieldIndex);
        QCOMPARE(result.error->badPositions, badPositions);
        const QString message = result.error->message();
        QVERIFY2(message.contains(clockFieldCaption(result.error->field)), qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));
    }

    void reportsTheFirstUnreadableField()
    {
        const ClockFields fields{
            QStringLiteral("14"), QStringLiteral("3"), QStringLiteral("52"),      QString(),
            QStringLiteral("11"), QStringLiteral("x"), QStringLiteral("Vendredi")};
        const ClockFrameResult result = encodeClockFrame(fields);
        QVERIFY(!result.ok());
        QCOMPARE(result.error->field, ClockField::Minutes);
        QVERIFY(result.error->message().contains(
            QStringLiteral("« Minutes » doit commencer par deux chiffres")));
    }

    void fillsFromTheClock_data()
    {
        QTest::addColumn<QDateTime>("moment");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("midnight, Friday 1 January 2010")
            << QDateTime(QDate(2010, 1, 1), QTime(0, 0, 0))
            << QStringList{QStringLiteral("00"),      QStringLiteral("00"), QStringLiteral("00"),
                           QStringLiteral("01"),      QStringLiteral("01"), QStringLiteral("2010"),
                           QStringLiteral("Vendredi")};
        QTest::newRow("Sunday 1 March 2009, 08:05:09")
            << QDateTime(QDate(2009, 3, 1), QTime(8, 5, 9))
            << QStringList{QStringLiteral("08"),      QStringLiteral("05"), QStringLiteral("09"),
                           QStringLiteral("01"),      QStringLiteral("03"), QStringLiteral("2009"),
                           QStringLiteral("Dimanche")};
        QTest::newRow("Saturday 31 December 2011, 23:59:59")
            << QDateTime(QDate(2011, 12, 31), QTime(23, 59, 59))
            << QStringList{QStringLiteral("23"),    QStringLiteral("59"), QStringLiteral("59"),
                           QStringLiteral("31"),    QStringLiteral("12"), QStringLiteral("2011"),
                           QStringLiteral("Samedi")};
    }
    void fillsFromTheClock()
    {
        QFETCH(QDateTime, moment);
        QFETCH(QStringList, texts);
        const ClockFields f = clockFieldsFor(moment);
        QCOMPARE((QStringList{f.hours, f.minutes, f.seconds, f.day, f.month, f.year, f.weekDay}),
                 texts);
        // What the fill writes always encodes.
        QVERIFY(encodeClockFrame(f).ok());
    }
};

QTEST_GUILESS_MAIN(ClockFrameTest)
#include "test_clock_frame.moc"
