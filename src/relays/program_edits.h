#pragma once

#include "relays/program_frame.h"
#include "store/relay_program.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace platine {

// Whole-relay edits of a timetable, and what "Programmer" tells about the fields it cannot
// send. No widget: the editor applies the programs these return.

// The neutral timetable: every time 00:00:00, every date today, every month-year this month,
// no day chosen, every relay inactive. It sends, and it switches nothing.
RelayProgram neutralProgram(const QDate &today);

// Relay index 0..5 given its neutral values ("Effacer le relais").
RelayProgram clearedRelay(const RelayProgram &program, int relayIndex, const QDate &today);

// The relays of the same kind as relayIndex (1 and 2, 3 and 4, 5 and 6), relayIndex excluded.
QList<int> relaysOfSameKind(int relayIndex);

// Relay `from`'s times, dates or month-year, day choice and "Relais Actif" copied onto relay
// `to`, of the same kind; the program unchanged for relays of different kinds.
RelayProgram copiedRelay(const RelayProgram &program, int from, int to);

// Window 1's times (and dates) copied onto windows 2 and 3 of the relay.
RelayProgram firstWindowCopied(const RelayProgram &program, int relayIndex);
// Whether that copy changes anything: window 1 holds something that windows 2 and 3 do not.
bool canCopyFirstWindow(const RelayProgram &program, int relayIndex);

// Every text slot of the relay is empty, as after a first start.
bool relayIsEmpty(const RelayProgram &program, int relayIndex);

// Every field that the upload cannot read, in slot order.
QList<ProgramFieldError> unsendableFields(const RelayProgram &program);

// The written form of a text that reads unambiguously as a time ("7:30", "7h30", "0730" give
// "07:30:00"), a date ("1/3/2027" gives "01/03/2027") or a month-year ("3/2027" gives
// "03/2027"); nothing when it does not, or when it already has the form.
std::optional<QString> proposedForm(SlotKind kind, const QString &text);

// What "Corriger" does to a program that cannot be sent: writes every proposed form, and gives
// the neutral values to the relays left inactive whose fields are all empty (a first start).
struct ProgramCorrection
{
    RelayProgram corrected;
    int proposals = 0;         // fields written in their form
    QList<int> neutralRelays;  // relay indexes given the neutral values
    bool changes() const { return proposals > 0 || !neutralRelays.isEmpty(); }
};
ProgramCorrection correctedProgram(const RelayProgram &program, const QDate &today);

// What "Programmer" says when fields cannot be sent: how many, the first in full with its
// proposed form, and what "Corriger" would do.
QString unsendableMessage(const RelayProgram &program, const QList<ProgramFieldError> &fields,
                          const ProgramCorrection &correction);

}  // namespace platine
