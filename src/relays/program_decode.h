#pragma once

#include "store/relay_program.h"

#include <QByteArray>

#include <optional>

namespace platine {

// The program a program frame ("B" + 124 bytes) carries, in the editor's text forms: times
// hh:mm:00 (the seconds are never sent), dates dd/mm/20yy and month-years mm/20yy (the board
// knows the year within the century only), day choices the day code less one, boxes ticked or
// clear. Encoding the result gives the same frame back. Nothing when the bytes are not such a
// frame: another size or letter, a byte with a nibble above 9 where digits go, a day code above
// 10, an enable byte other than 0 or 1, or a month-year whose first byte is not 0.
std::optional<RelayProgram> programFromFrame(const QByteArray &frame);

}  // namespace platine
