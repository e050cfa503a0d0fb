#include "relays/program_checks.h"
#include "support/relay_programs.h"

#include <QTest>

using namespace platine;

namespace {

const QDate kToday(2026, 12, 9);  // a Wednesday

// Every relay active with windows that exist, dates to come and a day chosen.
RelayProgram soundProgram()
{
    return test::programOnEveryRelay(
        {QStringLiteral("08:00:00"), QStringLiteral("12:00:00"), QStringLiteral("14:00:00"),
         QStringLiteral("18:30:00"), QStringLiteral("00:00:00"), QStringLiteral("00:00:00")},
        QStringLiteral("24/12/2026"), QStringLiteral("12/2026"), 8, true);
}

}  // namespace

class ProgramChecksTest : public QObject
{
    Q_OBJECT

private slots:
    void soundProgramsHaveNoFinding()
    {
        QVERIFY(checkProgram(soundProgram(), kToday).isEmpty());
        // Leap day, a window running through midnight on a dated relay, a window that started
        // in the past and ends today, this very month, a window left at 00:00 - 00:00.
        RelayProgram program = soundProgram();
        program.texts[18] = QStringLiteral("29/02/2028");
        program.texts[19] = QStringLiteral("01/03/2028");
        program.texts[12] = QStringLiteral("22:00:00");
        program.texts[13] = QStringLiteral("06:00:00");
        program.texts[20] = QStringLiteral("01/12/2026");
        program.texts[21] = QStringLiteral("09/12/2026");
        program.texts[42] = QStringLiteral("12/2026");
        QVERIFY(checkProgram(program, kToday).isEmpty());
        // Fields that cannot be encoded are the upload's business, not a remark.
        program.texts[0] = QString();
        program.texts[18] = QStringLiteral("3/12/2026");
        QVERIFY(checkProgram(program, kToday).isEmpty());
        // Past dates and months do not matter on an inactive relay.
        program = soundProgram();
        program.texts[22] = QStringLiteral("01/01/2020");
        program.texts[23] = QStringLiteral("02/01/2020");
        program.texts[42] = QStringLiteral("11/2026");
        program.enables[2] = 0;
        program.enables[4] = 2;
        program.dayChoices[0] = -1;
        program.enables[0] = 0;
        // What an inactive relay with windows is told: its box is not ticked.
        QStringList told;
        for (const ProgramFinding &finding : checkProgram(program, kToday)) {
            QVERIFY2(finding.aboutEnableBox, qPrintable(finding.text()));
            told << finding.field;
        }
        QCOMPARE(told, (QStringList{QStringLiteral("Relais N°1, Relais Actif"),
                                    QStringLiteral("Relais N°3, Relais Actif"),
                                    QStringLiteral("Relais N°5, Relais Actif")}));
        // A neutral window (start and end the same) is no reason to tick it.
        for (int slot = 0; slot < kTimeSlotsPerRelay; ++slot)
            program.texts[size_t(slot)] = QStringLiteral("00:00:00");
        QCOMPARE(checkProgram(program, kToday).size(), 2);
    }

