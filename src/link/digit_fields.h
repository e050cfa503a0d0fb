#pragma once

#include <QList>
#include <QString>

#include <initializer_list>

namespace platine {

// Reads two-digit groups out of a typed text at fixed character positions (counted from 1), as
// the board's frames carry them. Used by the clock frame and the program frame.
struct DigitGroupsRead
{
    QList<quint8> bytes;      // one BCD byte per group, when every position holds a digit
    QList<int> badPositions;  // the positions read that are missing or hold no decimal digit
    bool ok() const { return badPositions.isEmpty(); }
};

// Each group is the position of its first character; the second follows it.
DigitGroupsRead readDigitGroups(const QString &text, std::initializer_list<int> groupStarts);

// French explanation of why a text could not be read: "le champ est vide", "il ne compte que
// 3 caractères", "le caractère n° 2, « h », n'est pas un chiffre", ... A character that would
// not show is given by its code: "« <U+001B> »".
QString describeUnreadable(const QString &text, const QList<int> &badPositions);

}  // namespace platine
