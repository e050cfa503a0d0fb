#pragma once

#include "app/main_window.h"
#include "app/splash_window.h"

#include <QObject>
#include <QPointer>

#include <memory>

namespace platine {

// The start-up sequence: the splash window Form2 first; its click closes it and shows the main
// window Form1, which is created (and so loaded) at that moment. Owns the main window.
class AppShell : public QObject
{
    Q_OBJECT

public:
    explicit AppShell(MainWindowOptions options = {}, QObject *parent = nullptr);
    ~AppShell() override;

    // Shows the splash window.
    void start();

    // The splash while it is shown; null once it has been closed.
    SplashWindow *splash() const { return splash_; }
    // The main window once loaded; null before.
    MainWindow *mainWindow() const { return mainWindow_.get(); }

    // Loads the main window if it is not loaded yet, then shows it.
    void showMainWindow();

signals:
    // The main window has just been loaded (its load step has run).
    void mainWindowLoaded(platine::MainWindow *window);

private:
    MainWindowOptions options_;
    QPointer<SplashWindow> splash_;
    std::unique_ptr<MainWindow> mainWindow_;
};

}  // namespace platine
