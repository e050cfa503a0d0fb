#include "cli/cli_commands.h"

#include "link/board_clock_text.h"
#include "link/board_link.h"
#include "link/clock_frame.h"
#include "link/clock_send.h"
#include "link/days.h"
#include "link/serial_control.h"
#include "link/serial_port_info.h"
#include "relays/coming_switchings.h"
#include "relays/program_checks.h"
#include "relays/program_frame.h"
#include "relays/program_text.h"
#include "relays/send_journal.h"
#include "relays/switching_export.h"
#include "relays/upload.h"
#include "store/journal.h"
#include "store/port_setting.h"
#include "store/program_file.h"
#include "store/relay_program.h"
#include "store/settings_location.h"
#include "store/visible_text.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <algorithm>

namespace platine::cli {

namespace {

// How long the listener lets the board's bytes gather before it reads them: a clock line of
// 30 characters takes 31 ms at 9600 baud.
constexpr int kLineGatherMs = 50;
// The longest line the listener gathers: a clock line is some 30 characters; a line that
// never ends is printed in pieces of this size rather than held whole in memory.
constexpr qsizetype kMaxLineLength = 4096;
// The listening time is measured to a deadline and waited for in steps a timer can take.
constexpr qint64 kListenStepMs = 3600 * 1000;

QString remarkCount(qsizetype count)
{
    return count == 1 ? QStringLiteral("1 remarque") : QStringLiteral("%1 remarques").arg(count);
}

// The remarks the window shows on an upload, after those on the file's own values.
QStringList uploadRemarks(const QStringList &fileRemarks, const RelayProgram &program)
{
    QStringList remarks = fileRemarks;
    for (const ProgramFinding &finding : checkProgram(program, QDate::currentDate()))
        remarks << finding.text();
    return remarks;
}

// Says why param.ini is not in the user's folder when the environment names none.
void noteSettingsLocation(const CliRequest &request, Output output)
{
    if (!request.settingsPath.isEmpty())
        return;
    const QString note = defaultSettingsNote();
    if (!note.isEmpty())
        output.err << note << Qt::endl;
}

void printRemarks(QTextStream &stream, const QStringList &remarks)
{
    for (const QString &remark : remarks)
        stream << QStringLiteral("  - %1").arg(remark) << Qt::endl;
}

QString hexText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString jsonLine(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// The port a command uses: --port, else the one chosen in the window.
QString portTextFor(const CliRequest &request)
{
    if (!request.port.isEmpty())
        return request.port;
    return readPortSetting(settingsPathFor(request)).text;
}

// Gives the link the command's port, without opening it; says why on err (and in *failure
// when given) when there is none.
bool useBoardPort(BoardLink &link, const CliRequest &request, Output output,
                  QString *failure = nullptr)
{
    const QString portText = portTextFor(request);
    if (portText.isEmpty()) {
        const QString why =
            QStringLiteral("Aucun port : donnez --port, ou choisissez le port dans la fenêtre "
                           "(« Paramètrage » / « Port COM ») ; il est gardé dans %1.")
                .arg(QDir::toNativeSeparators(settingsPathFor(request)));
        output.err << why << Qt::endl;
        if (failure)
            *failure = why;
        return false;
    }
    link.usePort(portText);
    return true;
}

// Opens the command's port; on failure says why on err (and in *failure when given).
bool openBoardPort(BoardLink &link, const CliRequest &request, Output output,
                   QString *failure = nullptr)
{
    if (!useBoardPort(link, request, output, failure))
        return false;
    if (const LinkResult opened = link.openPort(); !opened) {
        output.err << opened.reason << Qt::endl;
        if (failure)
            *failure = opened.reason;
        return false;
    }
    return true;
}

// Sends a frame by the sending rule, then closes the port, which waits until the bytes have
// left, unless keepOpen. On failure says why on err and in *failure (and the port is closed).
bool sendFrame(BoardLink &link, const QByteArray &frame, Output output, QString *failure,
               bool keepOpen = false)
{
    const LinkResult sent = link.send(frame);
    if (!sent || !keepOpen)
        link.closePort();
    if (!sent) {
        *failure = sent.reason;
        output.err << *failure << Qt::endl;
    }
    return sent.ok();
}

// What the board sends within waitMs on an open port, which is then closed.
QString collectBoardText(BoardLink &link, int waitMs)
{
    QString received;
    QEventLoop loop;
    QObject::connect(&link, &BoardLink::textReceived, &loop,
                     [&received](const QString &text) { received += text; });
    QObject::connect(&link, &BoardLink::portOpenChanged, &loop, [&loop](bool open) {
        if (!open)
            loop.quit();
    });
    QTimer::singleShot(waitMs, &loop, &QEventLoop::quit);
    if (link.isPortOpen())
        loop.exec();
    received += QString::fromLatin1(link.takeReceived());
    link.closePort();
    return received;
}

// The stable names under /dev/serial/by-id, by the device they lead to.
QHash<QString, QString> stablePortNames()
{
    QHash<QString, QString> names;
    QDirIterator links(QStringLiteral("/dev/serial/by-id"), QDir::System | QDir::Files);
    while (links.hasNext()) {
        const QString path = links.next();
        const QString target = QFileInfo(path).canonicalFilePath();
        if (!target.isEmpty())
            names.insert(target, path);
    }
    return names;
}

// The port a frame goes to, for the journal: the device the port text stands for.
QString journalPort(BoardLink &link, const CliRequest &request)
{
    const QString device = link.device();
    return device.isEmpty() ? portTextFor(request) : device;
}

// Notes what became of a frame in the journal of frames sent, unless --sans-journal. A journal
// that cannot be written is said on err, and the command then fails (code 1) even though the
// frame itself went out: nothing would otherwise say what the board was last sent.
bool noteInJournal(const CliRequest &request, Output output, JournalEntry entry)
{
    if (request.noJournal)
        return true;
    entry.file = request.file;
    const JournalWriteResult written = Journal().append(entry);
    if (!written.ok)
        output.err << written.errorMessage
                   << QStringLiteral(" (--sans-journal pour ne pas le tenir).") << Qt::endl;
    return written.ok;
}

struct ReadProgram
{
    RelayProgram program;
    QStringList unusualValues;  // values the window could not show as stored
    bool ok = false;
};

ReadProgram readProgramFile(const QString &path, Output output)
{
    ReadProgram result;
    const ProgramReadResult read = readProgram(path);
    switch (read.status) {
    case ProfileFileStatus::Missing:
        output.err << QStringLiteral("Fichier introuvable : %1").arg(quotedText(path)) << Qt::endl;
        return result;
    case ProfileFileStatus::Unreadable:
        output.err << read.errorMessage << Qt::endl;
        return result;
    case ProfileFileStatus::Read:
        break;
    }
    if (!read.holdsProgram) {
        output.err << QStringLiteral("Le fichier %1 ne contient aucun programme de relais.")
                          .arg(quotedText(path))
                   << Qt::endl;
        return result;
    }
    read.applyTo(result.program);
    result.unusualValues = read.unusualValues;
    result.ok = true;
    return result;
}

}  // namespace

QString settingsPathFor(const CliRequest &request)
{
    if (!request.settingsPath.isEmpty())
        return request.settingsPath;
    return defaultSettingsPath();
}

int listPorts(const CliRequest &request, Output output)
{
    const QList<SerialPortInfo> ports = SerialPortInfo::availablePorts();
    const QHash<QString, QString> stableNames = stablePortNames();
    if (request.json) {
        QJsonArray list;
        for (const SerialPortInfo &port : ports) {
            const QString stable = stableNames.value(port.systemLocation());
            list.append(QJsonObject{
                {QStringLiteral("device"), port.systemLocation()},
                {QStringLiteral("description"), port.description()},
                {QStringLiteral("manufacturer"), port.manufacturer()},
                {QStringLiteral("serialNumber"), port.serialNumber()},
                {QStringLiteral("stableName"), stable.isEmpty() ? QJsonValue() : stable},
            });
        }
        output.out << QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Indented));
        return kDone;
    }
    if (ports.isEmpty()) {
        output.out << QStringLiteral("Aucun port série trouvé.") << Qt::endl;
        return kDone;
    }
    for (const SerialPortInfo &port : ports) {
        output.out << port.systemLocation() << Qt::endl;
        const auto line = [&output](const QString &caption, const QString &value) {
            if (!value.isEmpty())
                output.out << QStringLiteral("  %1 : %2").arg(caption, visibleText(value))
                           << Qt::endl;
        };
        line(QStringLiteral("Description"), port.description());
        line(QStringLiteral("Fabricant"), port.manufacturer());
        line(QStringLiteral("N° de série"), port.serialNumber());
        line(QStringLiteral("Nom stable"), stableNames.value(port.systemLocation()));
    }
    return kDone;
}

