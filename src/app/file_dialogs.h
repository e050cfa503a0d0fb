#pragma once

#include <QSettings>
#include <QString>

class QWidget;

namespace platine {

enum class FileDialogMode { Save, Open };

// Asks for a program file with the system's file dialog, starting in folder: the chosen path,
// empty when the user cancels. Program files are offered as .txt files; a name saved without an
// extension gets ".txt"; an existing file is replaced only after the dialog's prompt.
QString askForProgramFile(QWidget *parent, FileDialogMode mode, const QString &folder);

// The name a program file is saved under: ".txt" added when the name has no extension, so that
// "Ouvrir" lists it.
QString withProgramExtension(const QString &path);

// The tool's own preferences (platine.ini in the user's configuration folder, never
// param.ini): the last folder of the file dialogs and the recent files.
QSettings userConfiguration();

// The folder the file dialogs start in: the one used last, kept in the user's configuration
// (not in param.ini) for the next start; the working folder the first time.
QString lastProgramFolder();
void rememberProgramFolder(const QString &chosenPath);

}  // namespace platine
