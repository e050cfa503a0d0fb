#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

namespace platine {

// Whether the toolkit will find a display to open its windows on, decided before it starts:
// without one, Qt aborts with its own English message. On X11 and Wayland systems a display is
// named by DISPLAY (X11) or WAYLAND_DISPLAY (Wayland); the platform chosen with
// QT_QPA_PLATFORM or "-platform" (which wins) may need neither (offscreen, vnc, eglfs...).
// Returns the French message to print when there is no display, nothing otherwise.
// `arguments` are the program's arguments, its name first. The advice names the command to run
// again: PLATINE_LAUNCHER when the environment sets it (scripts/run.sh does), else platine.
std::optional<QString> missingDisplayMessage(const QProcessEnvironment &environment,
                                             const QStringList &arguments);

}  // namespace platine
