#include "cli/cli_options.h"

#include "link/clock_frame.h"
#include "relays/coming_switchings.h"
#include "store/visible_text.h"

#include <QRegularExpression>
#include <QSet>

namespace platine::cli {

namespace {

struct CommandInfo
{
    QString name;
    Command command;
    bool takesFile;
    QStringList options;  // without the leading dashes
};

const QList<CommandInfo> &commands()
{
    static const QList<CommandInfo> list = {
        {QStringLiteral("ports"), Command::Ports, false, {QStringLiteral("json")}},
        {QStringLiteral("heure"),
         Command::SetClock,
         false,
         {QStringLiteral("port"), QStringLiteral("date"), QStringLiteral("attente"),
          QStringLiteral("settings"), QStringLiteral("sans-journal")}},
        {QStringLiteral("programmer"),
         Command::Upload,
         true,
         {QStringLiteral("port"), QStringLiteral("settings"), QStringLiteral("sans-parametres"),
          QStringLiteral("strict"), QStringLiteral("sans-journal")}},
        {QStringLiteral("afficher"),
         Command::Show,
         true,
         {QStringLiteral("json"), QStringLiteral("prochaines"), QStringLiteral("jours"),
          QStringLiteral("ics")}},
        {QStringLiteral("ecouter"),
         Command::Listen,
         false,
         {QStringLiteral("port"), QStringLiteral("duree"), QStringLiteral("json"),
          QStringLiteral("settings")}},
        {QStringLiteral("historique"),
         Command::History,
         false,
         {QStringLiteral("json"), QStringLiteral("nombre")}},
    };
    return list;
}

bool takesValue(const QString &option)
{
    return option == QStringLiteral("port") || option == QStringLiteral("date") ||
           option == QStringLiteral("settings") || option == QStringLiteral("duree") ||
           option == QStringLiteral("attente") || option == QStringLiteral("jours") ||
           option == QStringLiteral("nombre");
}

CliParseResult failure(const QString &message)
{
    CliParseResult result;
    result.error = message;
    return result;
}

}  // namespace

CliParseResult parseCommandLine(const QStringList &arguments)
{
    CliParseResult result;
    CliRequest &request = result.request;
    if (arguments.isEmpty())
        return failure(QStringLiteral("Aucune commande. Essayez « platine-cli --help »."));

    const QString first = arguments.first();
    if (first == QStringLiteral("--help") || first == QStringLiteral("-h") ||
        first == QStringLiteral("aide")) {
        if (arguments.size() > 1)
            return failure(QStringLiteral("--help ne prend pas d'autre argument."));
        request.command = Command::Help;
        return result;
    }
    if (first == QStringLiteral("--version") || first == QStringLiteral("-v")) {
        if (arguments.size() > 1)
            return failure(QStringLiteral("--version ne prend pas d'autre argument."));
        request.command = Command::Version;
        return result;
    }

    const CommandInfo *info = nullptr;
    for (const CommandInfo &candidate : commands()) {
        if (candidate.name == first)
            info = &candidate;
    }
    if (!info)
        return failure(QStringLiteral("Commande inconnue : « %1 ». Essayez « platine-cli --help ».")
                           .arg(first));
    request.command = info->command;

    QStringList positionals;
    QSet<QString> seen;
    bool optionsEnded = false;  // after "--", a file name may start with a dash
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!optionsEnded && argument == QStringLiteral("--")) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || !argument.startsWith(QStringLiteral("--"))) {
            positionals << argument;
            continue;
        }
        QString name = argument.mid(2);
        std::optional<QString> value;
        const qsizetype equals = name.indexOf(u'=');
        if (equals >= 0) {
            value = name.mid(equals + 1);
            name.truncate(equals);
        }
        if (name == QStringLiteral("help"))
            return failure(QStringLiteral("Pour l'aide, tapez « platine-cli --help » seul."));
        if (!info->options.contains(name))
            return failure(
                QStringLiteral("Option inconnue pour « %1 » : --%2").arg(info->name, name));
        if (seen.contains(name))
            return failure(QStringLiteral("L'option --%1 est donnée deux fois.").arg(name));
        seen.insert(name);
        if (takesValue(name)) {
            if (!value) {
                if (i + 1 >= arguments.size())
                    return failure(QStringLiteral("L'option --%1 demande une valeur.").arg(name));
                value = arguments.at(++i);
            }
        } else if (value) {
            return failure(QStringLiteral("L'option --%1 ne prend pas de valeur.").arg(name));
        }

        if (name == QStringLiteral("json")) {
            request.json = true;
        } else if (name == QStringLiteral("sans-parametres")) {
            request.keepSettings = true;
        } else if (name == QStringLiteral("port")) {
            if (value->trimmed().isEmpty())
                return failure(QStringLiteral("--port demande un port : un numéro, un nom "
                                              "(ttyUSB0) ou un chemin (/dev/ttyUSB0)."));
            request.port = *value;
        } else if (name == QStringLiteral("settings")) {
            if (value->isEmpty())
                return failure(QStringLiteral("--settings demande le chemin d'un fichier."));
            request.settingsPath = *value;
        } else if (name == QStringLiteral("date")) {
            // Read as the board's plain date and time, by the rule every clock frame follows:
            // the board knows no summer time, so an hour the PC's clock skips (02:30 on the day
            // summer time starts) can still be sent.
            const QString expected =
                QStringLiteral("Forme attendue : %1, année de 2000 à 2099 (par exemple "
                               "\"2026-03-29 03:00:00\").")
                    .arg(QLatin1String(kClockTextForm));
            const std::optional<ClockFields> fields = clockFieldsFromText(*value);
            if (!fields)
                return failure(
                    QStringLiteral("Date non reconnue : %1. %2").arg(quotedText(*value), expected));
            const ClockFrameResult checked = encodeClockFrame(*fields);
            if (!checked.ok())
                return failure(QStringLiteral("Date refusée : %1 : %2. %3")
                                   .arg(quotedText(*value), checked.error->reason(), expected));
            request.moment = checked.moment;
        } else if (name == QStringLiteral("attente")) {
            bool number = false;
            const int seconds = value->toInt(&number);
            if (!number || seconds < 0 || seconds > kMaxReplyWaitSeconds)
                return failure(QStringLiteral("Attente non reconnue : %1. Donnez un nombre entier "
                                              "de secondes, de 0 (ne pas attendre) à %2.")
                                   .arg(quotedText(*value))
                                   .arg(kMaxReplyWaitSeconds));
            request.replyWaitSeconds = seconds;
        } else if (name == QStringLiteral("duree")) {
            static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
            bool number = false;
            const qint64 seconds = value->toLongLong(&number);
            const bool wholeNumber = digits.match(*value).hasMatch();
            if (wholeNumber && (!number || seconds > kMaxListenSeconds))
                return failure(QStringLiteral("Durée trop longue : « %1 » s. Au plus %2 s "
                                              "(366 jours).")
                                   .arg(*value)
                                   .arg(kMaxListenSeconds));
            if (!wholeNumber || seconds <= 0)
                return failure(QStringLiteral("Durée non reconnue : « %1 ». Donnez un nombre "
                                              "entier de secondes, de 1 à %2 (366 jours).")
                                   .arg(*value)
                                   .arg(kMaxListenSeconds));
            request.durationSeconds = seconds;
        } else if (name == QStringLiteral("strict")) {
            request.strict = true;
        } else if (name == QStringLiteral("sans-journal")) {
            request.noJournal = true;
        } else if (name == QStringLiteral("prochaines")) {
            request.coming = true;
        } else if (name == QStringLiteral("ics")) {
            request.ics = true;
        } else if (name == QStringLiteral("jours")) {
            static const QRegularExpression digits(QStringLiteral("^[0-9]{1,3}$"));
            const int days = value->toInt();
            if (!digits.match(*value).hasMatch() || days < 1 || days > kMaxComingDays)
                return failure(QStringLiteral("Nombre de jours non reconnu : %1. Donnez un nombre "
                                              "entier de 1 à %2.")
                                   .arg(quotedText(*value))
                                   .arg(kMaxComingDays));
            request.days = days;
        } else if (name == QStringLiteral("nombre")) {
            static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
            const int count = value->toInt();
            if (!digits.match(*value).hasMatch() || count < 1)
                return failure(QStringLiteral("Nombre d'envois non reconnu : %1. Donnez un nombre "
                                              "entier d'au moins 1.")
                                   .arg(quotedText(*value)));
            request.count = count;
        }
    }

    if ((seen.contains(QStringLiteral("jours")) || request.ics) && !request.coming)
        return failure(QStringLiteral("--jours et --ics vont avec --prochaines."));
    if (request.json && request.ics)
        return failure(QStringLiteral("--json et --ics ne vont pas ensemble."));

    if (request.keepSettings && !request.settingsPath.isEmpty())
        return failure(QStringLiteral("--settings et --sans-parametres ne vont pas ensemble."));
    if (info->takesFile) {
        if (positionals.isEmpty())
            return failure(
                QStringLiteral("« %1 » demande un fichier de programme.").arg(info->name));
        if (positionals.first().isEmpty())
            return failure(QStringLiteral("Le nom de fichier est vide."));
        request.file = positionals.takeFirst();
    }
    if (!positionals.isEmpty())
        return failure(QStringLiteral("Argument en trop pour « %1 » : « %2 »")
                           .arg(info->name, positionals.first()));
    return result;
}

