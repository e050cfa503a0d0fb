#pragma once

#include "store/relay_program.h"

#include <QStringList>

namespace platine {

// The fields in which after differs from before, relay by relay, one line each in words:
//   "Relais N°1 : actif → inactif"
//   "Relais N°1, jours : Lundi à Vendredi → Samedi"
//   "Relais N°3, date de Début 1 : 01/12/2026 → 02/12/2026"
// Empty when the two are the same. The values are compared as they stand: compare programs
// read back from their frames to leave aside what a frame does not carry (the seconds).
QStringList programDifferences(const RelayProgram &before, const RelayProgram &after);

// A program as the board gets it: encoded and read back from its frame; the program as it
// stands when it cannot be encoded.
RelayProgram programAsSent(const RelayProgram &program);

}  // namespace platine
