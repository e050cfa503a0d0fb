#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace platine::cli {

enum class Command { Help, Version, Ports, SetClock, Upload, Show, Listen, History };

// The longest heure --attente.
inline constexpr int kMaxReplyWaitSeconds = 60;
// The longest "ecouter --duree": 366 days, in seconds.
inline constexpr qint64 kMaxListenSeconds = 366LL * 24 * 3600;

// What the command line asks for.
struct CliRequest
{
    Command command = Command::Help;
    QString file;                           // programmer, afficher: the program file
    QString port;                           // --port, as typed ("" when not given)
    QString settingsPath;                   // --settings ("" for the window's param.ini)
    bool keepSettings = false;              // --sans-parametres: the upload is not stored
    bool json = false;                      // --json
    std::optional<QDateTime> moment;        // heure --date: date and time as given (Qt::UTC)
    int replyWaitSeconds = 2;               // heure --attente: listening after the frame
    std::optional<qint64> durationSeconds;  // ecouter --duree: 1 to kMaxListenSeconds
    bool strict = false;                    // programmer --strict: a remark stops the upload
    bool noJournal = false;                 // --sans-journal: the frame is not noted
    bool coming = false;                    // afficher --prochaines: the coming switchings
    int days = 14;                          // afficher --jours: 1 to 366
    bool ics = false;                       // afficher --ics: iCalendar output
    int count = -1;                         // historique --nombre: at most that many (-1: all)
};

struct CliParseResult
{
    CliRequest request;
    QString error;  // French, for a command line that cannot be used; empty when it can
    bool ok() const { return error.isEmpty(); }
};

// The arguments after the program's name. Options may come anywhere after the command, as
// "--port P" or "--port=P"; each command accepts only its own.
CliParseResult parseCommandLine(const QStringList &arguments);

// The French --help text.
QString helpText();

}  // namespace platine::cli
