#pragma once

#include <QElapsedTimer>
#include <QObject>

namespace platine {

// Start-up measurement, off unless the environment asks for it (PLATINE_STARTUP_PROBE=1). Once
// installed on the application, it writes on standard error, counted from `sinceStart`:
//   "startup-ms: <n>"  when a window of the program is first exposed (mapped on the screen);
//   "painted-ms: <n>"  once that window's first frame has been painted and handed over;
// and then ends the program. The window's first paint events are sent while its exposure is
// handled; a zero timer started from the first of them runs once that handling, the flush of
// the frame included, is over.
class StartupProbe : public QObject
{
public:
    explicit StartupProbe(const QElapsedTimer &sinceStart, QObject *parent = nullptr);

    // Installs a probe on the application when the environment asks for one.
    static void installIfWanted(const QElapsedTimer &sinceStart);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QElapsedTimer sinceStart_;
    bool exposed_ = false;
    bool painting_ = false;
};

}  // namespace platine
