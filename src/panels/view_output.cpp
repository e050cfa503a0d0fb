#include "panels/view_output.h"

#include "store/atomic_file.h"
#include "store/system_error_text.h"

#include <QDir>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace platine {

SavePrompt fileDialogSavePrompt()
{
    return [](QWidget *parent, const QString &caption, const QString &filter) {
        return QFileDialog::getSaveFileName(parent, caption, QDir::homePath(), filter);
    };
}

QString writeViewFile(const QString &notSaved, const QString &path, const QByteArray &bytes)
{
    if (const QString refusal = replacementRefusal(path); !refusal.isEmpty())
        return QStringLiteral("%1 dans %2 : %3.")
            .arg(notSaved, QDir::toNativeSeparators(path), refusal);
    const ReplaceResult written = replaceFile(path, bytes);
    if (!written.ok)
        return QStringLiteral("%1 dans %2 : %3")
            .arg(notSaved, QDir::toNativeSeparators(path), systemErrorText(written.error));
    return {};
}

std::optional<ViewMessage> saveView(QWidget *parent, const SavePrompt &prompt, const ViewSave &save)
{
    QString path = prompt(parent, save.caption, save.filter);
    if (path.isEmpty())
        return std::nullopt;
    if (!path.endsWith(save.suffix, Qt::CaseInsensitive))
        path += save.suffix;
    if (const QString failure = save.write(path); !failure.isEmpty())
        return ViewMessage{failure, true};
    return ViewMessage{save.savedIn.arg(QDir::toNativeSeparators(path)), false};
}

std::optional<ViewMessage> printView(QWidget *window,
                                     const std::function<bool(QPrinter &)> &printOn,
                                     const QString &printed, const QString &notPrinted)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(window->windowTitle());
    QPrintDialog dialog(&printer, window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    if (printOn(printer))
        return ViewMessage{printed, false};
    return ViewMessage{notPrinted, true};
}

}  // namespace platine
