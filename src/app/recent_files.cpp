#include "app/recent_files.h"

#include "app/file_dialogs.h"

#include <QFileInfo>
#include <QSettings>

namespace platine {

namespace {

const QString kRecentKey = QStringLiteral("fichiers/recents");

void store(const QStringList &files)
{
    QSettings settings = userConfiguration();
    settings.setValue(kRecentKey, files);
}

}  // namespace

QStringList RecentFiles::files() const
{
    QStringList files = userConfiguration().value(kRecentKey).toStringList();
    files.removeAll(QString());
    return files.mid(0, kMaxFiles);
}

void RecentFiles::add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = files();
    list.removeAll(absolute);
    list.prepend(absolute);
    store(list.mid(0, kMaxFiles));
}

void RecentFiles::remove(const QString &path)
{
    QStringList list = files();
    if (list.removeAll(QFileInfo(path).absoluteFilePath()) > 0)
        store(list);
}

}  // namespace platine
