#pragma once

// A new pseudo-terminal for the board's end of a serial line: the caller holds the master and
// plays the board, while the PC (the code under test) opens the slave's path as its serial
// port. POSIX only.

#include <QString>

namespace platine::sim {

struct PseudoTerminal
{
    int master = -1;    // -1 when it could not be set up
    QString slavePath;  // the path the PC opens, such as /dev/pts/4
    QString error;      // French, when master is -1
};

// The master in raw mode at once (no echo, no line editing, no character translation, even
// before the slave is opened), at 9600 baud, non-blocking and closed across exec.
PseudoTerminal openPseudoTerminal();

}  // namespace platine::sim
