#pragma once

#include "link/clock_send.h"
#include "relays/upload.h"
#include "store/journal.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace platine {

class BoardLink;

// The journal's one rule, for the window and platine-cli alike: every frame sent, refused or
// failed goes in, with its bytes once a frame was built.

// The port a frame went to: the device the port text stands for, else the text as typed.
QString journalPortOf(const BoardLink &link);

// Setting the board's clock: refused (no frame; refusal, when given, replaces the result's own
// wording), failed on the port, or sent.
JournalEntry clockSendJournalEntry(const ClockSendResult &result, const QString &port,
                                   const QString &refusal = {});

// "Programmer": refused on a field that cannot be encoded (no frame), sent, or failed on the
// port with the result's message. file is the program file shown, remarks the remarks counted.
JournalEntry uploadJournalEntry(const UploadResult &result, const QString &port,
                                const QString &file, int remarks);

// A frame sent as it stands (a resend from the history): sent, or failed with the link's reason.
JournalEntry frameSendJournalEntry(JournalKind kind, const QByteArray &frame,
                                   const LinkResult &link, const QString &port, const QString &file,
                                   int remarks);

// What the board should hold: the newest program entry that went out (entries newest first).
std::optional<JournalEntry> newestSentProgram(const QList<JournalEntry> &entries);

}  // namespace platine
