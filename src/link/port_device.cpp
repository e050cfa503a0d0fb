#include "link/port_device.h"

#include "store/leading_number.h"

namespace platine {

QString deviceForPortText(const QString &portText)
{
    const QString text = portText.trimmed();
    if (text.isEmpty())
        return {};
    const LeadingNumber number = leadingNumber(text);
    if (number.found && number.end == text.size()) {
        const int n = roundHalfToEven(number.value).value_or(0);
        if (n < 1)
            return {};
#ifdef Q_OS_WIN
        return QStringLiteral("COM%1").arg(n);
#else
        return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
    }
    if (text.contains(u'/'))
        return text;
#ifdef Q_OS_WIN
    return text;
#else
    return QStringLiteral("/dev/") + text;
#endif
}

}  // namespace platine
