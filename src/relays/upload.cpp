#include "relays/upload.h"

#include "link/board_link.h"
#include "store/program_file.h"

#include <QDir>

namespace platine {

UploadResult uploadProgram(const RelayProgram &program, const QString &settingsPath,
                           BoardLink &link)
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

    // The link explains a port that cannot be opened or written through its message signal.
    QString linkMessage;
    const QMetaObject::Connection capture =
        QObject::connect(&link, &BoardLink::message, &link,
                         [&linkMessage](const QString &text) { linkMessage = text; });
    result.sent = link.send(programFrame(encoded.bytes));
    QObject::disconnect(capture);

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
    }
    return result;
}

}  // namespace platine
