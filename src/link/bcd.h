#pragma once

#include <QChar>

#include <optional>

namespace platine {

inline bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

// A two-digit decimal value packed in one byte: tens digit in the high nibble, units in the low
// one. "45" gives 0x45. No range is checked: any two decimal digits make a byte (0x00 to 0x99).
// Returns nothing when either character is not an ASCII decimal digit.
std::optional<quint8> bcdByte(QChar tens, QChar units);

}  // namespace platine
