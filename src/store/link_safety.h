#pragma once

#include <QString>

namespace platine {

// The kernel's protected-symlinks rule, applied to the settings and program files the
// super-user reads and writes: a symbolic link on the way to the file that is owned neither by
// root nor by the owner of what it points to may have been laid by another user to make root
// read or replace a file of root's (or create one where that user could not). Such a link is
// not followed. For other users the system's own rules hold, and nothing is refused here.
//
// Empty when the path may be used; else French, to follow "Impossible de lire … : " or
// "Impossible d'enregistrer … : ".
QString untrustedLinkRefusal(const QString &path);

}  // namespace platine
