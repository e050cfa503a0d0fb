// The tool's command line: decided before the toolkit starts, so that help, the version and
// mistakes are answered on a machine without a display.
#include "app/startup_options.h"
#include "store/settings_location.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

using namespace platine;
using Outcome = StartupDecision::Outcome;

class StartupOptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void decisions_data();
    void decisions();
    void settingsPathIsMadeAbsolute();
    void toolkitOptionsWaitForTheToolkit();
    void helpSaysWhereThisCopyKeepsItsSettings();
    void answersWithoutADisplay_data();
    void answersWithoutADisplay();
    void refusesToStartWithoutADisplay();
    void secondCopyOnTheSameSettingsIsRefused();
};

void StartupOptionsTest::decisions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("printed");  // the start of what is printed, if anything
    QTest::addColumn<bool>("noSplash");

    const QString exe = QStringLiteral("platine");
    QTest::newRow("nothing") << QStringList{exe} << Outcome::Run << 0 << QString() << false;
    QTest::newRow("--no-splash") << QStringList{exe, QStringLiteral("--no-splash")} << Outcome::Run
                                 << 0 << QString() << true;
    QTest::newRow("--help") << QStringList{exe, QStringLiteral("--help")} << Outcome::Exit << 0
                            << QStringLiteral("platine : logiciel") << false;
    QTest::newRow("-h") << QStringList{exe, QStringLiteral("-h")} << Outcome::Exit << 0
                        << QStringLiteral("platine : logiciel") << false;
    QTest::newRow("--version") << QStringList{exe, QStringLiteral("--version")} << Outcome::Exit
                               << 0
                               << QStringLiteral("platine %1").arg(QStringLiteral(PLATINE_VERSION))
                               << false;
    QTest::newRow("unknown long option")
        << QStringList{exe, QStringLiteral("--bogus")} << Outcome::Exit << 2
        << QStringLiteral("Option inconnue : --bogus") << false;
    QTest::newRow("unknown short option") << QStringList{exe, QStringLiteral("-x")} << Outcome::Exit
                                          << 2 << QStringLiteral("Option inconnue : -x") << false;
    QTest::newRow("unknown beside a toolkit option")
        << QStringList{exe, QStringLiteral("-style"), QStringLiteral("fusion"),
                       QStringLiteral("--bogus")}
        << Outcome::Exit << 2 << QStringLiteral("Option inconnue : --bogus") << false;
    QTest::newRow("one program file") << QStringList{exe, QStringLiteral("fichier.txt")}
                                      << Outcome::Run << 0 << QString() << false;
    QTest::newRow("stray argument")
        << QStringList{exe, QStringLiteral("fichier.txt"), QStringLiteral("autre.txt")}
        << Outcome::Exit << 2 << QStringLiteral("Argument inattendu : autre.txt") << false;
    QTest::newRow("--settings without a value")
        << QStringList{exe, QStringLiteral("--settings")} << Outcome::Exit << 2
        << QStringLiteral("--settings demande le chemin") << false;
    QTest::newRow("--settings on a folder")
        << QStringList{exe, QStringLiteral("--settings"), QDir::tempPath()} << Outcome::Exit << 2
        << QStringLiteral("« %1 » est un dossier").arg(QDir::tempPath()) << false;
    QTest::newRow("--settings in a missing folder")
        << QStringList{exe, QStringLiteral("--settings=/nulle/part/param.ini")} << Outcome::Exit
        << 2 << QStringLiteral("Le dossier du fichier de paramètres") << false;
}

void StartupOptionsTest::decisions()
{
    QFETCH(QStringList, arguments);
    QFETCH(Outcome, outcome);
    QFETCH(int, exitCode);
    QFETCH(QString, printed);
    QFETCH(bool, noSplash);
    for (const bool toolkitHasRun : {false, true}) {
        const StartupDecision decision = decideStartup(arguments, toolkitHasRun);
        QCOMPARE(decision.outcome, outcome);
        QCOMPARE(static_cast<int>(decision.exitCode), exitCode);
        const QString shown = exitCode == 0 ? decision.output : decision.error;
        QVERIFY2(shown.startsWith(printed), qPrintable(shown));
        if (exitCode == 2)
            QVERIFY2(shown.endsWith(QStringLiteral("platine --help affiche l'aide.")),
                     qPrintable(shown));
        QCOMPARE(decision.options.noSplash, noSplash);
    }
}

