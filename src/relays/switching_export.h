#pragma once

#include "relays/coming_switchings.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>

namespace platine {

// The coming switchings in words, one per line, then the remarks (for a terminal or a print):
//   "mer. 09/12/2026  19:00  Relais N°1  enclenchement (plage 1)"
QString switchingsText(const ComingSwitchings &coming);

// The same for scripts: from, to, switchings (date, time, relay, window, action "on"/"off",
// flagged) and remarks.
QJsonObject switchingsJson(const ComingSwitchings &coming);

// A table for a spreadsheet set to French: UTF-8 with a byte order mark (which spreadsheets
// take as the sign of UTF-8), ';' between the fields, CRLF lines, headers "Date;Heure;Relais;
// Plage;Commutation;Remarques", dates dd/mm/yyyy and times hh:mm.
QByteArray switchingsCsv(const ComingSwitchings &coming);

// An iCalendar file (RFC 5545) with one event per switching window, from its switch-on to its
// switch-off. Times are floating local times, with no time zone: the board's clock follows the
// PC's local time and knows no time zone, so a calendar shows them at the hour the board
// switches. Each window keeps its UID from one export to the next (relay, window, switch-on),
// so that an import updates rather than doubles it. stamp is the DTSTAMP (UTC).
QByteArray switchingsICalendar(const ComingSwitchings &coming,
                               const QDateTime &stamp = QDateTime::currentDateTimeUtc());

// "enclenchement" or "déclenchement".
QString switchingActionCaption(bool on);

}  // namespace platine
