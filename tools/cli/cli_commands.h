#pragma once

#include "cli/cli_options.h"

#include <QTextStream>

namespace platine::cli {

enum ExitCode { kDone = 0, kFailed = 1, kWrongCommandLine = 2 };

// Where results (out) and errors (err) go.
struct Output
{
    QTextStream &out;
    QTextStream &err;
};

// The settings file the window uses: param.ini beside the programs (the window and this tool
// share their folder, installed and in the build tree alike), or in the user's configuration
// folder when that folder is read-only. --settings replaces it.
QString settingsPathFor(const CliRequest &request);

int listPorts(const CliRequest &request, Output output);
int setBoardClock(const CliRequest &request, Output output);
int uploadProgramFile(const CliRequest &request, Output output);
int showProgramFile(const CliRequest &request, Output output);
int listenToBoard(const CliRequest &request, Output output);
int showJournal(const CliRequest &request, Output output);

}  // namespace platine::cli
