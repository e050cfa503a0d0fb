#include "app/app_shell.h"
#include "app/display_check.h"
#include "app/settings_lock.h"
#include "app/startup_options.h"
#include "app/startup_preload.h"
#include "app/startup_probe.h"
#include "app/translations.h"
#include "store/settings_location.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <QThread>

#include <cstdio>
#include <future>
#include <memory>
#include <optional>

namespace {

void writeOut(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

// Prints what the decision says and gives its exit code.
int finish(const platine::StartupDecision &decision)
{
    if (!decision.output.isEmpty())
        writeOut(stdout, decision.output);
    if (!decision.error.isEmpty())
        writeOut(stderr, decision.error);
    return static_cast<int>(decision.exitCode);
}

}  // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();

    // Read before the toolkit starts, so that help, version and mistakes are answered without
    // a display.
    using Outcome = platine::StartupDecision::Outcome;
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments.append(QString::fromLocal8Bit(argv[i]));
    platine::StartupDecision decision = platine::decideStartup(rawArguments, false);
    if (decision.outcome == Outcome::Exit)
        return finish(decision);

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // Without a display the toolkit would abort with its own English message.
    if (const std::optional<QString> message = platine::missingDisplayMessage(
            QProcessEnvironment::systemEnvironment(), rawArguments)) {
        writeOut(stderr, *message);
        return static_cast<int>(platine::StartupExitCode::NoDisplay);
    }
#endif
    // Asked by scripts/run.sh before it builds: the display is there, nothing more is done.
    if (qEnvironmentVariable("PLATINE_DISPLAY_CHECK") == QLatin1String("1"))
        return 0;

    // The toolkit takes the first thread that touches it for its main thread: this one must be
    // first, before the threads below.
    QThread::currentThread();
    platine::StartupPreload preload;

    // Named before the toolkit starts: the settings lock below records the name.
    QApplication::setApplicationName(QStringLiteral("platine"));
    QGuiApplication::setDesktopFileName(QStringLiteral("platine"));
    QApplication::setApplicationVersion(QStringLiteral(PLATINE_VERSION));

    // One copy of the tool per settings file: a second would overwrite what the first stores.
    // The lock is taken while the toolkit starts, when the settings file is known by then:
    // making the lock file waits for the disk, a wait hidden behind the toolkit's own start-up.
    std::future<std::unique_ptr<platine::SettingsLock>> earlyLock;
    QString earlyLockPath;
    if (decision.outcome == Outcome::Run) {
        earlyLockPath = decision.options.settingsPath;
#ifdef Q_OS_LINUX
        // The program's own folder, as the toolkit will give it (/proc/self/exe).
        if (earlyLockPath.isEmpty())
            earlyLockPath = platine::settingsFilePath(platine::programFolder(rawArguments));
#endif
    }
    if (!earlyLockPath.isEmpty()) {
        earlyLock = std::async(std::launch::async, [path = earlyLockPath] {
            return std::make_unique<platine::SettingsLock>(path);
        });
    }

    platine::useFrenchLocale();
    QApplication app(argc, argv);
    const bool splash = decision.outcome == Outcome::Run && !decision.options.noSplash;
    preload.toolkitStarted(splash ? (app.devicePixelRatio() > 1.0 ? 2 : 1) : 0);
    const auto finishPreload = qScopeGuard([&preload] { preload.finish(); });
    platine::keepCNumbers();
    // Qt's standard dialogs and buttons in French; without the file they stay in English.
    platine::installFrenchTranslations(app);

    if (decision.outcome == Outcome::Deferred) {
        // The toolkit's own options have been taken out of the arguments by now.
        decision = platine::decideStartup(QCoreApplication::arguments(), true);
        if (decision.outcome == Outcome::Exit)
            return finish(decision);
    }
    const platine::StartupOptions &options = decision.options;

    platine::StartupProbe::installIfWanted(sinceStart);

    const QString lockPath =
        options.settingsPath.isEmpty() ? platine::defaultSettingsPath() : options.settingsPath;
    std::unique_ptr<platine::SettingsLock> lock = earlyLock.valid() ? earlyLock.get() : nullptr;
    if (!lock || lockPath != earlyLockPath) {
        lock.reset();
        lock = std::make_unique<platine::SettingsLock>(lockPath);
    }
    if (const std::optional<QString> message = lock->heldElsewhere()) {
        writeOut(stderr, *message);
        return static_cast<int>(platine::StartupExitCode::AlreadyOpen);
    }

    platine::MainWindowOptions windowOptions;
    windowOptions.settingsPath = options.settingsPath;
    windowOptions.programFile = options.programFile;
    windowOptions.peer = qEnvironmentVariable("PLATINE_PEER");
    platine::AppShell shell(windowOptions);
    if (options.noSplash)
        shell.showMainWindow();
    else
        shell.start();
    return QApplication::exec();
}
