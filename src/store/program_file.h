#pragma once

#include "store/profile_file.h"
#include "store/relay_program.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

namespace platine {

// Program files and the program part of the settings file: 60 sections, each with the one key
// "valeur": "txt0".."txt49" (the texts, unchanged), "cmb0".."cmb3" (the day choices in decimal,
// "-1" for none), "chk0".."chk5" ("1" for a ticked box, "0" otherwise), written in that order.

// A day choice or enable value as read back: the number the stored value starts with.
struct StoredNumber
{
    int value = 0;        // 0 when the value does not start with a number or it does not fit
    bool inRange = true;  // false: the control keeps the value it has
};

struct ProgramReadResult
{
    ProfileFileStatus status = ProfileFileStatus::Missing;
    QString errorMessage;  // Unreadable: French, names the file and the reason
    // Whether the file holds at least one of the 60 program sections; a file read without any
    // is some other file, not a program.
    bool holdsProgram = false;
    // What the file gives; a missing or unreadable file gives empty texts and zeros.
    std::array<QString, kTextSlotCount> texts;  // at most 19 characters, no blanks at the ends
    std::array<StoredNumber, kDayChoiceCount> dayChoices;  // in range: -1..9
    std::array<StoredNumber, kRelayCount> enables;         // in range: 0..2
    // The values the editor could not show as stored, in French, one per value: a day choice
    // that is not a whole number from -1 to 9, an enable value other than 0 and 1 ("Relais N°1,
    // Relais Actif : la valeur « abc » du fichier est lue comme « non coché »").
    QStringList unusualValues;

    // Sets the texts and every in-range number; out-of-range numbers leave their value alone.
    void applyTo(RelayProgram &program) const;
    // What it gives applied to an empty timetable.
    RelayProgram program() const
    {
        RelayProgram program;
        applyTo(program);
        return program;
    }
};

// The 60 entries in writing order, for callers that write more in the same replacement.
QList<ProfileEntry> programEntries(const RelayProgram &program);

// Writes the 60 entries with one atomic replacement of the file; other sections and lines of
// an existing file stay as they were.
ProfileWriteResult writeProgram(const QString &path, const RelayProgram &program);

// Reads the file once and takes the 60 values from it (each at most 19 characters long).
ProgramReadResult readProgram(const QString &path);
// The same, from a file already read (the settings file at start, which gives the port too).
ProgramReadResult readProgram(const ProfileFileContents &contents);

}  // namespace platine