int setBoardClock(const CliRequest &request, Output output)
{
    // The moment is checked before the port is touched (see clock_send.h).
    const auto refuse = [&request, &output](const ClockSendResult &result) {
        QString refusal = result.refusal;
        if (!request.moment)
            refusal += QStringLiteral(" Réglez l'horloge du PC, ou donnez le moment avec "
                                      "--date \"%1\".")
                           .arg(QLatin1String(kClockTextForm));
        output.err << refusal << Qt::endl;
        return refusal;
    };
    const auto send = [&request](BoardLink &link) {
        return request.moment ? sendClockFields(link, clockFieldsFor(*request.moment))
                              : sendPcClock(link, [] { return QDateTime::currentDateTime(); });
    };
    BoardLink link;
    link.setSettingsPath(settingsPathFor(request));
    QString failure;
    if (!useBoardPort(link, request, output, &failure)) {
        noteInJournal(request, output,
                      makeJournalEntry(JournalKind::Clock, portTextFor(request), {}, {}, 0,
                                       JournalResult::Failed, failure));
        return kFailed;
    }
    const int waitMs = request.replyWaitSeconds * 1000;
    // The port must stay open while the reply is awaited.
    link.setTimerIntervals(kLineGatherMs, std::max(BoardLink::kCloseDelayMs, waitMs + 1000));
    link.setReceiveThreshold(1);
    const ClockSendResult result = send(link);
    if (!result.sent() || waitMs == 0)
        link.closePort();
    const QString refusal = result.fieldError ? refuse(result) : QString();
    if (!result.fieldError && !result.link)
        output.err << result.link.reason << Qt::endl;
    const bool noted = noteInJournal(
        request, output, clockSendJournalEntry(result, journalPort(link, request), refusal));
    if (!result.sent())
        return kFailed;
    output.out << QStringLiteral("Trame envoyée : %1").arg(hexText(result.frame)) << Qt::endl;
    output.out << result.message() << Qt::endl;
    if (waitMs == 0)
        return noted ? kDone : kFailed;

    // No reply is required: what the board says, if anything, is only shown.
    const QString reply = collectBoardText(link, waitMs).trimmed();
    if (reply.isEmpty()) {
        output.out << QStringLiteral("Rien reçu de la platine en %1 s. Rien ne confirme qu'elle a "
                                     "pris l'heure : elle ne la prend que sur la position "
                                     "« Mise à l'heure » du switch.")
                          .arg(request.replyWaitSeconds)
                   << Qt::endl;
    } else {
        output.out << QStringLiteral("Reçu de la platine :") << Qt::endl;
        for (const QString &line : reply.split(u'\n'))
            output.out << QStringLiteral("  %1").arg(visibleText(line.trimmed())) << Qt::endl;
    }
    return noted ? kDone : kFailed;
}

