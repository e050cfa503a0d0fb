#include "relays/upload.h"

#include "link/board_link.h"
#include "store/program_file.h"

#include <QDir>

namespace platine {

namespace {

// The timetable went out as typed; its remarks are told, the first one in full.
QString uploadedMessage(const QList<ProgramFinding> &remarks)
{
    if (remarks.isEmpty())
        return QStringLiteral("Programme envoyé à la platine.");
    const QString count = remarks.size() == 1 ? QStringLiteral("1 remarque")
                                              : QStringLiteral("%1 remarques").arg(remarks.size());
    return QStringLiteral("Programme envoyé à la platine, avec %1. %2")
        .arg(count, remarks.first().text());
}

}  // namespace

UploadResult uploadProgram(const RelayProgram &program, const QString &settingsPath,
                           BoardLink &link, const QDate &today)
{
    UploadResult result;
    const ProgramEncodeResult encoded = encodeProgram(program);
    if (!encoded.ok()) {
        result.fieldError = encoded.error;
        result.message = encoded.error->message();
        return result;
    }

    const ProfileWriteResult written = writeProgram(settingsPath, program);
    result.stored = written.ok;

    result.frame = programFrame(encoded.bytes);
    const LinkResult sent = link.send(result.frame);
    result.sent = sent.ok();
    const QString &linkMessage = sent.reason;

    if (!result.stored && result.sent) {
        result.message = written.errorMessage +
                         QStringLiteral(". Le programme a tout de même été envoyé à la platine.");
    } else if (result.stored && !result.sent) {
        result.message = QStringLiteral("Programme enregistré dans %1, mais pas envoyé à la "
                                        "platine : %2")
                             .arg(QDir::toNativeSeparators(settingsPath), linkMessage);
    } else if (!result.stored && !result.sent) {
        result.message =
            written.errorMessage +
            QStringLiteral(". Le programme n'a pas non plus été envoyé à la platine : ") +
            linkMessage;
    } else {
        result.remarks = checkProgram(program, today);
        result.message = uploadedMessage(result.remarks);
    }
    return result;
}

}  // namespace platine
