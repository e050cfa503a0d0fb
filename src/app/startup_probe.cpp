#include "app/startup_probe.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace platine {

namespace {

void writeTime(const char *what, const QElapsedTimer &sinceStart)
{
    std::fprintf(stderr, "%s: %lld\n", what, static_cast<long long>(sinceStart.elapsed()));
    std::fflush(stderr);
}

}  // namespace

StartupProbe::StartupProbe(const QElapsedTimer &sinceStart, QObject *parent)
    : QObject(parent), sinceStart_(sinceStart)
{}

void StartupProbe::installIfWanted(const QElapsedTimer &sinceStart)
{
    if (qEnvironmentVariable("PLATINE_STARTUP_PROBE") != QLatin1String("1"))
        return;
    QCoreApplication *application = QCoreApplication::instance();
    application->installEventFilter(new StartupProbe(sinceStart, application));
}

bool StartupProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (!exposed_ && event->type() == QEvent::Expose) {
        const auto *window = qobject_cast<QWindow *>(watched);
        if (window && window->isExposed()) {
            exposed_ = true;
            writeTime("startup-ms", sinceStart_);
        }
    } else if (exposed_ && !painting_ && event->type() == QEvent::Paint) {
        painting_ = true;
        // Runs once the paint under way and the frame's flush are over.
        QTimer::singleShot(0, this, [this] {
            writeTime("painted-ms", sinceStart_);
            QCoreApplication::exit(0);
        });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace platine