int uploadProgramFile(const CliRequest &request, Output output)
{
    const ReadProgram read = readProgramFile(request.file, output);
    if (!read.ok)
        return kFailed;
    const QStringList remarks = uploadRemarks(read.unusualValues, read.program);
    const auto note = [&](const QString &port, const QByteArray &frame, JournalResult result,
                          const QString &message = {}) {
        return noteInJournal(request, output,
                             makeJournalEntry(JournalKind::Program, port, frame, {},
                                              int(remarks.size()), result, message));
    };
    const ProgramEncodeResult encoded = encodeProgram(read.program);
    if (!encoded.ok()) {
        output.err << encoded.error->message() << Qt::endl;
        note(portTextFor(request), {}, JournalResult::Refused, encoded.error->message());
        return kFailed;
    }
    const QByteArray frame = programFrame(encoded.bytes);
    if (request.strict && !remarks.isEmpty()) {
        const QString refusal = QStringLiteral("Programme non envoyé (--strict) : %1.")
                                    .arg(remarkCount(remarks.size()));
        output.err << refusal << Qt::endl;
        printRemarks(output.err, remarks);
        note(portTextFor(request), frame, JournalResult::Refused, refusal);
        return kFailed;
    }

    // The port is opened first: a port that cannot be opened leaves param.ini as it was.
    BoardLink link;
    const QString settingsPath = settingsPathFor(request);
    link.setSettingsPath(settingsPath);
    QString failure;
    if (!openBoardPort(link, request, output, &failure)) {
        note(journalPort(link, request), frame, JournalResult::Failed, failure);
        return kFailed;
    }

    bool noted = true;
    if (request.keepSettings) {
        if (!sendFrame(link, frame, output, &failure)) {
            note(journalPort(link, request), frame, JournalResult::Failed, failure);
            return kFailed;
        }
        noted = note(journalPort(link, request), frame, JournalResult::Sent);
    } else {
        noteSettingsLocation(request, output);
        const UploadResult result = uploadProgram(read.program, settingsPath, link);
        link.closePort();
        noted = noteInJournal(
            request, output,
            uploadJournalEntry(result, journalPort(link, request), {}, int(remarks.size())));
        if (!result.sent || !result.stored) {
            output.err << result.message << Qt::endl;
            if (!result.sent)
                return kFailed;
        }
        if (!result.stored) {
            output.out << QStringLiteral("Programme envoyé : %1 octets.").arg(frame.size())
                       << Qt::endl;
            return kFailed;
        }
    }
    output.out << QStringLiteral("Programme envoyé : %1 octets.").arg(frame.size()) << Qt::endl;
    if (!request.keepSettings)
        output.out << QStringLiteral("Gardé comme dernier programme envoyé dans %1.")
                          .arg(QDir::toNativeSeparators(settingsPath))
                   << Qt::endl;
    if (!remarks.isEmpty()) {
        output.out << QStringLiteral("Envoyé tel quel, avec %1 :").arg(remarkCount(remarks.size()))
                   << Qt::endl;
        printRemarks(output.out, remarks);
    }
    return noted ? kDone : kFailed;
}

