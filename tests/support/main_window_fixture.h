#pragma once

// Main windows as the window tests start them: the settings file in a scratch folder, the PC
// clock under the test's control, the window on screen before the test drives it through its
// menus and keys. For the tests of the application shell only (they link platine_app).

#include "support/fake_clock.h"

#include "app/main_window.h"

#include <QAction>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <memory>

namespace platine::test {

// The settings file of the windows a test makes in folder.
inline QString settingsPathIn(const QTemporaryDir &folder)
{
    return folder.filePath(QStringLiteral("param.ini"));
}

// A window on settingsPathIn(folder), its journal of frames sent in folder too, reading the
// time from clock (the system's when null).
inline MainWindowOptions windowOptions(const QTemporaryDir &folder,
                                       const FakeClock *clock = nullptr)
{
    MainWindowOptions options;
    options.settingsPath = settingsPathIn(folder);
    options.journalPath = folder.filePath(QStringLiteral("journal.jsonl"));
    if (clock)
        options.clock = clock->function();
    return options;
}

// Shows window and waits until it is on screen; with activate, also until it has the keyboard
// focus, which typing needs. False when it never got there.
[[nodiscard]] inline bool showAndWait(QWidget &window, bool activate = false)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    if (!activate)
        return true;
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// A main window made on options, shown and on screen; null when it never got on screen.
inline std::unique_ptr<MainWindow> shownMainWindow(const MainWindowOptions &options)
{
    auto window = std::make_unique<MainWindow>(options);
    if (!showAndWait(*window))
        return nullptr;
    return window;
}

// Builds the four work panels, hidden, as their first use would: for tests that look their
// controls up by name.
inline void buildEveryPanel(MainWindow &window)
{
    window.programPanel();
    window.clockPanel();
    window.clockDisplayPanel();
    window.switchPanel();
}

// Triggers the menu entry whose action has that object name, as the user choosing it. False
// when the window has no such action.
[[nodiscard]] inline bool chooseAction(const QWidget &window, const QString &name)
{
    auto *action = window.findChild<QAction *>(name);
    if (!action)
        return false;
    action->trigger();
    return true;
}

// Types text key by key; characters beyond ASCII (é, à, €) come as the keyboard gives them: a
// key event carrying the character.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, static_cast<char>(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

}  // namespace platine::test
