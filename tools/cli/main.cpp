#include "cli_commands.h"
#include "cli_options.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

using namespace platine::cli;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const Output output{out, err};

    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const CliParseResult parsed = parseCommandLine(arguments);
    if (!parsed.ok()) {
        err << QStringLiteral("platine-cli : ") << parsed.error << Qt::endl;
        return kWrongCommandLine;
    }
    const CliRequest &request = parsed.request;
    switch (request.command) {
    case Command::Help:
        out << helpText();
        return kDone;
    case Command::Version:
        out << QStringLiteral("platine-cli %1").arg(QStringLiteral(PLATINE_VERSION)) << Qt::endl;
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
    }
    return kFailed;
}
