#pragma once

#include "relays/program_checks.h"
#include "relays/program_frame.h"
#include "store/relay_program.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace platine {

class BoardLink;

struct UploadResult
{
    bool stored = false;                          // the timetable is in the settings file
    bool sent = false;                            // the program frame went out on the port
    QByteArray frame;                             // the program frame, once built
    std::optional<ProgramFieldError> fieldError;  // the field that stopped everything
    QList<ProgramFinding> remarks;                // once sent: what deserves a look
    // French: what went wrong, or, when everything went well, that the program went out, with
    // its remarks counted and the first one in full.
    QString message;
};

// "Programmer": encodes the timetable; a field that cannot be encoded stops everything before
// anything is stored or sent. Then stores the timetable in the settings file (the program
// sections; every other line of the file stays) and sends "B" + the 124 program bytes by the
// link's sending rule. A settings file that cannot be written does not stop the upload: the
// user asked to program the board.
// The remarks are those of the timetable on day today.
UploadResult uploadProgram(const RelayProgram &program, const QString &settingsPath,
                           BoardLink &link, const QDate &today = QDate::currentDate());

}  // namespace platine
