// Qt's own texts in French: the standard buttons of the tool's dialogs once the translations
// are installed the way the program installs them at start-up.
#include "app/translations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace platine;

namespace {

// A standard button's text without its shortcut mark ("&Ouvrir" reads "Ouvrir").
QString buttonText(QDialogButtonBox::StandardButton which)
{
    QDialogButtonBox box(which);
    return box.button(which)->text().remove(QLatin1Char('&'));
}

}  // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void missingFileLeavesTheTextsAlone();
    void standardButtonsReadInFrench();
};

// Runs first: nothing is installed yet.
void TranslationsTest::missingFileLeavesTheTextsAlone()
{
    QTemporaryDir empty;
    QVERIFY(empty.isValid());
    QVERIFY(!installFrenchTranslations(*qApp, empty.path()));
    QCOMPARE(buttonText(QDialogButtonBox::Cancel), QStringLiteral("Cancel"));
    QCOMPARE(buttonText(QDialogButtonBox::Open), QStringLiteral("Open"));
}

void TranslationsTest::standardButtonsReadInFrench()
{
    QVERIFY2(installFrenchTranslations(*qApp),
             "qtbase_fr.qm is missing: install the Debian package qt6-translations-l10n");
    QCOMPARE(buttonText(QDialogButtonBox::Cancel), QStringLiteral("Annuler"));
    QCOMPARE(buttonText(QDialogButtonBox::Open), QStringLiteral("Ouvrir"));
    QCOMPARE(buttonText(QDialogButtonBox::Save), QStringLiteral("Enregistrer"));
    // A text of the file dialog itself, in its own translation context.
    QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:").remove(QLatin1Char('&')),
             QStringLiteral("Nom de fichier :"));
}

QTEST_MAIN(TranslationsTest)
#include "test_translations.moc"
