#pragma once

// The messages of the serial control, the same whatever the system's serial back end.

#include "store/visible_text.h"

#include <QString>

namespace platine::serial_texts {

// The port as the user gave it, with the device it stands for when that differs:
// « 3 » (/dev/ttyS2).
inline QString portLabel(const QString &portText, const QString &device)
{
    const QString text = portText.trimmed();
    if (device.isEmpty() || device == text)
        return quotedText(text);
    return quotedText(text) + QStringLiteral(" (") + visibleText(device) + u')';
}

inline QString openFailureHead(const QString &portText, const QString &device)
{
    return QStringLiteral("Impossible d'ouvrir le port %1 : ").arg(portLabel(portText, device));
}

// The port text names no device ("", "0").
inline QString noPortChosen(const QString &portText)
{
    const QString text = portText.trimmed();
    if (text.isEmpty())
        return QStringLiteral("Impossible d'ouvrir le port : aucun port choisi. Choisissez-le "
                              "dans « Paramètrage », « Port COM ».");
    return QStringLiteral("Impossible d'ouvrir le port : aucun port choisi (« Port COM » vaut "
                          "%1). Choisissez-le dans « Paramètrage », « Port COM ».")
        .arg(quotedText(text));
}

// Why an open port was closed by the control.
inline QString deviceGone()
{
    return QStringLiteral("le périphérique ne répond plus ou a été débranché.");
}
inline QString writeFailed()
{
    return QStringLiteral("l'envoi a échoué (le périphérique ne répond plus ou a été "
                          "débranché).");
}

inline QString portClosed(const QString &label, const QString &reason)
{
    return QStringLiteral("Le port %1 a été fermé : %2").arg(label, reason);
}

inline QString sendOnClosedPort(const QString &label)
{
    return QStringLiteral("Envoi impossible : le port %1 est fermé.").arg(label);
}

}  // namespace platine::serial_texts
