#pragma once

#include "link/board_link.h"
#include "link/clock_frame.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <optional>

namespace platine {

// What setting the board's clock came to: refused before the port was touched (a field that
// makes no moment, or a PC clock outside the board's century), or a frame that went out or did
// not.
struct ClockSendResult
{
    std::optional<ClockFieldError> fieldError;  // the refusal, when nothing was built
    QString refusal;                            // its French wording, without advice
    QByteArray frame;                           // the frame built, once built
    QDateTime moment;                           // the moment it carries (plain values)
    LinkResult link;                            // the port's answer, once a frame was built

    bool sent() const { return !fieldError && !frame.isEmpty() && link.ok(); }
    // What the user is told: the refusal, the port's reason, or "Heure envoyée à la platine…".
    QString message() const;
};

// A moment given as fields (typed in the window, --date on the command line): refused before
// the port is touched when it is not a moment the board can take; else sent by the link's
// sending rule.
ClockSendResult sendClockFields(BoardLink &link, const ClockFields &fields);

// The PC clock: read and checked before the port is touched, read again once the port is open,
// so that the frame carries the time it leaves at, however long the opening took.
ClockSendResult sendPcClock(BoardLink &link, const std::function<QDateTime()> &now);

}  // namespace platine
