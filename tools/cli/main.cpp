#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "cli/standard_output.h"

#include <QCoreApplication>
#include <QTextStream>

#include <fcntl.h>
#include <unistd.h>

using namespace platine::cli;

namespace {

int runCommand(const QStringList &arguments, Output output)
{
    const CliParseResult parsed = parseCommandLine(arguments);
    if (!parsed.ok()) {
        output.err << QStringLiteral("platine-cli : ") << parsed.error << Qt::endl;
        return kWrongCommandLine;
    }
    const CliRequest &request = parsed.request;
    switch (request.command) {
    case Command::Help:
        output.out << helpText();
        return kDone;
    case Command::Version:
        output.out << QStringLiteral("platine-cli %1").arg(QStringLiteral(PLATINE_VERSION))
                   << Qt::endl;
        return kDone;
    case Command::Ports:
        return listPorts(request, output);
    case Command::SetClock:
        return setBoardClock(request, output);
    case Command::Upload:
        return uploadProgramFile(request, output);
    case Command::Show:
        return showProgramFile(request, output);
    case Command::Listen:
        return listenToBoard(request, output);
    case Command::History:
        return showJournal(request, output);
    }
    return kFailed;
}

// A closed standard error gets the null device, so that no file or port opened later takes
// its number and receives the messages.
void keepStandardErrorNumber()
{
    if (descriptorIsOpen(STDERR_FILENO))
        return;
#ifdef Q_OS_WIN
    const int fd = ::open("NUL", O_WRONLY | O_NOINHERIT);
#else
    const int fd = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
#endif
    if (fd >= 0 && fd != STDERR_FILENO) {
        ::dup2(fd, STDERR_FILENO);
        ::close(fd);
    }
}

}  // namespace

int main(int argc, char *argv[])
{
    // Every result goes to standard output: with it closed, nothing is done at all. This is
    // checked first, before anything (Qt itself included) opens a file that would take its
    // number and receive the results.
    keepStandardErrorNumber();
    if (!descriptorIsOpen(STDOUT_FILENO)) {
        constexpr char kClosed[] =
            "platine-cli : la sortie standard est fermée ; rien n'a été fait.\n";
        [[maybe_unused]] const ssize_t written =
            ::write(STDERR_FILENO, kClosed, sizeof kClosed - 1);
        return kFailed;
    }
    ignoreBrokenPipeSignal();
    QCoreApplication app(argc, argv);
    StandardStream outDevice(STDOUT_FILENO);
    StandardStream errDevice(STDERR_FILENO);
    QTextStream out(&outDevice);
    QTextStream err(&errDevice);

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const int code = runCommand(arguments, Output{out, err});

    // What is written is checked to the end: the last bytes and the closing of the descriptor.
    out.flush();
    if (!outDevice.failed())
        outDevice.closeDescriptor();
    if (!outDevice.failed() && out.status() == QTextStream::Ok)
        return code;
    if (outDevice.readerGone())
        return code;  // the reader has what it wanted (| head)
    const QString reason = outDevice.failed() ? outDevice.failureText()
                                              : QStringLiteral("écriture impossible sur la "
                                                               "sortie standard");
    err << QStringLiteral("platine-cli : %1.").arg(reason) << Qt::endl;
    return code == kDone ? kFailed : code;
}
