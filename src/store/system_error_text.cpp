#include "store/system_error_text.h"

#include <cerrno>

namespace platine {

QString systemErrorText(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC:
        return QStringLiteral("disque plein");
    case EDQUOT:
        return QStringLiteral("quota de disque dépassé");
    case EROFS:
        return QStringLiteral("le support est en lecture seule");
    case EACCES:
    case EPERM:
        return QStringLiteral("accès refusé");
    case ENOENT:
        return QStringLiteral("fichier ou dossier introuvable");
    case ENOTDIR:
        return QStringLiteral("un élément du chemin n'est pas un dossier");
    case EISDIR:
        return QStringLiteral("c'est un dossier");
    case EIO:
        return QStringLiteral("erreur d'entrée-sortie (support débranché ou défectueux ?)");
    case EBUSY:
        return QStringLiteral("périphérique ou ressource occupé");
    case ENOTTY:
        return QStringLiteral("ce n'est pas un terminal");
    case ENXIO:
    case ENODEV:
        return QStringLiteral("périphérique absent");
    case ELOOP:
        return QStringLiteral("trop de liens symboliques");
    case ENAMETOOLONG:
        return QStringLiteral("nom de fichier trop long");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("trop de fichiers ouverts");
    case EFBIG:
        return QStringLiteral("fichier trop gros");
    case EXDEV:
        return QStringLiteral("le fichier est sur un autre disque");
    case ETXTBSY:
        return QStringLiteral("fichier en cours d'utilisation");
    case EAGAIN:
        return QStringLiteral("ressource temporairement indisponible");
    case ENOMEM:
        return QStringLiteral("mémoire insuffisante");
    default:
        return QStringLiteral("erreur système n° %1").arg(errorNumber);
    }
}

}  // namespace platine
