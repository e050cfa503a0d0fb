#include "link/clock_send.h"

namespace platine {

namespace {

ClockSendResult refused(ClockFieldError error, QString wording)
{
    ClockSendResult result;
    result.refusal = std::move(wording);
    result.fieldError = std::move(error);
    return result;
}

ClockSendResult sendEncoded(BoardLink &link, const ClockFrameResult &encoded)
{
    ClockSendResult result;
    result.frame = encoded.frame;
    result.moment = encoded.moment;
    result.link = link.send(encoded.frame);
    return result;
}

// The PC clock's moment as a frame, or why it cannot be one.
ClockFrameResult encodePcClock(const QDateTime &pcTime)
{
    return encodeClockFrame(clockFieldsFor(pcTime));
}

}  // namespace

QString ClockSendResult::message() const
{
    if (fieldError)
        return refusal;
    if (!link.ok())
        return link.reason;
    return clockSentMessage(moment);
}

ClockSendResult sendClockFields(BoardLink &link, const ClockFields &fields)
{
    const ClockFrameResult encoded = encodeClockFrame(fields);
    if (!encoded.ok())
        return refused(*encoded.error, encoded.error->message());
    return sendEncoded(link, encoded);
}

ClockSendResult sendPcClock(BoardLink &link, const std::function<QDateTime()> &now)
{
    const auto check = [&now](ClockFrameResult &encoded) -> std::optional<ClockSendResult> {
        const QDateTime pcTime = now();
        encoded = encodePcClock(pcTime);
        if (encoded.ok())
            return std::nullopt;
        return refused(*encoded.error, pcClockRefusal(pcTime, *encoded.error));
    };
    ClockFrameResult encoded;
    if (auto refusal = check(encoded))
        return *refusal;
    if (LinkResult opened = link.ensurePortOpen(); !opened) {
        ClockSendResult result;
        result.frame = encoded.frame;
        result.moment = encoded.moment;
        result.link = opened;
        return result;
    }
    if (auto refusal = check(encoded))
        return *refusal;
    return sendEncoded(link, encoded);
}

}  // namespace platine
