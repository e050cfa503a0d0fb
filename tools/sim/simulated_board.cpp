#include "sim/simulated_board.h"

#include "sim/sim_report.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>

namespace platine::sim {

namespace {

// Once a frame has begun, this much silence means the rest will not come.
constexpr int kQuietTimeMs = 500;
// The reply to a program frame: the board says it has taken the six relays' timetable.
const char *const kProgramReply = "Programme reçu : 6 relais\r\n";

}  // namespace

void writeOut(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

SimulatedBoard::SimulatedBoard(SimulatorOptions options) : options_(std::move(options))
{
    quietTimer_.setSingleShot(true);
    quietTimer_.setInterval(kQuietTimeMs);
    tickTimer_.setSingleShot(true);
    tickTimer_.setTimerType(Qt::PreciseTimer);
    connect(&quietTimer_, &QTimer::timeout, this, &SimulatedBoard::lineWentQuiet);
    connect(&tickTimer_, &QTimer::timeout, this, &SimulatedBoard::tick);
    connect(&line_, &SerialLine::received, this, &SimulatedBoard::bytesReceived);
    connect(&line_, &SerialLine::listeningChanged, this, &SimulatedBoard::listenerChanged);
    connect(&line_, &SerialLine::lost, this, [](const QString &message) {
        writeOut(stderr, message);
        QCoreApplication::exit(ExitLineFailure);
    });
}

bool SimulatedBoard::start()
{
    uptime_.start();
    const QDateTime startMoment = options_.clock.value_or(QDateTime::currentDateTime());
    clock_.set(startMoment, sundayFirstDayNumber(startMoment.date()), uptime_.elapsed());

    const bool opened =
        options_.device.isEmpty() ? line_.openPseudoTerminal() : line_.openDevice(options_.device);
    if (!opened) {
        writeOut(stderr, line_.errorString());
        return false;
    }
    const BoardClock::Reading reading = clock_.readingAt(uptime_.elapsed());
    if (options_.json) {
        printJson(QJsonObject{
            {QStringLiteral("event"), QStringLiteral("port")},
            {QStringLiteral("device"), line_.devicePath()},
            {QStringLiteral("pseudoTerminal"), line_.isPseudoTerminal()},
            {QStringLiteral("clock"),
             reading.moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))},
            {QStringLiteral("weekDay"), reading.weekDay},
        });
    } else {
        writeOut(stdout, QStringLiteral("Port : %1").arg(line_.devicePath()));
        if (line_.isPseudoTerminal()) {
            note(QStringLiteral("Indiquez ce chemin dans « Paramètrage » / « Port COM » du "
                                "logiciel."));
        }
        note(QStringLiteral("Horloge de la platine : %1 (Ctrl+C pour arrêter)")
                 .arg(QString::fromLatin1(clockLine(reading).trimmed())));
    }
    scheduleTick();
    return true;
}

void SimulatedBoard::note(const QString &text)
{
    if (!options_.json && !options_.quiet)
        writeOut(stdout, text);
}

void SimulatedBoard::printJson(const QJsonObject &object)
{
    writeOut(stdout, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

void SimulatedBoard::listenerChanged(bool listening)
{
    if (options_.json) {
        printJson(QJsonObject{{QStringLiteral("event"), QStringLiteral("connection")},
                              {QStringLiteral("open"), listening}});
    } else {
        note(listening ? QStringLiteral("Le logiciel a ouvert le port.")
                       : QStringLiteral("Le logiciel a fermé le port."));
    }
}

// Sends the clock line at each change of the board's second.
void SimulatedBoard::scheduleTick()
{
    const int msec = clock_.readingAt(uptime_.elapsed()).moment.time().msec();
    tickTimer_.start(1000 - msec + 2);
}

void SimulatedBoard::tick()
{
    // One line per second of the board's clock, even when the timer fires a little early.
    const QDateTime now = clock_.readingAt(uptime_.elapsed()).moment;
    const QDateTime second = now.addMSecs(-now.time().msec());
    if (second != lastSecondSent_)
        sendClockLine();
    scheduleTick();
}

void SimulatedBoard::sendClockLine()
{
    if (!line_.isListening())
        return;  // nobody at the other end: the text would be lost on a real line
    const BoardClock::Reading reading = clock_.readingAt(uptime_.elapsed());
    lastSecondSent_ = reading.moment.addMSecs(-reading.moment.time().msec());
    send(clockLine(reading));
}

void SimulatedBoard::send(const QByteArray &bytes)
{
    if (!line_.write(bytes)) {
        note(QStringLiteral("Envoi impossible (%1 octets perdus).").arg(bytes.size()));
        return;
    }
    if (!options_.verbose)
        return;
    const QString text = QString::fromLatin1(bytes);
    if (options_.json) {
        printJson(QJsonObject{{QStringLiteral("event"), QStringLiteral("sent")},
                              {QStringLiteral("text"), text}});
    } else {
        writeOut(stdout, QStringLiteral("Envoyé : %1").arg(text.trimmed()));
    }
}

void SimulatedBoard::bytesReceived(const QByteArray &bytes)
{
    for (const FrameStream::Event &event : stream_.feed(bytes))
        handle(event);
    if (stream_.hasPending())
        quietTimer_.start();  // restarted by every new byte
    else
        quietTimer_.stop();
}

void SimulatedBoard::lineWentQuiet()
{
    for (const FrameStream::Event &event : stream_.flush())
        handle(event);
}

void SimulatedBoard::handle(const FrameStream::Event &event)
{
    switch (event.kind) {
    case FrameStream::Kind::Clock:
        handleClock(event.bytes);
        break;
    case FrameStream::Kind::Program:
        handleProgram(event.bytes);
        break;
    case FrameStream::Kind::Ignored:
        if (options_.json)
            printJson(ignoredJson(event));
        else
            writeOut(stdout, ignoredReport(event));
        return;
    }
    if (options_.once)
        QCoreApplication::exit(ExitOk);
}

void SimulatedBoard::handleClock(const QByteArray &frame)
{
    const std::optional<ClockSetting> setting = decodeClockFrame(frame);
    if (!setting)
        return;
    const std::optional<QDateTime> moment = setting->moment();
    if (moment)
        clock_.set(*moment, setting->weekDay, uptime_.elapsed());
    if (options_.json)
        printJson(clockJson(*setting, frame, moment.has_value()));
    else
        writeOut(stdout, clockReport(*setting, frame, moment.has_value()));
    if (moment) {
        // The board shows its new time at once, and from then on at each new second.
        sendClockLine();
        scheduleTick();
    }
}

void SimulatedBoard::handleProgram(const QByteArray &frame)
{
    const std::optional<DecodedProgram> program = decodeProgramFrame(frame);
    if (!program)
        return;
    if (options_.json)
        printJson(programJson(*program, frame));
    else
        writeOut(stdout, programReport(*program));
    if (line_.isListening())
        send(QString::fromUtf8(kProgramReply).toLatin1());
}

}  // namespace platine::sim
