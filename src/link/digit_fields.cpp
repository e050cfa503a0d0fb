#include "link/digit_fields.h"

#include "link/bcd.h"

#include "store/visible_text.h"

#include <QStringList>

namespace platine {

namespace {

// The character at index, with its second half when it is the first of a surrogate pair.
QStringView characterAt(const QString &text, qsizetype index)
{
    const qsizetype length =
        index + 1 < text.size() && text[index].isHighSurrogate() && text[index + 1].isLowSurrogate()
            ? 2
            : 1;
    return QStringView(text).mid(index, length);
}

}  // namespace

DigitGroupsRead readDigitGroups(const QString &text, std::initializer_list<int> groupStarts)
{
    DigitGroupsRead result;
    for (const int start : groupStarts) {
        bool groupOk = true;
        for (const int position : {start, start + 1}) {
            if (position > text.size() || !isAsciiDigit(text[position - 1])) {
                result.badPositions.append(position);
                groupOk = false;
            }
        }
        if (groupOk)
            result.bytes.append(*bcdByte(text[start - 1], text[start]));
    }
    if (!result.ok())
        result.bytes.clear();
    return result;
}

QString describeUnreadable(const QString &text, const QList<int> &badPositions)
{
    if (text.isEmpty())
        return QStringLiteral("le champ est vide");
    QStringList reasons;
    bool tooShort = false;
    for (const int position : badPositions) {
        if (position > text.size()) {
            tooShort = true;
            continue;
        }
        const QStringView c = characterAt(text, position - 1);
        const QString shown = c == u" " ? QStringLiteral("une espace") : quotedText(c);
        reasons.append(QStringLiteral("le caractère n° %1, %2, n'est pas un chiffre")
                           .arg(position)
                           .arg(shown));
    }
    if (tooShort) {
        const qsizetype n = text.size();
        reasons.append(n == 1 ? QStringLiteral("il ne compte qu'un caractère")
                              : QStringLiteral("il ne compte que %1 caractères").arg(n));
    }
    return reasons.join(QStringLiteral(", "));
}

}  // namespace platine
