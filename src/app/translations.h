#pragma once

#include <QLibraryInfo>
#include <QString>

class QCoreApplication;

namespace platine {

// Installs Qt's own French texts (qtbase_fr.qm: the standard dialogs and buttons, "Annuler",
// "Ouvrir", "Enregistrer"...) into `application`, from `directory` (by default where Qt keeps
// its translations; Debian ships them in qt6-translations-l10n). Returns false, and leaves
// the application as it was, when the file is missing or unreadable: the texts then stay in
// English and everything else works.
bool installFrenchTranslations(
    QCoreApplication &application,
    const QString &directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath));

}  // namespace platine
