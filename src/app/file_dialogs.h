#pragma once

#include <QString>

class QWidget;

namespace platine {

enum class FileDialogMode { Save, Open };

// Asks for a program file with the system's file dialog: the chosen path, empty when the user
// cancels. Program files are offered as .txt files; an existing file is replaced only after
// the dialog's prompt.
QString askForProgramFile(QWidget *parent, FileDialogMode mode);

}  // namespace platine
