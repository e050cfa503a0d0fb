#include "store/leading_number.h"

#include <QByteArray>

#include <algorithm>
#include <cfenv>
#include <climits>
#include <cmath>

namespace platine {

namespace {
bool isDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}
}  // namespace

LeadingNumber leadingNumber(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    QByteArray ascii;
    if (i < n && (text[i] == u'+' || text[i] == u'-'))
        ascii.append(static_cast<char>(text[i++].unicode()));
    qsizetype digits = 0;
    while (i < n && isDigit(text[i])) {
        ascii.append(static_cast<char>(text[i++].unicode()));
        ++digits;
    }
    if (i + 1 < n && text[i] == u'.' && isDigit(text[i + 1])) {
        ascii.append('.');
        ++i;
        while (i < n && isDigit(text[i])) {
            ascii.append(static_cast<char>(text[i++].unicode()));
            ++digits;
        }
    } else if (i < n && text[i] == u'.' && digits > 0) {
        ++i;  // "3." is three; the point belongs to the number
    }
    if (digits == 0)
        return {};
    bool ok = false;
    double value = ascii.toDouble(&ok);
    if (!ok) {
        // Too many digits for a double: too large when a digit before the point is not zero,
        // else too small. Too large must not pass for 0.
        const qsizetype point = ascii.indexOf('.');
        const QByteArray whole = point < 0 ? ascii : ascii.left(point);
        const bool large =
            std::any_of(whole.begin(), whole.end(), [](char c) { return c >= '1' && c <= '9'; });
        value = std::copysign(large ? HUGE_VAL : 0.0, ascii.startsWith('-') ? -1.0 : 1.0);
    }
    return {true, value, i};
}

std::optional<int> roundHalfToEven(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(value);
    std::fesetround(previous);
    if (rounded < static_cast<double>(INT_MIN) || rounded > static_cast<double>(INT_MAX))
        return std::nullopt;
    return static_cast<int>(rounded);
}

std::optional<int> wholeNumberAtStart(QStringView text)
{
    const LeadingNumber number = leadingNumber(text);
    if (!number.found)
        return 0;
    return roundHalfToEven(number.value);
}

}  // namespace platine
