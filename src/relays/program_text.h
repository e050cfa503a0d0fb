#pragma once

#include "store/relay_program.h"

#include <QJsonArray>
#include <QString>

namespace platine {

// A program in words, relay by relay, one line each for its state, its days or month and its
// three windows, then a warning when it cannot be sent:
//   Relais N°1 (hebdomadaire) : actif
//     Jours : Lundi à Vendredi
//     Plage 1 : 08:30:00 -> 12:15:00
QString programText(const RelayProgram &program);
// A day list's choice in words ("Lundi à Vendredi", "aucun" outside the list).
QString dayChoiceText(int choice);
// A relay's "Relais Actif" value in words ("actif", "inactif", "inactif (case grisée)").
QString enableText(int enable);

// The same for scripts: one object per relay (relay, kind, active, enable, windows with start
// and end and, for dated relays, startDate and endDate, dayChoice and days, monthYear).
QJsonArray programJson(const RelayProgram &program);

}  // namespace platine
