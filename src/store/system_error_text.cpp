#include "store/system_error_text.h"

#include <cerrno>

namespace platine {

QString systemErrorText(int errorNumber)
{
    switch (errorNumber) {
    case 0:
        return QStringLiteral("erreur système non précisée");
    case ENOENT:
        return QStringLiteral("fichier ou périphérique introuvable");
    case ENOTDIR:
        return QStringLiteral("un élément du chemin n'est pas un dossier");
    case EACCES:
    case EPERM:
        return QStringLiteral("accès refusé");
    case EBUSY:
        return QStringLiteral("périphérique ou fichier occupé (utilisé par un autre programme ?)");
    case ENOTTY:
        return QStringLiteral("ce n'est ni un port série ni un terminal");
    case EISDIR:
        return QStringLiteral("c'est un dossier");
    case EIO:
        return QStringLiteral("erreur d'entrée-sortie (matériel en défaut ou débranché ?)");
    case ENXIO:
        return QStringLiteral("périphérique absent ou hors service");
    case ENODEV:
        return QStringLiteral("périphérique absent ou non pris en charge");
    case ENOSPC:
        return QStringLiteral("disque plein");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("quota de disque dépassé");
#endif
    case EROFS:
        return QStringLiteral("support en lecture seule");
    case ELOOP:
        return QStringLiteral("trop de liens symboliques (liens en boucle ?)");
    case ENAMETOOLONG:
        return QStringLiteral("nom trop long");
    case EEXIST:
        return QStringLiteral("le fichier existe déjà");
    case EFBIG:
        return QStringLiteral("fichier trop gros");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("trop de fichiers ouverts");
    case ENOMEM:
        return QStringLiteral("mémoire insuffisante");
    case EAGAIN:
        return QStringLiteral("ressource momentanément indisponible, réessayez");
    case EINTR:
        return QStringLiteral("opération interrompue");
    case EINVAL:
        return QStringLiteral("opération impossible sur ce fichier ou ce périphérique");
#ifdef ETXTBSY
    case ETXTBSY:
        return QStringLiteral("fichier en cours d'utilisation");
#endif
#ifdef ETIMEDOUT
    case ETIMEDOUT:
        return QStringLiteral("délai dépassé");
#endif
    default:
        return QStringLiteral("erreur système n° %1").arg(errorNumber);
    }
}

}  // namespace platine
