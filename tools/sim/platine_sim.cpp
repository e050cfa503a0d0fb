// platine-sim: a stand-in for the six-relay board, for users without one and for tests. It
// shows its clock like a board in "Affichage heure" mode and decodes the frames the tool sends.

#include "sim/simulated_board.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

using namespace platine::sim;

namespace {

QString helpText()
{
    return QStringLiteral(
        "platine-sim : simulateur de la platine à six relais, pour essayer le logiciel sans "
        "platine.\n"
        "\n"
        "Usage : platine-sim [options]\n"
        "\n"
        "Sans --device, le simulateur crée un pseudo-terminal et affiche tout de suite, sur une\n"
        "ligne à part, le chemin à indiquer dans « Paramètrage » / « Port COM » du logiciel,\n"
        "par exemple :\n"
        "  Port : /dev/pts/5\n"
        "\n"
        "Il se comporte comme une platine en mode « Affichage heure » : à chaque seconde, tant\n"
        "que le logiciel a ouvert le port, il envoie l'heure de son horloge, par exemple\n"
        "« Vendredi 23/11/2007 14:37:52 » (30 caractères avec le retour à la ligne, plus que les\n"
        "26 que le logiciel attend avant de lire). Son horloge part de l'heure du PC, ou de\n"
        "--clock, et avance seule ; le jour de la semaine est celui qu'on lui a donné et change\n"
        "à minuit.\n"
        "\n"
        "Il décode chaque trame reçue et l'affiche :\n"
        "  « A » + 7 octets    mise à l'heure : heures, minutes, secondes, jour, mois, année\n"
        "                      (deux chiffres, en BCD), puis le numéro du jour (1 = Dimanche ..\n"
        "                      7 = Samedi). L'horloge prend la nouvelle valeur, sauf si la\n"
        "                      date ou l'heure n'existe pas.\n"
        "  « B » + 124 octets  programme des six relais : affiché en tableau, relais par relais\n"
        "                      (plages Début/Fin hh:mm, jours, dates jj/mm/aa, mois mm/aa,\n"
        "                      actif ou inactif). La platine répond « Programme reçu : 6 relais "
        "».\n"
        "Les trames n'ont ni longueur, ni somme de contrôle, ni fin : une trame est complète\n"
        "quand ses 8 ou 125 octets sont arrivés. Des octets qui commencent par une autre lettre,\n"
        "ou une trame incomplète suivie de 500 ms de silence, sont signalés puis oubliés, par\n"
        "exemple « octets ignorés : 3 (41 12 30) ». Un octet BCD dont un chiffre dépasse 9, une\n"
        "date ou une heure qui n'existe pas sont signalés tels quels, jamais corrigés.\n"
        "\n"
        "Options :\n"
        "  --device <chemin>  utilise un vrai port série (par exemple /dev/ttyUSB0), réglé à\n"
        "                     9600 bauds, 8 bits de données, sans parité, 1 bit d'arrêt, au\n"
        "                     lieu d'un pseudo-terminal\n"
        "  --clock <date>     heure de départ de l'horloge, sous la forme AAAA-MM-JJTHH:MM:SS\n"
        "                     (par exemple 2010-01-01T00:00:00) ; par défaut l'heure du PC\n"
        "  --json             pour les scripts : un objet JSON par ligne sur la sortie standard,\n"
        "                     au lieu du texte. D'abord {\"event\": \"port\", \"device\": ...},\n"
        "                     puis un objet par événement : \"clock\" et \"program\" (trames\n"
        "                     décodées), \"ignored\" (octets ignorés), \"connection\" (le "
        "logiciel\n"
        "                     ouvre ou ferme le port), \"sent\" (avec --verbose)\n"
        "  --quiet            n'affiche que le port et les trames reçues\n"
        "  --verbose          affiche aussi chaque ligne envoyée au logiciel\n"
        "  --once             s'arrête après la première trame décodée (« A » ou « B »)\n"
        "  -h, --help         affiche cette aide\n"
        "  -v, --version      affiche la version\n"
        "\n"
        "Ctrl+C arrête le simulateur.\n"
        "Codes de sortie : 0 arrêt normal, 1 port impossible à ouvrir ou perdu, 2 ligne de\n"
        "commande incorrecte.");
}

// Reads --clock: "2010-01-01T00:00:00" (a blank may stand for the "T").
std::optional<QDateTime> parseClock(QString text)
{
    text = text.trimmed();
    if (text.size() > 10 && text.at(10) == QLatin1Char(' '))
        text[10] = QLatin1Char('T');
    const QDateTime moment = QDateTime::fromString(text, Qt::ISODate);
    if (!moment.isValid())
        return std::nullopt;
    return moment;
}

// Ctrl+C and SIGTERM end the event loop normally, through a pipe the loop watches.
int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(signalPipe[1], &byte, 1);
}

