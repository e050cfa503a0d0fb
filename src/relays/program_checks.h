#pragma once

#include "store/relay_program.h"

#include <QDate>
#include <QList>
#include <QString>

namespace platine {

// A remark about a timetable that the board will nevertheless receive as typed: an hour or a
// date that does not exist, a window that ends before it starts, a date already past, an active
// relay with no day. Remarks never stop an upload.
struct ProgramFinding
{
    int relay = 0;                // 1..6
    int textIndex = -1;           // the text slot concerned, -1 for the relay's day list or its box
    bool aboutEnableBox = false;  // the remark is about the "Relais Actif" box
    int window = -1;              // 0..2 when the remark concerns one switching window, else -1
    QString field;                // "Relais N°1, Début 1", "Relais N°5, Jour(s) concerné(s)"
    QString problem;              // "l'heure 25 n'existe pas (00 à 23)"
    // What the board does with that window cannot be told (it ends before it starts, or a time
    // does not exist): the week chart draws nothing for it.
    bool unknownBehaviour = false;

    // "Relais N°1, Début 1 : l'heure 25 n'existe pas (00 à 23)"
    QString text() const;
};

// The remarks on a program, relay by relay in slot order. today dates the "already past" ones.
// Only fields that can be encoded are looked at: the others stop the upload anyway.
QList<ProgramFinding> checkProgram(const RelayProgram &program, const QDate &today);

// What the board does with the texts of a program, read at the positions the upload reads.
// The board knows only the year within the century: 20yy.
struct BoardTime
{
    int hour = -1;    // 0..99 as typed, -1 when the text cannot be encoded
    int minute = -1;  // 0..99
    bool exists() const { return hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59; }
    int minuteOfDay() const { return hour * 60 + minute; }
};
BoardTime readBoardTime(const QString &text);
// An invalid date when the text cannot be encoded or names no day of the calendar.
QDate readBoardDate(const QString &text);
// The first day of the month a month-year names; an invalid date as above.
QDate readBoardMonth(const QString &text);

}  // namespace platine
