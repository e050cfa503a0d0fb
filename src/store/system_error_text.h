#pragma once

#include <QString>

namespace platine {

// A short French reason for a system error number (errno), to follow a colon in a message:
// "fichier ou périphérique introuvable", "accès refusé", "disque plein", ... Never the
// system's own (English) text: a number without a wording of its own gives
// "erreur système n° 123".
QString systemErrorText(int errorNumber);

}  // namespace platine
