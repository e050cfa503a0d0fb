#include "app/file_dialogs.h"

#include <QFileDialog>

namespace platine {

QString askForProgramFile(QWidget *parent, FileDialogMode mode)
{
    // The name is taken as chosen, without an extension added.
    const QString filter = QStringLiteral("Programmes (*.txt);;Tous les fichiers (*)");
    return mode == FileDialogMode::Save
               ? QFileDialog::getSaveFileName(parent, QStringLiteral("Enregistrer sous"), QString(),
                                              filter)
               : QFileDialog::getOpenFileName(parent, QStringLiteral("Ouvrir"), QString(), filter);
}

}  // namespace platine
