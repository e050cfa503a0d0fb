#include "relays/program_edits.h"

#include "support/relay_programs.h"

#include <QTest>

using namespace platine;

class ProgramEditsTest : public QObject
{
    Q_OBJECT

private slots:
    // The forms "Programmer" proposes, through the function its message uses: only texts that
    // read one way, and only values that exist.
    void proposesTheWrittenForm_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("proposed");  // empty: nothing proposed
        const auto row = [](const char *name, SlotKind kind, const char *typed,
                            const char *proposed) {
            QTest::newRow(name) << int(kind) << QString::fromUtf8(typed)
                                << QString::fromUtf8(proposed);
        };
        row("7:30", SlotKind::Time, "7:30", "07:30:00");
        row("7h30", SlotKind::Time, "7h30", "07:30:00");
        row("7h", SlotKind::Time, "7h", "07:00:00");
        row("0730", SlotKind::Time, "0730", "07:30:00");
        row("19:05:30", SlotKind::Time, "19:05:30", "");  // already written so
        row("7:30:15 with blanks", SlotKind::Time, " 7:30:15 ", "07:30:15");
        row("hour 25", SlotKind::Time, "25:00", "");
        row("730 reads two ways", SlotKind::Time, "730", "");
        row("empty time", SlotKind::Time, "", "");
        row("1/3/2027", SlotKind::Date, "1/3/2027", "01/03/2027");
        row("1.3.2027", SlotKind::Date, "1.3.2027", "01/03/2027");
        row("31/2/2027", SlotKind::Date, "31/2/2027", "");
        row("two-digit year", SlotKind::Date, "1/3/27", "");
        row("3/2027", SlotKind::MonthYear, "3/2027", "03/2027");
        row("month 13", SlotKind::MonthYear, "13/2027", "");
    }
    void proposesTheWrittenForm()
    {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, proposed);
        const std::optional<QString> form = proposedForm(static_cast<SlotKind>(kind), typed);
        QCOMPARE(form.value_or(QString()), proposed);
    }

    // "Corriger" on a first start with relay 1 half typed: the empty inactive relays take the
    // neutral values, relay 1's readable texts their form, and the rest stays for the user.
    void correctionOfAFirstStart()
    {
        const QDate today(2026, 12, 9);
        RelayProgram program;
        program.texts[0] = QStringLiteral("7h30");
        program.texts[1] = QStringLiteral("midi");
        program.enables[0] = 1;
        const QList<ProgramFieldError> fields = unsendableFields(program);
        QCOMPARE(fields.size(), 50);
        const ProgramCorrection correction = correctedProgram(program, today);
        QCOMPARE(correction.neutralRelays, (QList<int>{1, 2, 3, 4, 5}));
        QCOMPARE(correction.proposals, 1);
        QCOMPARE(correction.corrected.texts[0], QStringLiteral("07:30:00"));
        QCOMPARE(correction.corrected.texts[18], QStringLiteral("09/12/2026"));
        QCOMPARE(correction.corrected.texts[42], QStringLiteral("12/2026"));
        const QList<ProgramFieldError> left = unsendableFields(correction.corrected);
        QCOMPARE(left.size(), 5);  // "midi" and relay 1's four empty times
        QCOMPARE(left.first().textIndex, 1);
        const QString message = unsendableMessage(program, fields, correction);
        QVERIFY2(message.startsWith(QStringLiteral("Programme non envoyé : 50 champs")) &&
                     message.contains(QStringLiteral("Forme proposée : « 07:30:00 »")) &&
                     message.contains(QStringLiteral("(N°2, N°3, N°4, N°5, N°6)")),
                 qPrintable(message));
        // Nouveau's program sends and switches nothing.
        QVERIFY(encodeProgram(neutralProgram(today)).ok());
    }
};

QTEST_GUILESS_MAIN(ProgramEditsTest)
#include "test_program_edits.moc"