int showProgramFile(const CliRequest &request, Output output)
{
    const ReadProgram read = readProgramFile(request.file, output);
    if (!read.ok)
        return kFailed;
    const RelayProgram &program = read.program;

    if (request.coming) {
        const ComingSwitchings coming =
            comingSwitchings(program, QDateTime::currentDateTime(), request.days);
        if (request.ics)
            output.out << QString::fromUtf8(switchingsICalendar(coming));
        else if (request.json)
            output.out << QString::fromUtf8(
                QJsonDocument(switchingsJson(coming)).toJson(QJsonDocument::Indented));
        else
            output.out << switchingsText(coming);
        return kDone;
    }

    const ProgramEncodeResult encoded = encodeProgram(program);
    if (request.json) {
        QJsonObject document{{QStringLiteral("file"), request.file},
                             {QStringLiteral("relays"), programJson(program)},
                             {QStringLiteral("sendable"), encoded.ok()}};
        document.insert(QStringLiteral("problem"),
                        encoded.ok() ? QJsonValue() : encoded.error->message());
        output.out << QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
        return kDone;
    }
    output.out << programText(program);
    return kDone;
}

int listenToBoard(const CliRequest &request, Output output)
{
    BoardLink link;
    link.setSettingsPath(settingsPathFor(request));
    if (!openBoardPort(link, request, output))
        return kFailed;
    // Every byte is read, soon after it came: a short line is printed as soon as the board has
    // sent it, and the PC's time it is compared with is that of its arrival.
    link.setReceiveThreshold(1);
    link.setTimerIntervals(kLineGatherMs, BoardLink::kCloseDelayMs);

    QString pending;
    QDateTime pendingSince;  // when the first bytes of the pending line arrived
    const auto printLine = [&output, &request](const QString &received, const QDateTime &now) {
        const QString line = received.trimmed();
        if (line.isEmpty())
            return;
        const std::optional<QDateTime> board = parseBoardClockLine(line);
        const qint64 drift = board ? boardClockDrift(*board, now) : 0;
        if (request.json) {
            QJsonObject object{
                {QStringLiteral("line"), line},
                {QStringLiteral("pcTime"), now.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))},
            };
            object.insert(QStringLiteral("boardTime"),
                          board ? QJsonValue(board->toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")))
                                : QJsonValue());
            object.insert(QStringLiteral("driftSeconds"), board ? QJsonValue(drift) : QJsonValue());
            object.insert(QStringLiteral("drift"),
                          board ? QJsonValue(boardClockDriftText(drift, DriftAmount::Seconds))
                                : QJsonValue());
            output.out << jsonLine(object) << Qt::endl;
        } else if (board) {
            output.out << QStringLiteral("%1  (%2)")
                              .arg(visibleText(line),
                                   boardClockDriftText(drift, DriftAmount::Seconds))
                       << Qt::endl;
        } else {
            output.out << visibleText(line) << Qt::endl;
        }
    };

    bool received = false;
    QObject::connect(&link, &BoardLink::textReceived, &link, [&](const QString &text) {
        const QDateTime arrival = QDateTime::currentDateTime().addMSecs(-kLineGatherMs);
        received = received || !text.isEmpty();
        if (pending.isEmpty())
            pendingSince = arrival;
        pending += text;
        qsizetype end;
        while ((end = pending.indexOf(u'\n')) >= 0 || pending.size() > kMaxLineLength) {
            if (end < 0 || end > kMaxLineLength) {
                printLine(pending.left(kMaxLineLength), pendingSince);
                pending.remove(0, kMaxLineLength);
            } else {
                printLine(pending.left(end), pendingSince);
                pending.remove(0, end + 1);
            }
            pendingSince = arrival;
        }
        // Nobody reads the lines any more, or they cannot be written: listening is over.
        if (output.out.status() != QTextStream::Ok)
            QCoreApplication::exit(kFailed);
    });
    int code = kDone;
    QObject::connect(&link, &BoardLink::portLost, &link, [&](const QString &text) {
        output.err << text << Qt::endl;
        code = kFailed;
        QCoreApplication::exit(kFailed);
    });
    // The duration is kept in 64 bits and waited for in steps, however long it is.
    QDeadlineTimer deadline(QDeadlineTimer::Forever);
    QTimer step;
    step.setSingleShot(true);
    bool timeUp = false;
    if (request.durationSeconds) {
        deadline.setRemainingTime(*request.durationSeconds * 1000);
        QObject::connect(&step, &QTimer::timeout, &link, [&] {
            const qint64 left = deadline.remainingTime();
            if (left <= 0) {
                timeUp = true;
                QCoreApplication::exit(kDone);
            } else {
                step.start(static_cast<int>(std::min(left, kListenStepMs)));
            }
        });
        step.start(static_cast<int>(std::min(deadline.remainingTime(), kListenStepMs)));
    }
    QCoreApplication::exec();
    const QByteArray rest = link.takeReceived();
    received = received || !rest.isEmpty();
    printLine(pending + QString::fromLatin1(rest),
              pending.isEmpty() ? QDateTime::currentDateTime() : pendingSince);
    link.closePort();
    if (timeUp && !received && code == kDone) {
        output.err << QStringLiteral("Rien reçu de la platine en %1 s sur le port %2. Mettez le "
                                     "switch de la platine sur « Affichage heure » et vérifiez "
                                     "le câble série.")
                          .arg(*request.durationSeconds)
                          .arg(quotedText(link.port()))
                   << Qt::endl;
        return kFailed;
    }
    return code;
}

