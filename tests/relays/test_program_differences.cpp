// Two programs compared in words, relay by relay, as "Comparer" lists them.

#include "relays/program_differences.h"
#include "support/relay_programs.h"

#include <QTest>

using namespace platine;

class ProgramDifferencesTest : public QObject
{
    Q_OBJECT

private slots:
    void listsTheFieldsThatDifferInWords()
    {
        const RelayProgram sent = test::encodableProgram();
        QVERIFY(programDifferences(sent, sent).isEmpty());

        RelayProgram edited = sent;
        edited.enables[0] = 1;
        edited.dayChoices[0] = 8;  // "Lundi à Vendredi"
        edited.texts[1] = QStringLiteral("12:15:00");
        edited.texts[18] = QStringLiteral("02/01/2000");  // relay 3, date of Début 1
        edited.texts[49] = QString();
        const QStringList lines = programDifferences(sent, edited);
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QStringLiteral("Relais N°1 : inactif → actif"));
        QVERIFY2(lines[1].startsWith(QStringLiteral("Relais N°1, jours : Dimanche → ")),
                 qPrintable(lines[1]));
        QCOMPARE(lines[2], QStringLiteral("Relais N°1, heure de Fin 1 : 00:00:00 → 12:15:00"));
        QCOMPARE(lines[3], QStringLiteral("Relais N°3, date de Début 1 : 01/01/2000 → 02/01/2000"));
        QVERIFY2(lines[4].endsWith(QStringLiteral(" → —")), qPrintable(lines[4]));
        QVERIFY2(lines[4].startsWith(QStringLiteral("Relais N°6")), qPrintable(lines[4]));

        // What a frame does not carry is left aside once both are read back from frames.
        RelayProgram seconds = sent;
        seconds.texts[0] = QStringLiteral("00:00:42");
        QCOMPARE(programDifferences(programAsSent(sent), programAsSent(seconds)), QStringList());
    }
};

QTEST_MAIN(ProgramDifferencesTest)
#include "test_program_differences.moc"
