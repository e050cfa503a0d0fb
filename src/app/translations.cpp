#include "app/translations.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTranslator>

#include <clocale>
#include <memory>

namespace platine {

void useFrenchLocale()
{
    // Qt reads the system locale from these variables; LC_ALL outweighs LANG and the LC_*.
    qputenv("LC_ALL", "fr_FR.UTF-8");
    qunsetenv("LANGUAGE");
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void keepCNumbers()
{
    std::setlocale(LC_NUMERIC, "C");
}

namespace {

// Texts of Qt's file dialog that Qt's French file leaves in English (the kind of an entry:
// "Folder"...).
class MissingQtTexts : public QTranslator
{
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *, int) const override
    {
        struct Text
        {
            const char *context;
            const char *english;
            const char *french;
        };
        static const Text kTexts[] = {
            {"QAbstractFileIconProvider", "Folder", "Dossier"},
            {"QAbstractFileIconProvider", "Drive", "Lecteur"},
            {"QAbstractFileIconProvider", "Shortcut", "Raccourci"},
            {"QAbstractFileIconProvider", "Unknown", "Inconnu"},
        };
        for (const Text &text : kTexts) {
            if (qstrcmp(context, text.context) == 0 && qstrcmp(sourceText, text.english) == 0)
                return QString::fromUtf8(text.french);
        }
        return {};
    }
};

}  // namespace

bool installFrenchTranslations(QCoreApplication &application, const QString &directory)
{
    auto translator = std::make_unique<QTranslator>(&application);
    if (!translator->load(QStringLiteral("qtbase_fr"), directory))
        return false;
    if (!QCoreApplication::installTranslator(translator.get()))
        return false;
    translator.release();  // owned by the application from now on
    // Installed last, so looked at first: it only knows what the file lacks.
    QCoreApplication::installTranslator(new MissingQtTexts(&application));
    return true;
}

}  // namespace platine