    void hourOrMinuteThatDoesNotExist_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("25:00") << 0 << "25:00:00"
                               << "Relais N°1, Début 1 : l'heure 25 n'existe pas (00 à 23) : "
                                  "fenêtre non dessinée";
        QTest::newRow("24:00") << 9 << "24:00:00"
                               << "Relais N°2, Fin 2 : l'heure 24 n'existe pas (00 à 23) : "
                                  "fenêtre non dessinée";
        QTest::newRow("07:75") << 40 << "07:75:00"
                               << "Relais N°5, Début 3 : la minute 75 n'existe pas (00 à 59) : "
                                  "fenêtre non dessinée";
    }
    void hourOrMinuteThatDoesNotExist()
    {
        QFETCH(int, slot);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        RelayProgram program = soundProgram();
        program.texts[size_t(slot)] = text;
        const QList<ProgramFinding> findings = checkProgram(program, kToday);
        QCOMPARE(findings.size(), 1);
        QCOMPARE(findings[0].text(), expected);
        QCOMPARE(findings[0].textIndex, slot);
        QCOMPARE(findings[0].relay, textSlotInfo(slot).relay);
        QCOMPARE(findings[0].window, textSlotInfo(slot).row / 2);
        QVERIFY(findings[0].unknownBehaviour);
    }

    void dateOrMonthThatDoesNotExist_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("31/02") << 18 << "31/02/2027"
                               << "Relais N°3, date de Début 1 : le 31/02/2027 n'existe pas : "
                                  "fenêtre non dessinée";
        QTest::newRow("29/02 not leap") << 31 << "29/02/2027"
                                        << "Relais N°4, date de Fin 1 : le 29/02/2027 n'existe "
                                           "pas : fenêtre non dessinée";
        QTest::newRow("month 13") << 18 << "10/13/2027"
                                  << "Relais N°3, date de Début 1 : le mois 13 n'existe pas "
                                     "(01 à 12) : fenêtre non dessinée";
        QTest::newRow("month-year 00") << 42 << "00/2027"
                                       << "Relais N°5, Mois - Année : le mois 00 n'existe pas "
                                          "(01 à 12) : relais non dessiné";
        QTest::newRow("month-year 13") << 49 << "13/2027"
                                       << "Relais N°6, Mois - Année : le mois 13 n'existe pas "
                                          "(01 à 12) : relais non dessiné";
    }
    void dateOrMonthThatDoesNotExist()
    {
        QFETCH(int, slot);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        RelayProgram program = soundProgram();
        program.texts[size_t(slot)] = text;
        const QList<ProgramFinding> findings = checkProgram(program, kToday);
        QCOMPARE(findings.size(), 1);
        QCOMPARE(findings[0].text(), expected);
        QVERIFY(findings[0].unknownBehaviour);
    }

    void yearOutsideTheCentury()
    {
        RelayProgram program = soundProgram();
        program.texts[30] = QStringLiteral("24/12/2126");
        program.texts[31] = QStringLiteral("24/12/2126");
        program.texts[49] = QStringLiteral("12/1999");
        program.enables[5] = 0;  // 1999 is also past
        QList<ProgramFinding> findings = checkProgram(program, kToday);
        findings.removeIf([](const ProgramFinding &f) { return f.aboutEnableBox; });
        QCOMPARE(findings.size(), 3);
        const QString problem = QStringLiteral("l'année doit être entre 2000 et 2099 : la "
                                               "platine n'en reçoit que les deux derniers "
                                               "chiffres");
        QCOMPARE(findings[0].textIndex, 30);
        QCOMPARE(findings[1].textIndex, 31);
        QCOMPARE(findings[2].textIndex, 49);
        for (const ProgramFinding &finding : findings) {
            QCOMPARE(finding.problem, problem);
            QVERIFY(!finding.unknownBehaviour);  // the board gets 2026 and 2099: drawn as such
        }
    }

    void windowThatEndsBeforeItStarts()
    {
        RelayProgram program = soundProgram();
        program.texts[2] = QStringLiteral("18:00:00");  // relay 1, window 2: 18:00 - 18:30 ...
        program.texts[3] = QStringLiteral("17:59:00");  // ... becomes 18:00 - 17:59
        // Relay 4, window 1: same times, the end date a day before the start date.
        program.texts[30] = QStringLiteral("25/12/2026");
        // Relay 3, window 2: the end time earlier, but on the next day: sound.
        program.texts[14] = QStringLiteral("22:00:00");
        program.texts[15] = QStringLiteral("06:00:00");
        program.texts[21] = QStringLiteral("25/12/2026");
        const QList<ProgramFinding> findings = checkProgram(program, kToday);
        QCOMPARE(findings.size(), 2);
        QCOMPARE(findings[0].text(),
                 QStringLiteral("Relais N°1, Fin 2 : la fin précède le début : on ne sait pas ce "
                                "que fera la platine, fenêtre non dessinée"));
        QCOMPARE(findings[0].window, 1);
        QVERIFY(findings[0].unknownBehaviour);
        QCOMPARE(findings[1].relay, 4);
        QCOMPARE(findings[1].textIndex, 25);
        QCOMPARE(findings[1].window, 0);
        QVERIFY(findings[1].unknownBehaviour);
    }

    void dateOrMonthAlreadyPast()
    {
        RelayProgram program = soundProgram();
        program.texts[18] = QStringLiteral("01/12/2026");  // relay 3, window 1, both ends past
        program.texts[19] = QStringLiteral("08/12/2026");
        program.texts[20] = QStringLiteral("08/12/2026");  // window 2 started yesterday, goes on
        program.texts[49] = QStringLiteral("11/2026");     // relay 6: last month
        const QList<ProgramFinding> findings = checkProgram(program, kToday);
        QCOMPARE(findings.size(), 3);
        QCOMPARE(findings[0].text(),
                 QStringLiteral("Relais N°3, date de Début 1 : cette date est déjà passée"));
        QCOMPARE(findings[1].textIndex, 19);
        QCOMPARE(findings[2].text(),
                 QStringLiteral("Relais N°6, Mois - Année : ce mois est déjà passé"));
        QCOMPARE(findings[2].window, -1);
        for (const ProgramFinding &finding : findings)
            QVERIFY(!finding.unknownBehaviour);
    }

    void activeRelayWithNoDay()
    {
        RelayProgram program = soundProgram();
        program.dayChoices[1] = -1;
        const QList<ProgramFinding> findings = checkProgram(program, kToday);
        QCOMPARE(findings.size(), 1);
        QCOMPARE(findings[0].text(),
                 QStringLiteral("Relais N°2, Jour(s) concerné(s) : relais actif sans jour "
                                "choisi : il ne s'enclenche jamais"));
        QCOMPARE(findings[0].textIndex, -1);
        QCOMPARE(findings[0].relay, 2);
    }
};

QTEST_GUILESS_MAIN(ProgramChecksTest)
#include "test_program_checks.moc"
