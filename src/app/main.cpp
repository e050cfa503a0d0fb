#include "app/app_info.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Platine programmable autonome"));
    window.setWindowTitle(platine::mainWindowCaption());
    window.setAlignment(Qt::AlignCenter);
    window.resize(895, 607);
    window.show();
    return app.exec();
}