QString helpText()
{
    return QStringLiteral(
        "platine-cli : régler, programmer et écouter la platine six relais sans écran.\n"
        "\n"
        "Usage : platine-cli COMMANDE [options]\n"
        "\n"
        "Commandes :\n"
        "  ports [--json]\n"
        "      liste les ports série : chemin, description, fabricant, numéro de série et\n"
        "      nom stable /dev/serial/by-id/… quand il existe.\n"
        "  heure [--port P] [--date \"AAAA-MM-JJ hh:mm:ss\"] [--attente S] [--settings F]\n"
        "        [--sans-journal]\n"
        "      envoie à la platine l'heure locale du PC (ou le moment donné), affiche la\n"
        "      trame envoyée, en hexadécimal et en clair, puis ce que la platine répond\n"
        "      pendant S secondes (2 par défaut, 0 pour ne pas attendre). Une heure, une\n"
        "      date ou une année hors de 2000 à 2099 impossibles sont refusées.\n"
        "  programmer FICHIER [--port P] [--settings FICHIER | --sans-parametres] [--strict]\n"
        "        [--sans-journal]\n"
        "      envoie le programme d'un fichier enregistré par « Enregistrer sous » et le\n"
        "      garde comme dernier programme envoyé dans param.ini, comme « Programmer ».\n"
        "      Un champ qui ne peut pas être envoyé est nommé et rien n'est envoyé. Les\n"
        "      remarques de la fenêtre (heure 25:00, 31/02…) et les valeurs du fichier que\n"
        "      la fenêtre ne peut pas montrer sont comptées et affichées ; avec --strict,\n"
        "      une remarque arrête tout avant l'envoi (code 1).\n"
        "  afficher FICHIER [--json]\n"
        "      affiche en clair le programme d'un fichier (ou de param.ini), relais par\n"
        "      relais.\n"
        "  afficher FICHIER --prochaines [--jours N] [--json | --ics]\n"
        "      les prochaines commutations des six relais à partir de maintenant, sur N\n"
        "      jours (14 par défaut, 366 au plus) : date, heure, relais, enclenchement ou\n"
        "      déclenchement, puis les remarques. --ics : un calendrier iCalendar, un\n"
        "      événement par plage, pour un agenda.\n"
        "  historique [--json] [--nombre N]\n"
        "      le journal des trames envoyées par la fenêtre et par platine-cli, la plus\n"
        "      récente d'abord : moment, port, heure ou programme, résultat, octets.\n"
        "  ecouter [--port P] [--duree S] [--json] [--settings FICHIER]\n"
        "      affiche chaque ligne envoyée par la platine et l'écart entre son horloge et\n"
        "      celle du PC ; s'arrête après S secondes (au plus 31622400, 366 jours), ou\n"
        "      avec Ctrl+C. Rien reçu pendant toute la durée : code 1.\n"
        "\n"
        "Options :\n"
        "  --port P          le port série : un numéro (3 = /dev/ttyS2), un nom (ttyUSB0)\n"
        "                    ou un chemin (/dev/serial/by-id/…). Par défaut, celui de\n"
        "                    param.ini, le port choisi dans la fenêtre.\n"
        "  --settings F      le fichier de paramètres à la place du param.ini de la fenêtre.\n"
        "  --date D          le moment envoyé, exactement AAAA-MM-JJ hh:mm:ss.\n"
        "  --attente S       les secondes d'écoute après l'envoi de l'heure (0 à 60).\n"
        "  --sans-parametres n'enregistre pas le programme envoyé dans param.ini.\n"
        "  --sans-journal    ne note pas l'envoi dans le journal des trames envoyées\n"
        "                    (heure, programmer ; sinon chaque envoi, refus ou échec y est\n"
        "                    noté avec ses octets).\n"
        "  --prochaines      afficher : les prochaines commutations plutôt que le programme.\n"
        "  --jours N         le nombre de jours des prochaines commutations (1 à 366).\n"
        "  --ics             les prochaines commutations en iCalendar (.ics).\n"
        "  --nombre N        historique : les N envois les plus récents seulement.\n"
        "  --json            une sortie JSON pour les scripts.\n"
        "  --help, --version\n"
        "\n"
        "Codes de sortie : 0 terminé, 1 échec (port, fichier, champ, écriture de la sortie),\n"
        "2 ligne de commande incorrecte.\n"
        "\n"
        "Journal des trames envoyées : $XDG_DATA_HOME/platine/journal.jsonl (par défaut\n"
        "~/.local/share/platine/journal.jsonl), les 1000 derniers envois.\n"
        "\n"
        "Exemple, le passage à l'heure d'été par cron (crontab -e) :\n"
        "  5 3 * 3,10 0 [ \"$(date +\\%d)\" -gt 24 ] && platine-cli heure\n");
}

}  // namespace platine::cli
