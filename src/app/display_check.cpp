#include "app/display_check.h"

namespace platine {

namespace {

// The value of a toolkit option given as "-name value" or "--name value" (the last one wins,
// as in the toolkit); empty when absent.
QString toolkitOptionValue(const QStringList &arguments, const QString &name)
{
    QString value;
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i) {
        QString argument = arguments.at(i);
        if (argument.startsWith(QStringLiteral("--")))
            argument.remove(0, 1);
        if (argument == QLatin1Char('-') + name)
            value = arguments.at(++i);
    }
    return value;
}

}  // namespace

std::optional<QString> missingDisplayMessage(const QProcessEnvironment &environment,
                                             const QStringList &arguments)
{
    QString platform = toolkitOptionValue(arguments, QStringLiteral("platform"));
    if (platform.isEmpty())
        platform = environment.value(QStringLiteral("QT_QPA_PLATFORM"));
    QString x11Display = toolkitOptionValue(arguments, QStringLiteral("display"));
    if (x11Display.isEmpty())
        x11Display = environment.value(QStringLiteral("DISPLAY"));
    const bool hasX11 = !x11Display.isEmpty();
    const bool hasWayland = !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty();

    // The platform may be a list of names tried in turn ("wayland;xcb"), each with options
    // after a colon ("xcb:nograb").
    bool anyPlatform = false;
    for (const QString &entry : platform.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        if (name.isEmpty())
            continue;
        anyPlatform = true;
        if (name == QLatin1String("xcb")) {
            if (hasX11)
                return std::nullopt;
        } else if (name.startsWith(QLatin1String("wayland"))) {
            if (hasWayland)
                return std::nullopt;
        } else {
            return std::nullopt;  // a platform that needs no display server, or its own check
        }
    }
    if (!anyPlatform && (hasX11 || hasWayland))
        return std::nullopt;

    QString reason;
    if (anyPlatform) {
        reason = QStringLiteral("la plateforme graphique « %1 » demande un affichage "
                                "(DISPLAY ou WAYLAND_DISPLAY), et aucun n'est défini.")
                     .arg(platform);
    } else {
        reason = QStringLiteral("ni DISPLAY ni WAYLAND_DISPLAY n'est défini.");
    }
    QString launcher = environment.value(QStringLiteral("PLATINE_LAUNCHER")).trimmed();
    if (launcher.isEmpty())
        launcher = QStringLiteral("platine");
    return QStringLiteral("platine : aucun affichage graphique pour ouvrir la fenêtre : %1\n"
                          "Pour lancer le logiciel :\n"
                          "  - depuis une autre machine, connectez-vous avec « ssh -X » "
                          "(ou « ssh -Y »), puis relancez %2 ;\n"
                          "  - sur une machine sans écran, « xvfb-run %2 » (paquet "
                          "xvfb) l'ouvre sur un écran virtuel, invisible.\n"
                          "platine-cli, qui n'a besoin d'aucun affichage, met aussi la platine "
                          "à l'heure et lui envoie un programme enregistré (man platine-cli).")
        .arg(reason, launcher);
}

}  // namespace platine
