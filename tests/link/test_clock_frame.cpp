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
            << f("10", "123", "00", "01", "01", "2010", QStringLiteral("Vendredi"))
            << hex("4110120001011006");
        QTest::newRow("only the year's third and fourth characters go out")
            << f("00", "00", "00", "01", "01", "20071", QStringLiteral("Lundi"))
            << hex("4100000001010702");
        QTest::newRow("characters after the digits are ignored")
            << f("12h", "30:", "00s", "01/", "01-", "2010ab", QStringLiteral("Vendredi"))
            << hex("4112300001011006");
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
        for (int i = 0; i < 7; ++i) {
            const QDate date(2000, 1, 2 + i);  // Sunday 2 January 2000 onwards
            const ClockFrameResult result =
                encodeClockFrame(clockFieldsFor(QDateTime(date, QTime(12, 0))));
            QVERIFY(result.ok());
            QCOMPARE(int(quint8(result.frame.at(7))), i + 1);
        }
    }

    // One rule for the window's fields, the command line's --date and the PC clock: the form
    // "AAAA-MM-JJ hh:mm:ss" read into the fields, then every value checked. An empty field
    // means a form that is not taken at all.
    void refusesImpossibleMoments_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("weekDay");  // replaces the date's own when given
        QTest::addColumn<QString>("refusal");
        const auto row = [](const char *name, const char *text, const char *weekDay,
                            const char *refusal) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(weekDay)
                                << QString::fromUtf8(refusal);
        };
        row("minute 61", "2026-01-01 10:61:00", "", "« Minutes » vaut 61");
        row("24:00:00", "2026-01-01 24:00:00", "", "« Heures » vaut 24");
        row("second 60", "2026-01-01 23:59:60", "", "« Secondes » vaut 60");
        row("31 February", "2027-02-31 10:00:00", "", "le mois 02/2027 n'a que 28 jours");
        row("29 February of a common year", "2026-02-29 10:00:00", "", "n'a que 28 jours");
        row("month 0", "2026-00-10 10:00:00", "", "« Mois » vaut 00");
        row("month 13", "2026-13-10 10:00:00", "", "« Mois » vaut 13");
        row("day 0", "2026-01-00 10:00:00", "", "« Jour » vaut 00");
        row("2100", "2100-03-01 00:00:00", "", "« Année » vaut 2100");
        row("1999", "1999-12-31 23:59:59", "", "« Année » vaut 1999");
        row("weekday of another date", "2026-12-10 08:00:00", "Lundi",
            "le 10/12/2026 est un jeudi, pas un lundi");
        row("misspelt weekday", "2026-12-09 08:00:00", "Mercrdi",
            "« Mercrdi » n'en est pas un ; le 09/12/2026 est un "
            "mercredi");
        row("weekday in lower case", "2026-12-09 08:00:00", "mercredi",
            "« mercredi » n'en est pas un");
        row("one-digit hour", "2026-01-01 7:05:00", "", "");
        row("empty", "", "", "");
        row("garbage", "demain midi", "", "");
        row("ISO T", "2026-01-01T10:00:00", "", "");
        row("no seconds", "2026-01-01 10:00", "", "");
    }
    void refusesImpossibleMoments()
    {
        QFETCH(QString, text);
        QFETCH(QString, weekDay);
        QFETCH(QString, refusal);
        std::optional<ClockFields> fields = clockFieldsFromText(text);
        if (refusal.isEmpty()) {
            QVERIFY(!fields);
            return;
        }
        QVERIFY(fields);
        if (!weekDay.isEmpty())
            fields->weekDay = weekDay;
        const ClockFrameResult result = encodeClockFrame(*fields);
        QVERIFY(!result.ok());
        QVERIFY(result.frame.isEmpty());
        QVERIFY2(result.error->message().contains(refusal), qPrintable(result.error->message()));
    }

    // --date is the board's plain time: the message names exactly what went out.
    void readsTheCommandLineForm()
    {
        const ClockFrameResult result = encodeClockFrame(*clockFieldsFromText(
            QStringLiteral("2026-03-29 02:30:00")));  // skipped by the PC in Paris
        QVERIFY(result.ok());
        QCOMPARE(result.frame.toHex(' '), QByteArray("41 02 30 00 29 03 26 01"));
        QCOMPARE(clockSentMessage(result.moment),
                 QStringLiteral("Heure envoyée à la platine : dimanche 29/03/2026 02:30:00."));
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
