#include "app/app_shell.h"

#include <QApplication>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileInfo>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <optional>

namespace {

enum ExitCode { ExitOk = 0, ExitUsage = 2 };

struct StartupOptions
{
    QString settingsPath;  // empty: param.ini beside the program
    bool noSplash = false;
};

void writeOut(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

QString helpText()
{
    return QStringLiteral(
        "platine : logiciel de configuration de la platine six relais.\n"
        "\n"
        "Usage : platine [options]\n"
        "\n"
        "Options :\n"
        "  --settings <fichier>  utilise ce fichier de paramètres (port et dernier programme\n"
        "                        envoyé) au lieu de param.ini à côté du programme ; il est\n"
        "                        créé au premier enregistrement s'il n'existe pas\n"
        "  --no-splash           affiche tout de suite la fenêtre principale, sans la fenêtre\n"
        "                        de présentation\n"
        "  -h, --help            affiche cette aide\n"
        "  -v, --version         affiche la version\n"
        "\n"
        "Variable d'environnement :\n"
        "  PLATINE_STARTUP_PROBE=1  mesure le démarrage : dès que la première fenêtre est\n"
        "                           affichée, écrit « startup-ms: <n> » sur la sortie d'erreur\n"
        "                           et quitte\n"
        "\n"
        "Codes de sortie : 0 arrêt normal, 2 ligne de commande incorrecte.");
}

QString versionText()
{
    return QStringLiteral("platine %1").arg(QStringLiteral(PLATINE_VERSION));
}

// Checks a --settings value; returns a French message when it cannot be used.
std::optional<QString> settingsPathProblem(const QString &path)
{
    if (path.isEmpty())
        return QStringLiteral("--settings demande le chemin d'un fichier de paramètres.");
    const QFileInfo info(path);
    if (info.isDir()) {
        return QStringLiteral("« %1 » est un dossier : --settings demande un fichier.")
            .arg(QDir::toNativeSeparators(path));
    }
    if (!info.absoluteDir().exists()) {
        return QStringLiteral("Le dossier du fichier de paramètres « %1 » n'existe pas.")
            .arg(QDir::toNativeSeparators(path));
    }
    return std::nullopt;
}

// What the command line asks for.
enum class ParseOutcome {
    Run,       // start with the options read
    Exit,      // stop at once with the exit code given (help, version, or an error printed)
    Deferred,  // options unknown here, maybe the toolkit's own: parse again once it has run
};

struct ParseResult
{
    ParseOutcome outcome = ParseOutcome::Run;
    int exitCode = ExitOk;
};

// Parses the command line into `options`. With deferUnknown, an unknown option is left for a
// second parse after the toolkit has taken its own options (-platform, -style, ...) out.
ParseResult parseCommandLine(const QStringList &arguments, StartupOptions &options,
                             bool deferUnknown)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    const QCommandLineOption settings(QStringLiteral("settings"), QString(),
                                      QStringLiteral("fichier"));
    const QCommandLineOption noSplash(QStringLiteral("no-splash"), QString());
    parser.addOptions({help, version, settings, noSplash});

    const auto usageError = [](const QString &message) {
        writeOut(stderr, message + QStringLiteral("\nplatine --help affiche l'aide."));
        return ParseResult{ParseOutcome::Exit, ExitUsage};
    };

    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            if (deferUnknown)
                return {ParseOutcome::Deferred, ExitOk};
            const QString name = parser.unknownOptionNames().first();
            const QString dashes = name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            return usageError(QStringLiteral("Option inconnue : %1%2").arg(dashes, name));
        }
        // The one option with a value: "--settings" last, with nothing after it.
        if (parser.errorText().contains(QStringLiteral("settings")))
            return usageError(*settingsPathProblem(QString()));
        return usageError(
            QStringLiteral("Ligne de commande incorrecte (%1).").arg(parser.errorText()));
    }
    if (parser.isSet(help)) {
        writeOut(stdout, helpText());
        return {ParseOutcome::Exit, ExitOk};
    }
    if (parser.isSet(version)) {
        writeOut(stdout, versionText());
        return {ParseOutcome::Exit, ExitOk};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(
            QStringLiteral("Argument inattendu : %1").arg(parser.positionalArguments().first()));
    }
    if (parser.isSet(settings)) {
        const QString path = parser.value(settings);
        if (const std::optional<QString> problem = settingsPathProblem(path))
            return usageError(*problem);
        options.settingsPath = QFileInfo(path).absoluteFilePath();
    }
    options.noSplash = parser.isSet(noSplash);
    return {ParseOutcome::Run, ExitOk};
}

// Start-up measurement: the first time one of the program's windows is exposed, prints the
// time since the start of main() as "startup-ms: <n>" on standard error and ends the program.
class StartupProbe : public QObject
{
public:
    explicit StartupProbe(const QElapsedTimer &sinceStart, QObject *parent = nullptr)
        : QObject(parent), sinceStart_(sinceStart)
    {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!done_ && event->type() == QEvent::Expose) {
            const auto *window = qobject_cast<QWindow *>(watched);
            if (window && window->isExposed()) {
                done_ = true;
                std::fprintf(stderr, "startup-ms: %lld\n",
                             static_cast<long long>(sinceStart_.elapsed()));
                std::fflush(stderr);
                // Queued: the window may be exposed before the event loop runs.
                QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(ExitOk); });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QElapsedTimer sinceStart_;
    bool done_ = false;
};

}  // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();

    // Read before the toolkit starts, so that help, version and mistakes are answered without
    // a display.
    StartupOptions options;
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments.append(QString::fromLocal8Bit(argv[i]));
    ParseResult parsed = parseCommandLine(rawArguments, options, true);
    if (parsed.outcome == ParseOutcome::Exit)
        return parsed.exitCode;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("platine"));
    QGuiApplication::setDesktopFileName(QStringLiteral("platine"));
    QApplication::setApplicationVersion(QStringLiteral(PLATINE_VERSION));

    if (parsed.outcome == ParseOutcome::Deferred) {
        // The toolkit's own options have been taken out of the arguments by now.
        parsed = parseCommandLine(QCoreApplication::arguments(), options, false);
        if (parsed.outcome == ParseOutcome::Exit)
            return parsed.exitCode;
    }

    if (qEnvironmentVariable("PLATINE_STARTUP_PROBE") == QLatin1String("1"))
        app.installEventFilter(new StartupProbe(sinceStart, &app));

    platine::MainWindowOptions windowOptions;
    windowOptions.settingsPath = options.settingsPath;
    platine::AppShell shell(windowOptions);
    if (options.noSplash)
        shell.showMainWindow();
    else
        shell.start();
    return QApplication::exec();
}
