#include "widgets/relay_colours.h"

namespace platine {

QColor relayKindColour(RelayKind kind)
{
    switch (kind) {
    case RelayKind::Weekly:
        return QColor(0, 0, 255);
    case RelayKind::Dated:
        return QColor(255, 0, 255);
    case RelayKind::Month:
        break;
    }
    return QColor(255, 0, 0);
}

QColor relayKindColour(int relay)
{
    const auto &layouts = relayLayouts();
    if (relay < 1 || relay > static_cast<int>(layouts.size()))
        return relayKindColour(RelayKind::Month);
    return relayKindColour(layouts[static_cast<size_t>(relay - 1)].kind);
}

}  // namespace platine
