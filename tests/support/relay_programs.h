#pragma once

#include "store/relay_program.h"

namespace platine::test {

// A program whose every field encodes: every time 00:00:00, every date 01/01/2000, every
// month-year 01/2000, all day lists on "Dimanche", no relay enabled.
inline RelayProgram encodableProgram()
{
    RelayProgram program;
    for (int i = 0; i < kTextSlotCount; ++i) {
        switch (textSlotInfo(i).kind) {
        case SlotKind::Time:
            program.texts[i] = QStringLiteral("00:00:00");
            break;
        case SlotKind::Date:
            program.texts[i] = QStringLiteral("01/01/2000");
            break;
        case SlotKind::MonthYear:
            program.texts[i] = QStringLiteral("01/2000");
            break;
        }
    }
    return program;
}

}  // namespace platine::test
