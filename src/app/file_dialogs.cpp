#include "app/file_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

namespace platine {

namespace {

const QString kFolderKey = QStringLiteral("fichiers/dossier");

}  // namespace

QSettings userConfiguration()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("platine"),
                     QStringLiteral("platine"));
}

QString askForProgramFile(QWidget *parent, FileDialogMode mode, const QString &folder)
{
    QFileDialog dialog(parent);
    dialog.setDirectory(folder);
    dialog.setNameFilters(
        {QStringLiteral("Programmes (*.txt)"), QStringLiteral("Tous les fichiers (*)")});
    if (mode == FileDialogMode::Save) {
        dialog.setWindowTitle(QStringLiteral("Enregistrer sous"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Also makes the overwrite prompt look at the name with its extension.
        dialog.setDefaultSuffix(QStringLiteral("txt"));
    } else {
        dialog.setWindowTitle(QStringLiteral("Ouvrir"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString withProgramExtension(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name.contains(u'.'))
        return path;
    return path + QStringLiteral(".txt");
}

QString lastProgramFolder()
{
    const QString folder = userConfiguration().value(kFolderKey).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::currentPath();
}

void rememberProgramFolder(const QString &chosenPath)
{
    QSettings settings = userConfiguration();
    settings.setValue(kFolderKey, QFileInfo(chosenPath).absolutePath());
}

}  // namespace platine
