#include "relays/program_checks.h"

#include "link/digit_fields.h"

#include <array>

namespace platine {

namespace {

constexpr int kFirstYear = 2000;
constexpr int kLastYear = 2099;

int bcdValue(quint8 byte)
{
    return (byte >> 4) * 10 + (byte & 0x0f);
}

// The values at the given positions, or an empty list when one of them holds no digit.
QList<int> readValues(const QString &text, std::initializer_list<int> starts)
{
    const DigitGroupsRead read = readDigitGroups(text, starts);
    QList<int> values;
    if (read.ok()) {
        for (quint8 byte : read.bytes)
            values.append(bcdValue(byte));
    }
    return values;
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// The four-digit year as typed, -1 when its century digits are not digits.
int typedYear(const QString &text, int centuryPosition, int shortYear)
{
    const QList<int> century = readValues(text, {centuryPosition});
    return century.isEmpty() ? -1 : century[0] * 100 + shortYear;
}

class Checker
{
public:
    Checker(const RelayProgram &program, const QDate &today) : program_(program), today_(today) {}

    QList<ProgramFinding> run()
    {
        for (const RelayLayout &layout : relayLayouts())
            checkRelay(layout);
        return findings_;
    }

private:
    const QString &text(int slot) const { return program_.texts[static_cast<size_t>(slot)]; }

    void add(int relay, int slot, int window, const QString &problem, bool unknown = false)
    {
        ProgramFinding finding;
        finding.relay = relay;
        finding.textIndex = slot;
        finding.window = window;
        finding.field = slot >= 0 ? textSlotDescription(slot)
                                  : relayCaption(relay) + QStringLiteral(", Jour(s) concerné(s)");
        finding.problem = problem;
        finding.unknownBehaviour = unknown;
        findings_.append(finding);
    }

    // True when the time exists.
    bool checkTime(const RelayLayout &layout, int row)
    {
        const int slot = layout.firstTimeSlot + row;
        const BoardTime time = readBoardTime(text(slot));
        if (time.hour < 0)
            return false;
        bool exists = true;
        if (time.hour > 23) {
            add(layout.relay, slot, row / 2,
                QStringLiteral("l'heure %1 n'existe pas (00 à 23) : fenêtre non dessinée")
                    .arg(twoDigits(time.hour)),
                true);
            exists = false;
        }
        if (time.minute > 59) {
            add(layout.relay, slot, row / 2,
                QStringLiteral("la minute %1 n'existe pas (00 à 59) : fenêtre non dessinée")
                    .arg(twoDigits(time.minute)),
                true);
            exists = false;
        }
        return exists;
    }

    void checkYear(int relay, int slot, int window, int year)
    {
        if (year < kFirstYear || year > kLastYear) {
            add(relay, slot, window,
                QStringLiteral("l'année doit être entre %1 et %2 : la platine n'en reçoit que "
                               "les deux derniers chiffres")
                    .arg(kFirstYear)
                    .arg(kLastYear));
        }
    }

    // True when the date exists.
    bool checkDate(const RelayLayout &layout, int row)
    {
        const int slot = layout.firstDateSlot + row;
        const QList<int> values = readValues(text(slot), {1, 4, 9});
        if (values.isEmpty())
            return false;
        checkYear(layout.relay, slot, row / 2, typedYear(text(slot), 7, values[2]));
        if (!readBoardDate(text(slot)).isValid()) {
            const QString problem =
                values[1] < 1 || values[1] > 12
                    ? QStringLiteral("le mois %1 n'existe pas (01 à 12)").arg(twoDigits(values[1]))
                    : QStringLiteral("le %1/%2/20%3 n'existe pas")
                          .arg(twoDigits(values[0]), twoDigits(values[1]), twoDigits(values[2]));
            add(layout.relay, slot, row / 2, problem + QStringLiteral(" : fenêtre non dessinée"),
                true);
            return false;
        }
        return true;
    }

    void checkWindowOrder(const RelayLayout &layout, int window, int order)
    {
        if (order < 0) {
            add(layout.relay, layout.firstTimeSlot + 2 * window + 1, window,
                QStringLiteral("la fin précède le début : on ne sait pas ce que fera la platine, "
                               "fenêtre non dessinée"),
                true);
        }
    }

    void checkRelay(const RelayLayout &layout)
    {
        const bool active = program_.enables[static_cast<size_t>(layout.enableIndex)] == 1;
        std::array<bool, kTimeSlotsPerRelay> timeOk{};
        bool switchesSomething = false;  // a window whose start and end differ
        for (int row = 0; row < kTimeSlotsPerRelay; ++row)
            timeOk[static_cast<size_t>(row)] = checkTime(layout, row);

        switch (layout.kind) {
        case RelayKind::Weekly:
        case RelayKind::Month:
            for (int window = 0; window < 3; ++window) {
                const int on = layout.firstTimeSlot + 2 * window;
                if (timeOk[static_cast<size_t>(2 * window)] &&
                    timeOk[static_cast<size_t>(2 * window + 1)]) {
                    const int length = readBoardTime(text(on + 1)).minuteOfDay() -
                                       readBoardTime(text(on)).minuteOfDay();
                    checkWindowOrder(layout, window, length);
                    switchesSomething = switchesSomething || length != 0;
                }
            }
            break;
        case RelayKind::Dated:
            for (int window = 0; window < 3; ++window) {
                std::array<QDate, 2> dates;
                std::array<qint64, 2> moments{-1, -1};  // minutes since the start of the calendar
                for (int side = 0; side < 2; ++side) {
                    const int row = 2 * window + side;
                    if (!checkDate(layout, row))
                        continue;
                    const QDate date = readBoardDate(text(layout.firstDateSlot + row));
                    dates[static_cast<size_t>(side)] = date;
                    if (timeOk[static_cast<size_t>(row)])
                        moments[static_cast<size_t>(side)] =
                            date.toJulianDay() * 1440 +
                            readBoardTime(text(layout.firstTimeSlot + row)).minuteOfDay();
                }
                // A window that started in the past but ends today or later is still running.
                const bool endPast = dates[1].isValid() && dates[1] < today_;
                const bool startPast =
                    dates[0].isValid() && dates[0] < today_ && (endPast || !dates[1].isValid());
                for (int side = 0; side < 2; ++side) {
                    if (active && (side == 0 ? startPast : endPast))
                        add(layout.relay, layout.firstDateSlot + 2 * window + side, window,
                            QStringLiteral("cette date est déjà passée"));
                }
                if (moments[0] >= 0 && moments[1] >= 0) {
                    checkWindowOrder(layout, window, moments[1] < moments[0] ? -1 : 0);
                    switchesSomething = switchesSomething || moments[1] != moments[0];
                }
            }
            break;
        }

        if (layout.monthYearSlot >= 0)
            checkMonthYear(layout, active);
        if (!active && switchesSomething) {
            ProgramFinding finding;
            finding.relay = layout.relay;
            finding.aboutEnableBox = true;
            finding.field = relayCaption(layout.relay) + QStringLiteral(", Relais Actif");
            finding.problem = QStringLiteral("des plages sont écrites mais la case n'est pas "
                                             "cochée : la platine ne les suivra pas");
            findings_.append(finding);
        }
        if (layout.dayChoice >= 0 && active &&
            program_.dayChoices[static_cast<size_t>(layout.dayChoice)] < 0)
            add(layout.relay, -1, -1,
                QStringLiteral("relais actif sans jour choisi : il ne s'enclenche jamais"));
    }

    void checkMonthYear(const RelayLayout &layout, bool active)
    {
        const int slot = layout.monthYearSlot;
        const QList<int> values = readValues(text(slot), {1, 6});
        if (values.isEmpty())
            return;
        checkYear(layout.relay, slot, -1, typedYear(text(slot), 4, values[1]));
        const QDate month = readBoardMonth(text(slot));
        if (!month.isValid()) {
            add(layout.relay, slot, -1,
                QStringLiteral("le mois %1 n'existe pas (01 à 12) : relais non dessiné")
                    .arg(twoDigits(values[0])),
                true);
        } else if (active && month.addMonths(1) <= today_) {
            add(layout.relay, slot, -1, QStringLiteral("ce mois est déjà passé"));
        }
    }

    const RelayProgram &program_;
    QDate today_;
    QList<ProgramFinding> findings_;
};

}  // namespace

QString ProgramFinding::text() const
{
    return QStringLiteral("%1 : %2").arg(field, problem);
}

BoardTime readBoardTime(const QString &text)
{
    const QList<int> values = readValues(text, {1, 4});
    if (values.isEmpty())
        return {};
    return {values[0], values[1]};
}

QDate readBoardDate(const QString &text)
{
    const QList<int> values = readValues(text, {1, 4, 9});
    if (values.isEmpty())
        return {};
    return QDate(kFirstYear + values[2], values[1], values[0]);
}

QDate readBoardMonth(const QString &text)
{
    const QList<int> values = readValues(text, {1, 6});
    if (values.isEmpty())
        return {};
    return QDate(kFirstYear + values[1], values[0], 1);
}

QList<ProgramFinding> checkProgram(const RelayProgram &program, const QDate &today)
{
    return Checker(program, today).run();
}

}  // namespace platine
