#pragma once

// What the board makes of the bytes the PC sends: the clock frame ("A" + 7 bytes) and the
// program frame ("B" + 124 bytes). Frames carry no length, checksum or terminator, so a stream
// of bytes is cut into frames by their command letter and their fixed size alone; whatever does
// not make a whole frame is reported, never guessed at.

#include "store/relay_program.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace platine::sim {

inline constexpr char kClockLetter = 'A';
inline constexpr char kProgramLetter = 'B';
inline constexpr int kClockFrameBytes = 8;
inline constexpr int kProgramFrameBytes = 125;

// One byte meant to hold two decimal digits, tens in the high nibble. A byte with a nibble
// above 9 is kept as it came and shown with its hexadecimal digits ("1A").
struct BcdByte
{
    quint8 raw = 0;

    bool isDecimal() const { return (raw >> 4) <= 9 && (raw & 0x0F) <= 9; }
    // 0..99, or -1 when a nibble is not a decimal digit.
    int value() const { return isDecimal() ? (raw >> 4) * 10 + (raw & 0x0F) : -1; }
    // The two hexadecimal digits, upper case: the two decimal digits the PC read for a BCD
    // byte ("08"), the raw nibbles otherwise ("1A").
    QString text() const;
};

// The clock frame's content.
struct ClockSetting
{
    BcdByte hours, minutes, seconds, day, month, year;
    quint8 weekDay = 0;  // 1 = Sunday .. 7 = Saturday; anything else names no day

    // The day's French name, or "" when weekDay is not 1..7.
    QString weekDayName() const;
    // The moment it names (year 2000 + the two digits, UTC), or nothing when a byte is not BCD
    // or the date or the time does not exist (31/02, 25:00, ...).
    std::optional<QDateTime> moment() const;
    // French descriptions of what is wrong: bytes that are not BCD, a date or time that does
    // not exist, an unknown day number, a day number that does not match the date.
    QStringList problems() const;
};

// Nothing unless the frame is exactly 8 bytes starting with "A".
std::optional<ClockSetting> decodeClockFrame(QByteArrayView frame);

struct BcdTime
{
    BcdByte hours, minutes;
    QString text() const;  // "08:30"
};

struct BcdDate
{
    BcdByte day, month, year;
    QString text() const;  // "24/12/07"
};

struct BcdMonthYear
{
    quint8 lead = 0;  // the byte that stands where a date's day would; the PC sends 0
    BcdByte month, year;
    QString text() const;  // "03/08"
};

// One relay's block of the program frame.
struct DecodedRelay
{
    int relay = 0;  // 1..6
    RelayKind kind = RelayKind::Weekly;
    // Début 1, Fin 1, Début 2, Fin 2, Début 3, Fin 3.
    std::array<BcdTime, kTimeSlotsPerRelay> times;
    // Dated relays: the date beside each time.
    std::array<BcdDate, kTimeSlotsPerRelay> dates;
    // Month relays: the "Mois - Année" value.
    BcdMonthYear monthYear;
    // Weekly and month relays: the day code (0 none, 1..7 a day, 8..10 a group); -1 for dated
    // relays, which carry none.
    int dayCode = -1;
    quint8 enableByte = 0;  // the PC sends 1 for "Relais Actif", 0 otherwise

    bool enabled() const { return enableByte == 1; }
    QStringList problems() const;
};

struct DecodedProgram
{
    std::array<DecodedRelay, kRelayCount> relays;

    QStringList problems() const;
};

// Nothing unless the frame is exactly 125 bytes starting with "B".
std::optional<DecodedProgram> decodeProgramFrame(QByteArrayView frame);

// The French name of a day code: "aucun", "Dimanche" .. "Samedi", "Samedi et Dimanche",
// "Lundi à Vendredi", "Tous les jours", or "code inconnu (n)".
QString dayCodeName(int dayCode);

// Cuts a stream of received bytes into frames. A frame is complete once its 8 or 125 bytes
// have arrived. Bytes that start with another letter are a run of junk, ended by the next "A"
// or "B" (or when it grows long); a frame still incomplete when the line goes quiet is junk
// too. Junk is reported, with its bytes, and dropped.
class FrameStream
{
public:
    enum class Kind { Clock, Program, Ignored };
    enum class IgnoredReason {
        UnknownStart,  // the bytes do not start with "A" or "B"
        Incomplete,    // a frame started but the line went quiet before its end
    };

    struct Event
    {
        Kind kind = Kind::Ignored;
        QByteArray bytes;  // the whole frame, or the bytes dropped
        IgnoredReason reason = IgnoredReason::UnknownStart;  // Ignored only
    };

    // A junk run is reported once it holds this many bytes, so that a long stream of junk
    // shows up as it comes.
    static constexpr qsizetype kMaxJunkRun = 64;

    // Bytes as they arrive (any split); returns the frames and junk runs they complete.
    QList<Event> feed(QByteArrayView bytes);
    // The line has been quiet: what is still pending is reported as junk.
    QList<Event> flush();
    bool hasPending() const { return !pending_.isEmpty(); }
    qsizetype pendingSize() const { return pending_.size(); }

private:
    QByteArray pending_;  // a frame begun, or a junk run
};

// "41 12 30": the bytes in hexadecimal, at most `limit` of them followed by " …".
QString hexBytes(QByteArrayView bytes, qsizetype limit = -1);

}  // namespace platine::sim
