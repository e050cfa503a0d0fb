#pragma once

#include "store/relay_program.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace platine {

// The program frame uploads the six relays' timetable: "B" then 124 program bytes, with fixed
// blocks per relay (weekly 14 bytes, dated 31, month 17) whatever is enabled. No length,
// checksum or terminator.
inline constexpr int kProgramByteCount = 124;
inline constexpr int kProgramFrameSize = 125;

struct ProgramFieldError
{
    int textIndex;            // Text2 index, 0..49
    int relay;                // 1..6
    SlotKind kind;            // time, date or month-year
    QString text;             // the field's text
    QList<int> badPositions;  // positions read (from 1) that are missing or hold no digit
    bool relayEnabled;        // whether the relay's "Relais Actif" box is ticked

    // French: the relay, the field, the form expected and what is wrong; for a relay that is
    // not enabled, that its fields are sent all the same.
    QString detail() const;
    // "Programme non envoyé : " and the detail.
    QString message() const;
};

struct ProgramEncodeResult
{
    QByteArray bytes;                        // kProgramByteCount bytes when encoded
    std::optional<ProgramFieldError> error;  // the first field that cannot be encoded
    bool ok() const { return !error.has_value(); }
};

// Times give hours (characters 1-2) and minutes (4-5); dates day (1-2), month (4-5) and year
// within the century (9-10); month-years 0, month (1-2) and year (6-7). Nothing else is read
// and no value is range-checked. A day choice gives its list position plus one (0 for none),
// an enable value 1 if it is 1, else 0.
ProgramEncodeResult encodeProgram(const RelayProgram &program);

// "B" followed by the 124 program bytes.
QByteArray programFrame(const QByteArray &programBytes);

}  // namespace platine
