#pragma once

#include "sim/sim_clock.h"
#include "sim/sim_decode.h"
#include "sim/sim_line.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdio>
#include <optional>

class QJsonObject;

namespace platine::sim {

// How the simulator ends: 1 when its line fails, 2 for a command line it cannot use.
enum ExitCode { ExitOk = 0, ExitLineFailure = 1, ExitUsage = 2 };

struct SimulatorOptions
{
    QString device;  // empty: a pseudo-terminal
    std::optional<QDateTime> clock;
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    bool once = false;
};

// One line of text on stdout or stderr, written at once.
void writeOut(FILE *stream, const QString &text);

// The simulated board on its serial line: it keeps a clock and sends its line each second while
// the tool listens, decodes the clock and program frames it receives with a decoder of its own
// (the independent check of the tool's encoders), and reports them on stdout, in words or JSON.
class SimulatedBoard : public QObject
{
public:
    explicit SimulatedBoard(SimulatorOptions options);

    // Opens the line and starts the clock; false, said on stderr, when the line cannot open.
    bool start();

private:
    void note(const QString &text);
    void printJson(const QJsonObject &object);
    void listenerChanged(bool listening);
    void scheduleTick();
    void tick();
    void sendClockLine();
    void send(const QByteArray &bytes);
    void bytesReceived(const QByteArray &bytes);
    void lineWentQuiet();
    void handle(const FrameStream::Event &event);
    void handleClock(const QByteArray &frame);
    void handleProgram(const QByteArray &frame);

    SimulatorOptions options_;
    SerialLine line_;
    BoardClock clock_;
    FrameStream stream_;
    QTimer quietTimer_;
    QTimer tickTimer_;
    QElapsedTimer uptime_;
    QDateTime lastSecondSent_;
};

}  // namespace platine::sim
