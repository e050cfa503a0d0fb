#include "link/bcd.h"

namespace platine {

std::optional<quint8> bcdByte(QChar tens, QChar units)
{
    if (!isAsciiDigit(tens) || !isAsciiDigit(units))
        return std::nullopt;
    return static_cast<quint8>(16 * (tens.unicode() - u'0') + (units.unicode() - u'0'));
}

}  // namespace platine
