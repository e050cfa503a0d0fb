#include "widgets/app_info.h"

namespace platine {

namespace {
const QString &credit()
{
    static const QString text = QStringLiteral("l'équipe platine");
    return text;
}
}  // namespace

QString mainWindowCaption()
{
    return QStringLiteral("Logiciel de paramètrage platine de contrôle - ") + credit();
}

QString splashWindowCaption()
{
    return QStringLiteral("Paramètrage platine de contrôle - ") + credit();
}

QString aboutBoxTitle()
{
    return QStringLiteral("Platine - ") + credit() + QStringLiteral(" - 2007");
}

QString aboutBoxMessage()
{
    return QStringLiteral("Platine programmable autonome à relais ver:1.1");
}

QString creditLabelText()
{
    return credit() + QStringLiteral(" - 2007");
}

QString authorCredit()
{
    return credit();
}

}  // namespace platine
