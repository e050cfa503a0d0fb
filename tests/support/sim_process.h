#pragma once

// The built board simulator, platine-sim, run as a child process of the test: the test reads
// its standard output line by line (the port line of the text output, or one JSON event a line
// with --json) and stops it as a user would. The child never outlives the test: the destructor
// kills it and waits for it, and on Linux the system ends it when the test process dies first
// (a crash, or the runner killing a test that hangs).
//
// PLATINE_SIM_PROGRAM names the built simulator; tests declared with
// platine_simulator_test() in the tests' CMakeLists.txt have it.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTest>

#include <algorithm>
#include <functional>
#include <optional>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#endif

#ifndef PLATINE_SIM_PROGRAM
#error                                                                                             \
    "PLATINE_SIM_PROGRAM must name the built simulator: declare the test with platine_simulator_test()"
#endif

namespace platine::test {

inline QString simulatorProgram()
{
    return QStringLiteral(PLATINE_SIM_PROGRAM);
}

class SimProcess
{
public:
    static constexpr int kEventTimeoutMs = 3000;

    explicit SimProcess(const QStringList &arguments)
    {
        process_.setProgram(simulatorProgram());
        process_.setArguments(arguments);
#ifdef Q_OS_LINUX
        const pid_t test = ::getpid();
        process_.setChildProcessModifier([test] {
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (::getppid() != test)
                ::_exit(1);  // the test died before the line above
        });
#endif
        process_.start();
    }
    ~SimProcess()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }
    SimProcess(const SimProcess &) = delete;
    SimProcess &operator=(const SimProcess &) = delete;

    QProcess &process()
    {
        return process_;
    }

    // The next line on standard output within timeoutMs, without its line end.
    std::optional<QString> nextLine(int timeoutMs = kEventTimeoutMs)
    {
        (void)QTest::qWaitFor([&] { return process_.canReadLine(); }, timeoutMs);
        if (!process_.canReadLine())
            return std::nullopt;
        QString line = QString::fromUtf8(process_.readLine());
        while (line.endsWith(u'\n') || line.endsWith(u'\r'))
            line.chop(1);
        return line;
    }

    // The text output starts with the line the simulator opened: "Port : /dev/pts/5". Returns
    // that device; empty when the first line does not come within timeoutMs or says something
    // else, and *firstLine then tells what came.
    QString portOfTextOutput(QString *firstLine, int timeoutMs = kEventTimeoutMs)
    {
        const std::optional<QString> line = nextLine(timeoutMs);
        *firstLine = line.value_or(QStringLiteral("<no line>"));
        static const QRegularExpression portLine(QStringLiteral("^Port : (/dev/\\S+)$"));
        const QRegularExpressionMatch match = portLine.match(*firstLine);
        return match.hasMatch() ? match.captured(1) : QString();
    }

    // The next JSON event (--json) whose "event" kind `wanted` accepts, within timeoutMs; the
    // others are skipped. An empty object, with a warning that names the events skipped and
    // shows the simulator's standard error, when none comes or a line is not a JSON object.
    QJsonObject nextEvent(const std::function<bool(const QString &kind)> &wanted,
                          int timeoutMs = kEventTimeoutMs)
    {
        const QDeadlineTimer deadline(timeoutMs);
        QStringList skipped;
        for (;;) {
            const std::optional<QString> line =
                nextLine(static_cast<int>(std::max<qint64>(1, deadline.remainingTime())));
            if (!line)
                break;
            const QJsonDocument document = QJsonDocument::fromJson(line->toUtf8());
            if (!document.isObject()) {
                qWarning("platine-sim wrote no JSON object: %s", qPrintable(*line));
                return {};
            }
            const QString kind = document.object().value(QStringLiteral("event")).toString();
            if (wanted(kind))
                return document.object();
            skipped.append(kind);
        }
        qWarning("no awaited event from platine-sim (skipped: %s); its standard error: %s",
                 qPrintable(skipped.join(QStringLiteral(", "))),
                 process_.readAllStandardError().constData());
        return {};
    }

    // Whether it has ended, waiting up to timeoutMs for it.
    bool waitForExit(int timeoutMs = 10000)
    {
        return process_.state() == QProcess::NotRunning || process_.waitForFinished(timeoutMs);
    }

    // Stops it as Ctrl+C or a service manager would; true when it ended normally with 0. Its
    // standard error goes to *standardError when given.
    bool stop(QString *standardError = nullptr)
    {
        process_.terminate();
        if (!waitForExit())
            return false;
        if (standardError)
            *standardError = QString::fromLocal8Bit(process_.readAllStandardError());
        return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
    }

private:
    QProcess process_;
};

}  // namespace platine::test
