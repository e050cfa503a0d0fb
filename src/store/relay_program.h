#pragma once

#include <QString>

#include <array>

namespace platine {

inline constexpr int kTextSlotCount = 50;
inline constexpr int kDayChoiceCount = 4;
inline constexpr int kRelayCount = 6;
inline constexpr int kTimeSlotsPerRelay = 6;

// The six relays' timetable, as the editor's 60 controls hold it.
struct RelayProgram
{
    // Free texts: times "hh:mm:ss", dates "dd/mm/yyyy", month-years "mm/yyyy".
    std::array<QString, kTextSlotCount> texts;
    // Day list positions of relays 1, 2, 5 and 6: 0..9, or -1 when no item is selected.
    std::array<int, kDayChoiceCount> dayChoices{};
    // "Relais Actif" boxes of relays 1..6: 0 clear, 1 ticked, 2 greyed.
    std::array<int, kRelayCount> enables{};

    friend bool operator==(const RelayProgram &, const RelayProgram &) = default;
};

enum class RelayKind { Weekly, Dated, Month };
enum class SlotKind { Time, Date, MonthYear };

// Where one relay's values live in a RelayProgram.
struct RelayLayout
{
    int relay;  // 1..6
    RelayKind kind;
    int firstTimeSlot;  // six time slots from here: on 1, off 1, on 2, off 2, on 3, off 3
    int firstDateSlot;  // dated relays: six date slots beside the time slots; else -1
    int monthYearSlot;  // month relays: the "Mois - Année" slot; else -1
    int dayChoice;      // index into RelayProgram::dayChoices; -1 for dated relays
    int enableIndex;    // index into RelayProgram::enables
};

const std::array<RelayLayout, kRelayCount> &relayLayouts();

// What one text slot is: its relay (1..6), its kind and its row (0..5 for times and dates:
// row k is window k / 2 + 1, switch-on when k is even; 0 for a month-year).
struct TextSlotInfo
{
    int relay;
    SlotKind kind;
    int row;
};

TextSlotInfo textSlotInfo(int textIndex);

// French descriptions for messages and screen readers.
QString relayCaption(int relay);                 // "Relais N°3"
QString relayKindCaption(RelayKind kind);        // "hebdomadaire", "à dates", "mensuel"
QString relayKindKey(RelayKind kind);            // "weekly", "dated", "month" (for JSON)
QString rowCaption(int row);                     // "Début 1", "Fin 1", ... "Fin 3"
QString textSlotDescription(int textIndex);      // "Relais N°3, date de Fin 2"
QString expectedFormDescription(SlotKind kind);  // "hh:mm:ss, par exemple 08:30:00"

}  // namespace platine
