#include "app/app_shell.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("platine"));
    QApplication::setApplicationVersion(QStringLiteral(PLATINE_VERSION));

    platine::AppShell shell;
    shell.start();
    return QApplication::exec();
}
