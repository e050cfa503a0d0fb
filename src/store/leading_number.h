#pragma once

#include <QStringView>

#include <optional>

namespace platine {

// "The number at the start" of a stored text, as the settings and program files have always
// been read: leading blanks and tabs skipped, an optional sign, digits, an optional fraction
// ("." and digits); reading stops at the first character that cannot continue the number.
struct LeadingNumber
{
    bool found = false;  // false when the text does not start with a number
    double value = 0.0;  // 0 when not found; infinite when too large for a double
    qsizetype end = 0;   // index just after the number (0 when not found)
};

LeadingNumber leadingNumber(QStringView text);

// The nearest whole number, a half going to the even neighbour (2.5 -> 2, 3.5 -> 4, -1.5 -> -2);
// nothing when the result does not fit an int.
std::optional<int> roundHalfToEven(double value);

// leadingNumber() then roundHalfToEven(): 0 when there is no number. Nothing when the number
// does not fit an int.
std::optional<int> wholeNumberAtStart(QStringView text);

}  // namespace platine
