#include "app/translations.h"

#include <QCoreApplication>
#include <QTranslator>

#include <memory>

namespace platine {

bool installFrenchTranslations(QCoreApplication &application, const QString &directory)
{
    auto translator = std::make_unique<QTranslator>(&application);
    if (!translator->load(QStringLiteral("qtbase_fr"), directory))
        return false;
    if (!QCoreApplication::installTranslator(translator.get()))
        return false;
    translator.release();  // owned by the application from now on
    return true;
}

}  // namespace platine
