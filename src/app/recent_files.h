#pragma once

#include <QString>
#include <QStringList>

namespace platine {

// "Fichiers récents": the last program files opened or saved, most recent first, kept in the
// user's configuration (platine/platine.ini in the configuration folder, not in param.ini).
class RecentFiles
{
public:
    static constexpr int kMaxFiles = 8;

    QStringList files() const;
    // Puts path first, once; the oldest beyond kMaxFiles go.
    void add(const QString &path);
    void remove(const QString &path);
};

}  // namespace platine
