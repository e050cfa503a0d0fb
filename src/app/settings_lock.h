#pragma once

#include <QString>

#include <memory>
#include <optional>

class QLockFile;

namespace platine {

// Keeps a second copy of the tool off the same settings file: a lock file beside it
// (param.ini.fenetre.lock) held while the tool runs; param.ini.lock is the
// short lock every write of the file takes. The lock names the process that holds it, so one
// left behind by a crashed copy is taken over, never obeyed. Where the folder cannot hold a
// lock file the tool runs without one.
class SettingsLock
{
public:
    explicit SettingsLock(const QString &settingsPath);
    ~SettingsLock();

    // The French message to give when another copy holds the lock; nothing when this one has
    // it (or could not take one).
    std::optional<QString> heldElsewhere() const { return heldElsewhere_; }

private:
    std::unique_ptr<QLockFile> lock_;
    std::optional<QString> heldElsewhere_;
};

}  // namespace platine
