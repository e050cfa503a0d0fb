#pragma once

#include <QString>

#include <memory>

class QLockFile;

namespace platine {

// How long a writer waits for another one to finish with the same file.
inline constexpr int kProfileLockTimeoutMs = 5000;
// A lock this old is taken over: its owner hangs, or died while it was writing the lock. A lock
// whose owner is known to be gone is taken over at once.
inline constexpr int kProfileLockStaleMs = 10000;

// The lock every read-modify-write of a profile file holds, so that two writers (the window
// changing the port, platine-cli storing an upload) never both read the old file and the second
// replacement drops the first one's change. The lock is a separate file beside the file's final
// target, named after it with ".lock" added; the profile file itself keeps the layout other
// programs read.
class ProfileLock
{
public:
    explicit ProfileLock(const QString &path, int timeoutMs = kProfileLockTimeoutMs);
    ~ProfileLock();
    ProfileLock(const ProfileLock &) = delete;
    ProfileLock &operator=(const ProfileLock &) = delete;

    bool isLocked() const;
    // Another writer held the lock all the time: nothing may be written. A lock that could not
    // be created at all is not held elsewhere (the write then fails on its own, with a reason).
    bool heldElsewhere() const;
    // French, to follow "Impossible d'enregistrer … : "; empty unless heldElsewhere().
    QString failureReason() const;

    static QString lockPathFor(const QString &path);

private:
    std::unique_ptr<QLockFile> lock_;
    QString reason_;
};

}  // namespace platine
