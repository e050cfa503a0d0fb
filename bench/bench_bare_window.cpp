// The floor the tool's start-up is measured against: a bare Qt Widgets program that opens one
// window holding a label, with the same start-up probe as the tool (PLATINE_STARTUP_PROBE=1).

#include "app/startup_probe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    platine::StartupProbe::installIfWanted(sinceStart);
    QLabel label(QStringLiteral("platine"));
    label.show();
    return QApplication::exec();
}
