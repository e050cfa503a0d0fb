#include "relays/send_journal.h"

#include "link/board_link.h"

namespace platine {

QString journalPortOf(const BoardLink &link)
{
    const QString device = link.device();
    return device.isEmpty() ? link.port() : device;
}

JournalEntry clockSendJournalEntry(const ClockSendResult &result, const QString &port,
                                   const QString &refusal)
{
    if (result.fieldError)
        return makeJournalEntry(JournalKind::Clock, port, {}, {}, 0, JournalResult::Refused,
                                refusal.isEmpty() ? result.message() : refusal);
    if (!result.link)
        return makeJournalEntry(JournalKind::Clock, port, result.frame, {}, 0,
                                JournalResult::Failed, result.link.reason);
    return makeJournalEntry(JournalKind::Clock, port, result.frame, {}, 0, JournalResult::Sent);
}

JournalEntry uploadJournalEntry(const UploadResult &result, const QString &port,
                                const QString &file, int remarks)
{
    if (result.fieldError)
        return makeJournalEntry(JournalKind::Program, port, {}, file, remarks,
                                JournalResult::Refused, result.message);
    return makeJournalEntry(JournalKind::Program, port, result.frame, file, remarks,
                            result.sent ? JournalResult::Sent : JournalResult::Failed,
                            result.sent ? QString() : result.message);
}

JournalEntry frameSendJournalEntry(JournalKind kind, const QByteArray &frame,
                                   const LinkResult &link, const QString &port, const QString &file,
                                   int remarks)
{
    return makeJournalEntry(kind, port, frame, file, remarks,
                            link ? JournalResult::Sent : JournalResult::Failed, link.reason);
}

std::optional<JournalEntry> newestSentProgram(const QList<JournalEntry> &entries)
{
    for (const JournalEntry &entry : entries)
        if (entry.kind == JournalKind::Program && entry.result == JournalResult::Sent &&
            !entry.frame.isEmpty())
            return entry;
    return std::nullopt;
}

}  // namespace platine