bool watchStopSignals(QObject *parent)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction action
    {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [] {
        char byte = 0;
        while (::read(signalPipe[0], &byte, 1) > 0) {
        }
        QCoreApplication::exit(ExitOk);
    });
    return true;
}

// Parses the command line; on --help, --version or an error it prints and gives the exit code.
std::optional<int> parseOptions(const QStringList &arguments, SimulatorOptions &options)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, QString());
    const QCommandLineOption device(QStringLiteral("device"), QString(), QStringLiteral("path"));
    const QCommandLineOption clock(QStringLiteral("clock"), QString(), QStringLiteral("moment"));
    const QCommandLineOption json(QStringLiteral("json"), QString());
    const QCommandLineOption quiet(QStringLiteral("quiet"), QString());
    const QCommandLineOption verbose(QStringLiteral("verbose"), QString());
    const QCommandLineOption once(QStringLiteral("once"), QString());
    parser.addOptions({help, version, device, clock, json, quiet, verbose, once});

    const auto usageError = [](const QString &message) {
        writeOut(stderr, message + QStringLiteral("\nplatine-sim --help affiche l'aide."));
        return std::optional<int>(ExitUsage);
    };
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().first();
            const QString dashes = name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--");
            return usageError(QStringLiteral("Option inconnue : %1%2").arg(dashes, name));
        }
        return usageError(
            QStringLiteral("Ligne de commande incorrecte (%1).").arg(parser.errorText()));
    }
    if (parser.isSet(help)) {
        writeOut(stdout, helpText());
        return ExitOk;
    }
    if (parser.isSet(version)) {
        writeOut(stdout,
                 QStringLiteral("platine-sim %1").arg(QCoreApplication::applicationVersion()));
        return ExitOk;
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError(
            QStringLiteral("Argument inattendu : %1").arg(parser.positionalArguments().first()));
    }
    if (parser.isSet(device)) {
        options.device = parser.value(device);
        if (options.device.isEmpty())
            return usageError(QStringLiteral("--device demande le chemin d'un port série."));
    }
    if (parser.isSet(clock)) {
        options.clock = parseClock(parser.value(clock));
        if (!options.clock) {
            return usageError(QStringLiteral("Heure de départ « %1 » illisible : donnez-la sous "
                                             "la forme AAAA-MM-JJTHH:MM:SS, par exemple "
                                             "2010-01-01T00:00:00.")
                                  .arg(parser.value(clock)));
        }
    }
    options.json = parser.isSet(json);
    options.quiet = parser.isSet(quiet);
    options.verbose = parser.isSet(verbose);
    options.once = parser.isSet(once);
    return std::nullopt;
}

}  // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("platine-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PLATINE_VERSION));
    std::signal(SIGPIPE, SIG_IGN);

    SimulatorOptions options;
    if (const std::optional<int> code = parseOptions(QCoreApplication::arguments(), options))
        return *code;

    watchStopSignals(&app);
    SimulatedBoard simulator(std::move(options));
    if (!simulator.start())
        return ExitLineFailure;
    return QCoreApplication::exec();
}
