#pragma once

// Checks on the timers of the code under test that hold however slow the machine is: they read
// a timer's state and measure the time that passed, instead of sleeping for part of its
// interval and hoping it has not fired yet.

#include <QElapsedTimer>
#include <QString>
#include <QTest>
#include <QTimer>

namespace platine::test {

// Waits until the running timer has run for a moment, then runs action and tells whether the
// action started the timer again from its full interval rather than leaving it running. The
// verdict is measured against the time that passed meanwhile, so a stall of the machine at any
// point cannot make one case look like the other. The timer must be a precise one: a coarse
// timer may fire up to 5% of its interval early or late, and two starts a moment apart may
// then end at the same instant. Give it an interval of some seconds, so that it cannot fire
// while the test looks. *detail tells the times measured.
template <typename Action>
[[nodiscard]] bool restartsTimer(const QTimer &timer, Action action, QString *detail)
{
    constexpr int kRunMs = 100;
    if (timer.timerType() != Qt::PreciseTimer) {
        *detail = QStringLiteral("the timer is not a precise one");
        return false;
    }
    (void)QTest::qWaitFor(
        [&] { return !timer.isActive() || timer.remainingTime() < timer.interval() - kRunMs; });
    if (!timer.isActive() || timer.remainingTime() >= timer.interval() - kRunMs) {
        *detail = QStringLiteral("the timer was not running, or did not run down");
        return false;
    }
    const int before = timer.remainingTime();
    QElapsedTimer clock;
    clock.start();
    action();
    const int after = timer.remainingTime();
    const qint64 elapsed = clock.elapsed();
    *detail =
        QStringLiteral("%1 ms to go before, %2 ms after, %3 ms later, of an interval of %4 ms")
            .arg(before)
            .arg(after)
            .arg(elapsed)
            .arg(timer.interval());
    // Left running, the timer has `before - elapsed` to go: at most interval - kRunMs - elapsed.
    // Started again during the action, at least interval - elapsed.
    return timer.isActive() && after + elapsed > timer.interval() - kRunMs / 2;
}

}  // namespace platine::test
