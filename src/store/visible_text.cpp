#include "store/visible_text.h"

#include <QChar>

namespace platine {

namespace {

bool isInvisible(char32_t c)
{
    if (c == U' ')
        return false;
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_NotAssigned:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

}  // namespace

QString visibleText(QStringView text)
{
    const auto code = [](char32_t c) {
        return QStringLiteral("<U+%1>").arg(
            QString::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, u'0'));
    };
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text[i];
        if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            const char32_t c = QChar::surrogateToUcs4(unit, text[i + 1]);
            if (isInvisible(c))
                result += code(c);
            else
                result += text.mid(i, 2);
            ++i;
        } else if (isInvisible(unit.unicode())) {
            // An unpaired surrogate falls here too: its category is Other_Surrogate.
            result += code(unit.unicode());
        } else {
            result += unit;
        }
    }
    return result;
}

QString quotedText(QStringView text)
{
    return QStringLiteral("« ") + visibleText(text) + QStringLiteral(" »");
}

}  // namespace platine
