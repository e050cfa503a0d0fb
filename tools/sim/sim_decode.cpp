#include "sim/sim_decode.h"

#include "link/days.h"

#include <QDate>
#include <QTime>

namespace platine::sim {

namespace {

QString hexByte(quint8 byte)
{
    return QStringLiteral("%1").arg(static_cast<int>(byte), 2, 16, QLatin1Char('0')).toUpper();
}

BcdByte bcdAt(QByteArrayView frame, qsizetype offset)
{
    return BcdByte{static_cast<quint8>(frame[offset])};
}

// "heures : l'octet 0x1A n'est pas un nombre BCD"
void checkBcd(QStringList &problems, const QString &where, const BcdByte &byte)
{
    if (!byte.isDecimal()) {
        problems << QStringLiteral("%1 : l'octet 0x%2 n'est pas un nombre BCD (chiffre "
                                   "hexadécimal au-dessus de 9)")
                        .arg(where, hexByte(byte.raw));
    }
}

std::optional<QDate> dateOf(const BcdByte &day, const BcdByte &month, const BcdByte &year)
{
    if (!day.isDecimal() || !month.isDecimal() || !year.isDecimal())
        return std::nullopt;
    const QDate date(2000 + year.value(), month.value(), day.value());
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

// Where each relay's block starts in the program frame ("B" at offset 0): weekly relays take
// 14 bytes (12 time bytes, day code, enable), dated relays 31 (12 time bytes, 18 date bytes,
// enable), month relays 17 (12 time bytes, day code, 0, month, year, enable).
struct Block
{
    int relay;
    RelayKind kind;
    qsizetype start;
};

constexpr std::array<Block, kRelayCount> kBlocks = {{
    {1, RelayKind::Weekly, 1},
    {2, RelayKind::Weekly, 15},
    {3, RelayKind::Dated, 29},
    {4, RelayKind::Dated, 60},
    {5, RelayKind::Month, 91},
    {6, RelayKind::Month, 108},
}};

}  // namespace

QString BcdByte::text() const
{
    return hexByte(raw);
}

QString ClockSetting::weekDayName() const
{
    if (weekDay < 1 || weekDay > 7)
        return {};
    return weekDayNames().at(weekDay - 1);
}

std::optional<QDateTime> ClockSetting::moment() const
{
    const std::optional<QDate> date = dateOf(day, month, year);
    if (!date || !hours.isDecimal() || !minutes.isDecimal() || !seconds.isDecimal())
        return std::nullopt;
    const QTime time(hours.value(), minutes.value(), seconds.value());
    if (!time.isValid())
        return std::nullopt;
    return QDateTime(*date, time, Qt::UTC);
}

QStringList ClockSetting::problems() const
{
    QStringList result;
    checkBcd(result, QStringLiteral("heures"), hours);
    checkBcd(result, QStringLiteral("minutes"), minutes);
    checkBcd(result, QStringLiteral("secondes"), seconds);
    checkBcd(result, QStringLiteral("jour"), day);
    checkBcd(result, QStringLiteral("mois"), month);
    checkBcd(result, QStringLiteral("année"), year);
    const std::optional<QDateTime> when = moment();
    if (result.isEmpty() && !when) {
        result << QStringLiteral("la date ou l'heure %1/%2/%3 %4:%5:%6 n'existe pas")
                      .arg(day.text(), month.text(), year.text(), hours.text(), minutes.text(),
                           seconds.text());
    }
    if (weekDay < 1 || weekDay > 7) {
        result << QStringLiteral("numéro de jour %1 : aucun jour de la semaine (1 = Dimanche .. "
                                 "7 = Samedi ; le logiciel envoie 0 quand le nom du jour n'est "
                                 "pas reconnu)")
                      .arg(static_cast<int>(weekDay));
    } else if (when) {
        const int actual = sundayFirstIndex(when->date().dayOfWeek()) + 1;
        if (actual != weekDay) {
            result << QStringLiteral("le jour n° %1 (%2) ne correspond pas à la date, qui est "
                                     "un %3")
                          .arg(static_cast<int>(weekDay))
                          .arg(weekDayName(), weekDayNames().at(actual - 1));
        }
    }
    return result;
}

std::optional<ClockSetting> decodeClockFrame(QByteArrayView frame)
{
    if (frame.size() != kClockFrameBytes || frame[0] != kClockLetter)
        return std::nullopt;
    ClockSetting setting;
    setting.hours = bcdAt(frame, 1);
    setting.minutes = bcdAt(frame, 2);
    setting.seconds = bcdAt(frame, 3);
    setting.day = bcdAt(frame, 4);
    setting.month = bcdAt(frame, 5);
    setting.year = bcdAt(frame, 6);
    setting.weekDay = static_cast<quint8>(frame[7]);
    return setting;
}

QString BcdTime::text() const
{
    return hours.text() + QLatin1Char(':') + minutes.text();
}

QString BcdDate::text() const
{
    return day.text() + QLatin1Char('/') + month.text() + QLatin1Char('/') + year.text();
}

QString BcdMonthYear::text() const
{
    return month.text() + QLatin1Char('/') + year.text();
}

QStringList DecodedRelay::problems() const
{
    QStringList result;
    const QString relayName = relayCaption(relay);
    for (int row = 0; row < kTimeSlotsPerRelay; ++row) {
        const BcdTime &time = times[static_cast<size_t>(row)];
        const QString where = QStringLiteral("%1, %2").arg(relayName, rowCaption(row));
        const qsizetype before = result.size();
        checkBcd(result, where + QStringLiteral(", heures"), time.hours);
        checkBcd(result, where + QStringLiteral(", minutes"), time.minutes);
        if (result.size() == before && (time.hours.value() > 23 || time.minutes.value() > 59))
            result << QStringLiteral("%1 : l'heure %2 n'existe pas").arg(where, time.text());
        if (kind != RelayKind::Dated)
            continue;
        const BcdDate &date = dates[static_cast<size_t>(row)];
        const QString dateWhere = QStringLiteral("%1, date de %2").arg(relayName, rowCaption(row));
        const qsizetype beforeDate = result.size();
        checkBcd(result, dateWhere + QStringLiteral(", jour"), date.day);
        checkBcd(result, dateWhere + QStringLiteral(", mois"), date.month);
        checkBcd(result, dateWhere + QStringLiteral(", année"), date.year);
        if (result.size() == beforeDate && !dateOf(date.day, date.month, date.year))
            result << QStringLiteral("%1 : la date %2 n'existe pas").arg(dateWhere, date.text());
    }
    if (kind == RelayKind::Month) {
        const QString where = QStringLiteral("%1, Mois - Année").arg(relayName);
        if (monthYear.lead != 0) {
            result << QStringLiteral("%1 : l'octet qui précède le mois vaut 0x%2 au lieu de 0")
                          .arg(where, hexByte(monthYear.lead));
        }
        const qsizetype before = result.size();
        checkBcd(result, where + QStringLiteral(", mois"), monthYear.month);
        checkBcd(result, where + QStringLiteral(", année"), monthYear.year);
        const int month = monthYear.month.value();
        if (result.size() == before && (month < 1 || month > 12))
            result << QStringLiteral("%1 : le mois %2 n'existe pas").arg(where, monthYear.text());
    }
    if (kind != RelayKind::Dated && (dayCode < 0 || dayCode > 10))
        result << QStringLiteral("%1 : code de jour %2 inconnu").arg(relayName).arg(dayCode);
    if (enableByte > 1) {
        result << QStringLiteral("%1 : octet d'activation 0x%2 inattendu (ni 0 ni 1)")
                      .arg(relayName, hexByte(enableByte));
    }
    return result;
}

QStringList DecodedProgram::problems() const
{
    QStringList result;
    for (const DecodedRelay &relay : relays)
        result << relay.problems();
    return result;
}

std::optional<DecodedProgram> decodeProgramFrame(QByteArrayView frame)
{
    if (frame.size() != kProgramFrameBytes || frame[0] != kProgramLetter)
        return std::nullopt;
    DecodedProgram program;
    for (size_t i = 0; i < kBlocks.size(); ++i) {
        const Block &block = kBlocks[i];
        DecodedRelay &relay = program.relays[i];
        relay.relay = block.relay;
        relay.kind = block.kind;
        qsizetype at = block.start;
        for (BcdTime &time : relay.times) {
            time.hours = bcdAt(frame, at++);
            time.minutes = bcdAt(frame, at++);
        }
        switch (block.kind) {
        case RelayKind::Weekly:
            relay.dayCode = static_cast<quint8>(frame[at++]);
            break;
        case RelayKind::Dated:
            for (BcdDate &date : relay.dates) {
                date.day = bcdAt(frame, at++);
                date.month = bcdAt(frame, at++);
                date.year = bcdAt(frame, at++);
            }
            break;
        case RelayKind::Month:
            relay.dayCode = static_cast<quint8>(frame[at++]);
            relay.monthYear.lead = static_cast<quint8>(frame[at++]);
            relay.monthYear.month = bcdAt(frame, at++);
            relay.monthYear.year = bcdAt(frame, at++);
            break;
        }
        relay.enableByte = static_cast<quint8>(frame[at]);
    }
    return program;
}

QString dayCodeName(int dayCode)
{
    if (dayCode == 0)
        return QStringLiteral("aucun");
    if (dayCode >= 1 && dayCode <= dayListItems().size())
        return dayListItems().at(dayCode - 1);
    return QStringLiteral("code inconnu (%1)").arg(dayCode);
}

QList<FrameStream::Event> FrameStream::feed(QByteArrayView bytes)
{
    QList<Event> events;
    for (const char byte : bytes) {
        const bool startsFrame = byte == kClockLetter || byte == kProgramLetter;
        if (!pending_.isEmpty()) {
            const bool inFrame = pending_[0] == kClockLetter || pending_[0] == kProgramLetter;
            if (!inFrame && (startsFrame || pending_.size() >= kMaxJunkRun)) {
                events << Event{Kind::Ignored, pending_, IgnoredReason::UnknownStart};
                pending_.clear();
            }
        }
        pending_.append(byte);
        if (pending_[0] == kClockLetter && pending_.size() == kClockFrameBytes) {
            events << Event{Kind::Clock, pending_, IgnoredReason::UnknownStart};
            pending_.clear();
        } else if (pending_[0] == kProgramLetter && pending_.size() == kProgramFrameBytes) {
            events << Event{Kind::Program, pending_, IgnoredReason::UnknownStart};
            pending_.clear();
        }
    }
    return events;
}

QList<FrameStream::Event> FrameStream::flush()
{
    QList<Event> events;
    if (pending_.isEmpty())
        return events;
    const bool inFrame = pending_[0] == kClockLetter || pending_[0] == kProgramLetter;
    events << Event{Kind::Ignored, pending_,
                    inFrame ? IgnoredReason::Incomplete : IgnoredReason::UnknownStart};
    pending_.clear();
    return events;
}

QString hexBytes(QByteArrayView bytes, qsizetype limit)
{
    QStringList parts;
    const qsizetype shown = limit < 0 ? bytes.size() : std::min(limit, bytes.size());
    for (qsizetype i = 0; i < shown; ++i)
        parts << hexByte(static_cast<quint8>(bytes[i]));
    QString result = parts.join(QLatin1Char(' '));
    if (shown < bytes.size())
        result += QStringLiteral(" …");
    return result;
}

}  // namespace platine::sim
