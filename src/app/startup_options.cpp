#include "app/startup_options.h"

#include "store/settings_location.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <optional>
#ifdef Q_OS_WIN
#include <string>

#include <windows.h>
#endif

namespace platine {

namespace {

// Options that Qt's application object takes out of the command line for itself.
const QStringList kToolkitOptions = {
    QStringLiteral("platform"),
    QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"),
    QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"),
    QStringLiteral("reverse"),
    QStringLiteral("session"),
    QStringLiteral("display"),
    QStringLiteral("geometry"),
    QStringLiteral("style"),
    QStringLiteral("stylesheet"),
    QStringLiteral("widgetcount"),
    QStringLiteral("qmljsdebugger"),
    QStringLiteral("nograb"),
    QStringLiteral("dograb"),
    QStringLiteral("sync"),
    QStringLiteral("name"),
    QStringLiteral("title"),
    QStringLiteral("visual"),
    QStringLiteral("ncols"),
    QStringLiteral("cmap"),
    QStringLiteral("fn"),
    QStringLiteral("font"),
    QStringLiteral("bg"),
    QStringLiteral("background"),
    QStringLiteral("fg"),
    QStringLiteral("foreground"),
    QStringLiteral("btn"),
    QStringLiteral("button"),
    QStringLiteral("im"),
    QStringLiteral("inputstyle"),
};

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

StartupDecision usageError(const QString &message)
{
    StartupDecision decision;
    decision.outcome = StartupDecision::Outcome::Exit;
    decision.exitCode = StartupExitCode::Usage;
    decision.error = message + QStringLiteral("\nplatine --help affiche l'aide.");
    return decision;
}

StartupDecision exitWith(const QString &output)
{
    StartupDecision decision;
    decision.outcome = StartupDecision::Outcome::Exit;
    decision.output = output;
    return decision;
}

}  // namespace

QString startupHelpText(const QString &settingsPath)
{
    return QStringLiteral(
               "platine : logiciel de configuration de la platine à six relais.\n"
               "\n"
               "Usage : platine [options] [FICHIER]\n"
               "\n"
               "FICHIER : un programme des relais à ouvrir, comme avec « Ouvrir », une fois le\n"
               "dernier programme envoyé rechargé.\n"
               "\n"
               "Options :\n"
               "  --settings <fichier>  utilise ce fichier de paramètres (port et dernier "
               "programme\n"
               "                        envoyé) au lieu de celui de cette copie du logiciel :\n"
               "                        %1\n"
               "                        il est créé au premier enregistrement s'il n'existe pas\n"
               "  --no-splash           affiche tout de suite la fenêtre principale, sans la "
               "fenêtre\n"
               "                        de présentation\n"
               "  -h, --help            affiche cette aide\n"
               "  -v, --version         affiche la version\n"
               "\n"
               "Variables d'environnement :\n"
               "  PLATINE_PEER=<texte>     dit ce qui est au bout du port, à côté de son état\n"
               "                           (par exemple « simulateur platine-sim »)\n"
               "  PLATINE_STARTUP_PROBE=1  mesure le démarrage : dès que la première fenêtre est\n"
               "                           affichée, écrit « startup-ms: <n> » sur la sortie "
               "d'erreur,\n"
               "                           puis « painted-ms: <n> » une fois sa première image\n"
               "                           dessinée, et quitte\n"
               "\n"
               "Codes de sortie : 0 arrêt normal, 2 ligne de commande incorrecte ou aucun\n"
               "affichage graphique (ni DISPLAY ni WAYLAND_DISPLAY), 3 platine déjà ouvert sur le\n"
               "même fichier de paramètres.\n"
               "\n"
               "Sans affichage, platine-cli met la platine à l'heure et lui envoie un programme.\n"
               "Le manuel : man platine, ou « Aide » (F1) dans la fenêtre.")
        .arg(QDir::toNativeSeparators(settingsPath));
}

QString programFolder(const QStringList &arguments)
{
#ifdef Q_OS_WIN
    // The program file itself (a relative path in the arguments names the current folder).
    Q_UNUSED(arguments);
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (size == 0)
            return {};
        if (size < path.size()) {
            path.resize(size);
            break;
        }
        path.resize(path.size() * 2);
    }
    return QFileInfo(QString::fromStdWString(path)).absolutePath();
#else
    // The program itself, wherever it was started from and through whatever link.
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    if (self.exists())
        return QFileInfo(self.canonicalFilePath()).absolutePath();
    return arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).absolutePath();
#endif
}

QString startupVersionText()
{
    return QStringLiteral("platine %1").arg(QStringLiteral(PLATINE_VERSION));
}

StartupDecision decideStartup(const QStringList &arguments, bool toolkitHasRun)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    const QCommandLineOption settings(QStringLiteral("settings"), QString(),
                                      QStringLiteral("fichier"));
    const QCommandLineOption noSplash(QStringLiteral("no-splash"), QString());
    parser.addOptions({help, version, settings, noSplash});

    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            if (!toolkitHasRun) {
                bool toolkitOnly = true;
                for (const QString &name : unknown)
                    toolkitOnly = toolkitOnly && kToolkitOptions.contains(name);
                if (toolkitOnly)
                    return {StartupDecision::Outcome::Deferred, StartupExitCode::Ok, {}, {}, {}};
            }
            // The first option nobody knows, rather than one the toolkit would have taken.
            QString name = unknown.first();
            for (const QString &candidate : unknown) {
                if (!kToolkitOptions.contains(candidate)) {
                    name = candidate;
                    break;
                }
            }
            const QString dashes = name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            return usageError(QStringLiteral("Option inconnue : %1%2").arg(dashes, name));
        }
        // The one option with a value: "--settings" last, with nothing after it.
        if (parser.errorText().contains(QStringLiteral("settings")))
            return usageError(*settingsPathProblem(QString()));
        return usageError(
            QStringLiteral("Ligne de commande incorrecte (%1).").arg(parser.errorText()));
    }
    if (parser.isSet(help))
        return exitWith(startupHelpText(settingsFileLocation(programFolder(arguments))));
    if (parser.isSet(version))
        return exitWith(startupVersionText());
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return usageError(QStringLiteral("Argument inattendu : %1").arg(files.at(1)));
    StartupDecision decision;
    if (!files.isEmpty())
        decision.options.programFile = QFileInfo(files.first()).absoluteFilePath();
    if (parser.isSet(settings)) {
        const QString path = parser.value(settings);
        if (const std::optional<QString> problem = settingsPathProblem(path))
            return usageError(*problem);
        decision.options.settingsPath = QFileInfo(path).absoluteFilePath();
    }
    decision.options.noSplash = parser.isSet(noSplash);
    return decision;
}

}  // namespace platine
