#pragma once

#include <QString>
#include <QStringList>

namespace platine {

// What the command line of the tool asks for.
struct StartupOptions
{
    QString settingsPath;  // absolute; empty: param.ini beside the program
    bool noSplash = false;
    QString programFile;  // absolute; a program file to open once the window is loaded
};

enum class StartupExitCode { Ok = 0, Usage = 2, NoDisplay = 2, AlreadyOpen = 3 };

struct StartupDecision
{
    enum class Outcome {
        Run,       // start with `options`
        Exit,      // print `output` (standard output) or `error` (standard error), then exit
        Deferred,  // only the toolkit's own options (-platform, -style...) are unknown here:
                   // parse again once the toolkit has taken them out
    };
    Outcome outcome = Outcome::Run;
    StartupExitCode exitCode = StartupExitCode::Ok;
    StartupOptions options;
    QString output;
    QString error;
};

// Parses the program's arguments (the program's name first). Before the toolkit has run
// (toolkitHasRun false), options the toolkit knows are left for later; any other unknown
// option is a mistake at once, so that it is reported without a display.
StartupDecision decideStartup(const QStringList &arguments, bool toolkitHasRun);

// The help; settingsPath is the settings file this copy of the program uses.
QString startupHelpText(const QString &settingsPath);
// The folder that holds the running program (the first argument names it when the system
// cannot say).
QString programFolder(const QStringList &arguments);
QString startupVersionText();

}  // namespace platine