int showJournal(const CliRequest &request, Output output)
{
    const Journal journal;
    const JournalReadResult read = journal.read(request.count);
    if (!read.ok) {
        output.err << read.errorMessage << Qt::endl;
        return kFailed;
    }
    if (!read.remark.isEmpty())
        output.err << read.remark << Qt::endl;
    if (request.json) {
        QJsonArray entries;
        for (const JournalEntry &entry : read.entries)
            entries.append(journalEntryToJson(entry));
        output.out << QString::fromUtf8(QJsonDocument(entries).toJson(QJsonDocument::Indented));
        return kDone;
    }
    if (read.entries.isEmpty()) {
        output.out << QStringLiteral("Aucun envoi noté dans %1.")
                          .arg(QDir::toNativeSeparators(journal.path()))
                   << Qt::endl;
        return kDone;
    }
    for (const JournalEntry &entry : read.entries) {
        QString line = QStringLiteral("%1  %2  %3  port %4")
                           .arg(entry.time.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss t")),
                                journalKindKey(entry.kind), journalResultCaption(entry.result),
                                visibleText(entry.port));
        if (!entry.frame.isEmpty())
            line += QStringLiteral("  %1 octets").arg(entry.frame.size());
        if (entry.kind == JournalKind::Program)
            line += QStringLiteral("  %1").arg(remarkCount(entry.remarks));
        if (!entry.tool.isEmpty())
            line += QStringLiteral("  (%1 sur %2)").arg(entry.tool, visibleText(entry.host));
        output.out << line << Qt::endl;
        if (!entry.file.isEmpty())
            output.out << QStringLiteral("    Fichier : %1")
                              .arg(QDir::toNativeSeparators(visibleText(entry.file)))
                       << Qt::endl;
        if (!entry.message.isEmpty())
            output.out << QStringLiteral("    %1").arg(visibleText(entry.message)) << Qt::endl;
        if (!entry.frame.isEmpty())
            output.out << QStringLiteral("    Trame : %1").arg(hexText(entry.frame)) << Qt::endl;
    }
    return kDone;
}

}  // namespace platine::cli
