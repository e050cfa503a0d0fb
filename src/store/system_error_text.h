#pragma once

#include <QString>

namespace platine {

// A short French reason for a system error number, for messages shown to the user
// ("disque plein", "accès refusé"...). Unknown numbers give "erreur système n° N".
QString systemErrorText(int errorNumber);

}  // namespace platine