void StartupOptionsTest::settingsPathIsMadeAbsolute()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir::setCurrent(dir.path()));
    const StartupDecision decision = decideStartup(
        {QStringLiteral("platine"), QStringLiteral("--settings"), QStringLiteral("essai.ini")},
        false);
    QCOMPARE(decision.outcome, Outcome::Run);
    QCOMPARE(decision.options.settingsPath, dir.filePath(QStringLiteral("essai.ini")));
    const StartupDecision withFile =
        decideStartup({QStringLiteral("platine"), QStringLiteral("serre.txt")}, false);
    QCOMPARE(withFile.options.programFile, dir.filePath(QStringLiteral("serre.txt")));
}

void StartupOptionsTest::toolkitOptionsWaitForTheToolkit()
{
    const QStringList arguments{QStringLiteral("platine"), QStringLiteral("-platform"),
                                QStringLiteral("offscreen"), QStringLiteral("--no-splash")};
    QCOMPARE(decideStartup(arguments, false).outcome, Outcome::Deferred);
    // Once the toolkit has run, what it left is ours, and a toolkit option still there is not.
    const StartupDecision after =
        decideStartup({QStringLiteral("platine"), QStringLiteral("--no-splash")}, true);
    QCOMPARE(after.outcome, Outcome::Run);
    QVERIFY(after.options.noSplash);
    QCOMPARE(decideStartup(arguments, true).exitCode, StartupExitCode::Usage);
}

// A copy in a folder of its own keeps param.ini beside it; one under /usr, in the user's
// configuration folder. The help tells which, and nothing of the source tree.
void StartupOptionsTest::helpSaysWhereThisCopyKeepsItsSettings()
{
    QTemporaryDir copy;
    QVERIFY(copy.isValid());
    QCOMPARE(programFolder({QStringLiteral("platine")}),
             QFileInfo(QCoreApplication::applicationFilePath()).absolutePath());
    const QString beside = startupHelpText(settingsFileLocation(copy.path()));
    QVERIFY2(beside.contains(copy.filePath(QStringLiteral("param.ini"))), qPrintable(beside));
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    QVERIFY(!config.isEmpty());
    const QString installed = startupHelpText(settingsFileLocation(QStringLiteral("/usr/bin")));
    QVERIFY2(installed.contains(config + QStringLiteral("/platine/param.ini")),
             qPrintable(installed));
    QVERIFY(!installed.contains(QStringLiteral("scripts/")));
    QVERIFY(installed.contains(QStringLiteral("platine-cli")));
}

// The built program, with no display at all: it must answer, not abort in the toolkit.
void StartupOptionsTest::answersWithoutADisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("printed");
    QTest::newRow("--bogus") << QStringList{QStringLiteral("--bogus")} << 2
                             << QByteArray("Option inconnue : --bogus");
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 0
                            << QByteArray("platine : logiciel");
    QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << 0
                               << QByteArray("platine " PLATINE_VERSION);
}

void StartupOptionsTest::answersWithoutADisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, printed);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(PLATINE_PROGRAM), arguments);
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    const QByteArray shown =
        exitCode == 0 ? process.readAllStandardOutput() : process.readAllStandardError();
    QVERIFY2(shown.startsWith(printed), shown.constData());
}

// Nothing in the environment at all: the program says in French that it has no display and how
// to get one, rather than letting the toolkit abort.
void StartupOptionsTest::refusesToStartWithoutADisplay()
{
    QProcess process;
    process.setProcessEnvironment(QProcessEnvironment());
    process.start(QStringLiteral(PLATINE_PROGRAM), {QStringLiteral("--no-splash")});
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 2);
    const QString shown = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(shown.startsWith(QStringLiteral("platine : aucun affichage graphique")),
             qPrintable(shown));
    QVERIFY2(shown.contains(QStringLiteral("ssh -X")), qPrintable(shown));
    QVERIFY2(shown.contains(QStringLiteral("xvfb-run platine")), qPrintable(shown));
    QVERIFY(process.readAllStandardOutput().isEmpty());
}

// The settings lock, taken while the toolkit starts: a second copy on the same settings file
// says so and ends; the first keeps running.
void StartupOptionsTest::secondCopyOnTheSameSettingsIsRefused()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString settings = folder.filePath(QStringLiteral("param.ini"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const QStringList arguments{QStringLiteral("--no-splash"), QStringLiteral("--settings"),
                                settings};
    QProcess first;
    first.setProcessEnvironment(environment);
    first.start(QStringLiteral(PLATINE_PROGRAM), arguments);
    QVERIFY(first.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(settings + QStringLiteral(".fenetre.lock")), 20000);

    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(QStringLiteral(PLATINE_PROGRAM), arguments);
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitCode(), 3);
    const QString shown = QString::fromUtf8(second.readAllStandardError());
    QVERIFY2(shown.contains(QStringLiteral("platine est déjà ouvert sur")), qPrintable(shown));
    QCOMPARE(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished();
}

QTEST_GUILESS_MAIN(StartupOptionsTest)
#include "test_startup_options.moc"
