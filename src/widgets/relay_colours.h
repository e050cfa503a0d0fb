#pragma once

#include "store/relay_program.h"

#include <QColor>

namespace platine {

// The colour a relay's caption takes, by its kind: blue for the weekly relays, magenta for the
// dated ones, red for the month relays. The relay frames and the week chart alike; each makes
// it readable on its own background (readableOn).
QColor relayKindColour(RelayKind kind);
// The same for a relay, 1..6.
QColor relayKindColour(int relay);

}  // namespace platine
