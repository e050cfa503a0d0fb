#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class QPrinter;
class QWidget;

namespace platine {

// Saving and printing what a window shows (the week chart, the coming switchings), each ending
// in one message for the main window's status bar.

// Asks for the file to write: the chosen path, empty when the user cancels.
using SavePrompt =
    std::function<QString(QWidget *parent, const QString &caption, const QString &filter)>;
// The file dialog's own, from the home folder.
SavePrompt fileDialogSavePrompt();

struct ViewMessage
{
    QString text;
    bool failure = false;
};

// Writes bytes into path, replacing the file whole or leaving it as it was. Returns a French
// message starting with notSaved ("Image non enregistrée") when it could not, else an empty
// text.
QString writeViewFile(const QString &notSaved, const QString &path, const QByteArray &bytes);

// What to save: the prompt's caption and filter, the suffix added to a name without it, and the
// writer (an empty text when written, else why not, in French).
struct ViewSave
{
    QString caption;
    QString filter;
    QString suffix;
    std::function<QString(const QString &path)> write;
    QString savedIn;  // the message once written, "%1" for the path
};

// Asks where to save, then saves; nothing when the user cancels.
std::optional<ViewMessage> saveView(QWidget *parent, const SavePrompt &prompt,
                                    const ViewSave &save);

// The print dialog, then printOn (false when the printer cannot be used); nothing when the user
// cancels. The document is named after window's title.
std::optional<ViewMessage> printView(QWidget *window,
                                     const std::function<bool(QPrinter &)> &printOn,
                                     const QString &printed, const QString &notPrinted);

}  // namespace platine
