#include "app/app_shell.h"

#include "app/splash_window.h"

namespace platine {

AppShell::AppShell(MainWindowOptions options, QObject *parent)
    : QObject(parent), options_(std::move(options))
{}

AppShell::~AppShell()
{
    delete splash_.data();
}

void AppShell::start()
{
    if (!splash_) {
        splash_ = new SplashWindow;
        connect(splash_, &SplashWindow::handOver, this, &AppShell::showMainWindow);
    }
    splash_->show();
}

void AppShell::showMainWindow()
{
    if (!mainWindow_) {
        mainWindow_ = std::make_unique<MainWindow>(options_);
        emit mainWindowLoaded(mainWindow_.get());
    }
    mainWindow_->show();
}

}  // namespace platine
