#pragma once

#include <QLibraryInfo>
#include <QString>

class QCoreApplication;

namespace platine {

// Makes the program French whatever the desktop's language: dates, numbers and sizes in the
// windows and in Qt's own dialogs (which read the system locale), and Qt's dialogs in place of
// the desktop's, which would follow LANG. Call it first thing in main(), before the
// application object exists. The C library keeps reading and writing numbers as before.
void useFrenchLocale();

// Finishes useFrenchLocale() once the application object has set the C library's locale.
void keepCNumbers();

// Installs Qt's own French texts (qtbase_fr.qm: the standard dialogs and buttons, "Annuler",
// "Ouvrir", "Enregistrer"...) into `application`, from `directory` (by default where Qt keeps
// its translations; Debian ships them in qt6-translations-l10n). Returns false, and leaves
// the application as it was, when the file is missing or unreadable: the texts then stay in
// English and everything else works.
bool installFrenchTranslations(
    QCoreApplication &application,
    const QString &directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

}  // namespace platine
