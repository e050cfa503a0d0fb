#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

namespace platine {

// The journal of the frames sent to the board, by the window and by platine-cli alike: the board
// cannot be read back, so this is the only record of what it was last told. One JSON object per
// line in journal.jsonl, oldest first:
//
//   {"time":"2026-12-09T18:41:07+01:00","port":"/dev/ttyUSB0","kind":"programme",
//    "frame":"4208…","sha256":"…","file":"/home/…/atelier.txt","remarks":2,
//    "result":"sent","message":"","tool":"platine-cli","host":"atelier-pc"}
//
// kind: "heure" (clock frame) or "programme" (program frame). result: "sent" (the whole frame
// was written to the port), "refused" (the tool kept it back: a field that cannot be encoded, a
// remark with --strict, an impossible PC clock), "failed" (the port could not be opened or
// written); message holds the French reason for the last two. frame is the frame's bytes in hex,
// empty when none could be built; sha256 is that of the bytes (empty with them). file is empty when
// the frame came from no program file.
inline constexpr int kJournalLimit = 1000;

enum class JournalKind { Clock, Program };
enum class JournalResult { Sent, Refused, Failed };

struct JournalEntry
{
    QDateTime time;  // local time, kept with its offset from UTC
    QString port;
    JournalKind kind = JournalKind::Program;
    QByteArray frame;  // empty when no frame was built
    QString file;      // the program file, absolute; empty when none
    int remarks = 0;   // the remarks counted on the program
    JournalResult result = JournalResult::Sent;
    QString message;  // French; why it was refused or failed
    QString tool;     // "platine" or "platine-cli"
    QString host;     // the PC's name

    QString sha256() const;  // hex, of frame; empty when there is no frame

    friend bool operator==(const JournalEntry &, const JournalEntry &) = default;
};

// An entry made now, on this PC, by this program.
JournalEntry makeJournalEntry(JournalKind kind, const QString &port, const QByteArray &frame,
                              const QString &file, int remarks, JournalResult result,
                              const QString &message = {});

QString journalKindKey(JournalKind kind);            // "heure", "programme"
QString journalResultKey(JournalResult result);      // "sent", "refused", "failed"
QString journalResultCaption(JournalResult result);  // "envoyé", "refusé", "échec"
std::optional<JournalKind> journalKindFromKey(const QString &key);
std::optional<JournalResult> journalResultFromKey(const QString &key);

QJsonObject journalEntryToJson(const JournalEntry &entry);
// Nothing when the object is not a whole entry (a field missing or of the wrong type, bytes
// that do not match their SHA-256).
std::optional<JournalEntry> journalEntryFromJson(const QJsonObject &object);

// $XDG_DATA_HOME/platine/journal.jsonl, else ~/.local/share/platine/journal.jsonl (on Windows
// %APPDATA%\platine\journal.jsonl); empty when the environment names no usable folder.
QString journalFilePath();

struct JournalWriteResult
{
    bool ok = true;
    QString errorMessage;  // French, names the file and the reason
};

struct JournalReadResult
{
    bool ok = true;               // false when the file exists but cannot be read
    QList<JournalEntry> entries;  // newest first
    int skippedLines = 0;         // damaged lines (a write cut short), left out
    QString remark;               // French, about the skipped lines; empty when none
    QString errorMessage;         // French, when !ok
};

class Journal
{
public:
    // The journal in the usual place, or at path (tests, other folders).
    explicit Journal(const QString &path = journalFilePath(), int limit = kJournalLimit);

    const QString &path() const { return path_; }

    // Adds the entry at the end. A crash while writing loses at most this entry: the line goes
    // out in one write and the next append starts on a line of its own. Past the limit the
    // oldest entries go, and the file is then replaced whole. Writers in other processes wait
    // for each other through a lock file beside the journal.
    JournalWriteResult append(const JournalEntry &entry) const;

    // The entries, newest first, at most count of them (all with count < 0). A missing file is
    // an empty journal.
    JournalReadResult read(int count = -1) const;

private:
    QString path_;
    int limit_;
};

}  // namespace platine
