#pragma once

#include "store/profile_document.h"

#include <QList>
#include <QString>

namespace platine {

// Profile (INI) files as the settings file param.ini and the program files use them: a line
// "[name]" opens a section, a line "key=value" in it gives a value. Text is Windows-1252 on disk.
// Section and key names compare case-insensitively (ASCII letters only). Writes change only the
// bytes of the entries they touch; every other byte of the file stays as it was.

struct ProfileWriteResult
{
    bool ok = true;
    QString errorMessage;  // French, names the file and the reason; empty when ok
};

struct ProfileEntry
{
    QString section;
    QString key;
    QString value;
};

// Larger files are not read: no settings or program file comes near this size.
inline constexpr qint64 kMaxProfileFileSize = 16 * 1024 * 1024;

enum class ProfileFileStatus {
    Read,        // the file was read
    Missing,     // there is no such file: it reads as empty
    Unreadable,  // the file is there but cannot be read (a folder, no read permission, ...)
};

struct ProfileFileContents
{
    ProfileFileStatus status = ProfileFileStatus::Missing;
    ProfileDocument document;  // empty unless status is Read
    QString errorMessage;      // Unreadable: French, names the file and the reason
};

// Reads a whole profile file once, for callers that look up many values.
ProfileFileContents loadProfileFile(const QString &path);

// The value of section/key with blanks and tabs at both ends removed, cut to capacity - 1
// characters (capacity <= 0: not cut); defaultValue when the file, the section or the key is
// missing, or when the file cannot be read.
QString readProfileString(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue = {}, int capacity = 20);

// Writes one value: replaces it in place, adds a missing key after the last non-blank line of
// its section, adds a missing section with its key at the end of the file, creates a missing
// file; new lines end in CR LF. The value is stored as given, except that CR, LF and NUL become
// blanks. Writing the value an entry already holds (blanks at its ends aside) leaves the file
// untouched. Fails, leaving the file as it was, when the file cannot be read, is read-only or
// cannot be replaced.
ProfileWriteResult writeProfileString(const QString &path, const QString &section,
                                      const QString &key, const QString &value);

// Applies the writes in order with one atomic replacement of the file; the result is
// byte-identical to the same writes made one by one. On failure the file is left as it was.
ProfileWriteResult writeProfileStrings(const QString &path, const QList<ProfileEntry> &entries);

}  // namespace platine
