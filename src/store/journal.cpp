#include "store/journal.h"

#include "store/atomic_file.h"
#include "store/profile_lock.h"
#include "store/system_error_text.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>

namespace platine {

namespace {

#ifdef _WIN32
constexpr int kAppendFlags = O_WRONLY | O_CREAT | O_APPEND | O_BINARY | O_NOINHERIT;

QByteArray encodePath(const QString &path)
{
    return path.toUtf8();  // the file system layer takes UTF-8 there
}
#else
constexpr int kAppendFlags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC;

QByteArray encodePath(const QString &path)
{
    return QFile::encodeName(path);
}
#endif

const QString kKey[] = {
    QStringLiteral("time"),    QStringLiteral("port"),   QStringLiteral("kind"),
    QStringLiteral("frame"),   QStringLiteral("sha256"), QStringLiteral("file"),
    QStringLiteral("remarks"), QStringLiteral("result"), QStringLiteral("message"),
    QStringLiteral("tool"),    QStringLiteral("host")};
enum Key { Time, Port, Kind, Frame, Sha, File, Remarks, Result, Message, Tool, Host };

QString key(Key k)
{
    return kKey[k];
}

QString shownPath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QByteArray entryLine(const JournalEntry &entry)
{
    return QJsonDocument(journalEntryToJson(entry)).toJson(QJsonDocument::Compact) + '\n';
}

struct JournalLines
{
    QList<QByteArray> complete;  // lines that end in a line feed, without it
    QByteArray unfinished;       // a last line without its line feed
};

JournalLines splitLines(const QByteArray &bytes)
{
    JournalLines lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            lines.unfinished = bytes.mid(start);
            break;
        }
        if (end > start)
            lines.complete.append(bytes.mid(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::optional<JournalEntry> parseLine(const QByteArray &line)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return journalEntryFromJson(document.object());
}

}  // namespace

QString JournalEntry::sha256() const
{
    if (frame.isEmpty())
        return {};  // no frame was built
    return QString::fromLatin1(QCryptographicHash::hash(frame, QCryptographicHash::Sha256).toHex());
}

JournalEntry makeJournalEntry(JournalKind kind, const QString &port, const QByteArray &frame,
                              const QString &file, int remarks, JournalResult result,
                              const QString &message)
{
    JournalEntry entry;
    // To the second, with the offset the PC was in: a date as people read it, and a moment
    // that stays exact across summer time and time zones.
    const QDateTime now = QDateTime::currentDateTime();
    entry.time = now.addMSecs(-now.time().msec()).toOffsetFromUtc(now.offsetFromUtc());
    entry.port = port;
    entry.kind = kind;
    entry.frame = frame;
    entry.file = file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
    entry.remarks = remarks;
    entry.result = result;
    entry.message = message;
    entry.tool = QCoreApplication::applicationName();
    entry.host = QSysInfo::machineHostName();
    return entry;
}

QString journalKindKey(JournalKind kind)
{
    return kind == JournalKind::Clock ? QStringLiteral("heure") : QStringLiteral("programme");
}

QString journalResultKey(JournalResult result)
{
    switch (result) {
    case JournalResult::Sent:
        return QStringLiteral("sent");
    case JournalResult::Refused:
        return QStringLiteral("refused");
    case JournalResult::Failed:
        break;
    }
    return QStringLiteral("failed");
}

QString journalResultCaption(JournalResult result)
{
    switch (result) {
    case JournalResult::Sent:
        return QStringLiteral("envoyé");
    case JournalResult::Refused:
        return QStringLiteral("refusé");
    case JournalResult::Failed:
        break;
    }
    return QStringLiteral("échec");
}

std::optional<JournalKind> journalKindFromKey(const QString &key)
{
    for (JournalKind kind : {JournalKind::Clock, JournalKind::Program}) {
        if (journalKindKey(kind) == key)
            return kind;
    }
    return std::nullopt;
}

std::optional<JournalResult> journalResultFromKey(const QString &key)
{
    for (JournalResult result :
         {JournalResult::Sent, JournalResult::Refused, JournalResult::Failed}) {
        if (journalResultKey(result) == key)
            return result;
    }
    return std::nullopt;
}

QJsonObject journalEntryToJson(const JournalEntry &entry)
{
    return QJsonObject{
        {key(Time), entry.time.toString(Qt::ISODate)},
        {key(Port), entry.port},
        {key(Kind), journalKindKey(entry.kind)},
        {key(Frame), QString::fromLatin1(entry.frame.toHex())},
        {key(Sha), entry.sha256()},
        {key(File), entry.file},
        {key(Remarks), entry.remarks},
        {key(Result), journalResultKey(entry.result)},
        {key(Message), entry.message},
        {key(Tool), entry.tool},
        {key(Host), entry.host},
    };
}

std::optional<JournalEntry> journalEntryFromJson(const QJsonObject &object)
{
    for (Key k : {Time, Port, Kind, Frame, Sha, File, Result, Message, Tool, Host}) {
        if (!object.value(key(k)).isString())
            return std::nullopt;
    }
    if (!object.value(key(Remarks)).isDouble())
        return std::nullopt;
    JournalEntry entry;
    entry.time = QDateTime::fromString(object.value(key(Time)).toString(), Qt::ISODate);
    const std::optional<JournalKind> kind = journalKindFromKey(object.value(key(Kind)).toString());
    const std::optional<JournalResult> result =
        journalResultFromKey(object.value(key(Result)).toString());
    const QByteArray hex = object.value(key(Frame)).toString().toLatin1();
    const auto decoded = QByteArray::fromHex(hex);
    if (!entry.time.isValid() || !kind || !result || decoded.toHex() != hex.toLower())
        return std::nullopt;
    entry.port = object.value(key(Port)).toString();
    entry.kind = *kind;
    entry.frame = decoded;
    entry.file = object.value(key(File)).toString();
    entry.remarks = object.value(key(Remarks)).toInt();
    entry.result = *result;
    entry.message = object.value(key(Message)).toString();
    entry.tool = object.value(key(Tool)).toString();
    entry.host = object.value(key(Host)).toString();
    // The bytes are what a resend would send: they must be the ones recorded.
    if (entry.sha256().compare(object.value(key(Sha)).toString(), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return entry;
}

QString journalFilePath()
{
    const QString name = QStringLiteral("/platine/journal.jsonl");
#ifdef Q_OS_WIN
    const QString appData = qEnvironmentVariable("APPDATA");
    if (!appData.isEmpty())
        return QDir::fromNativeSeparators(appData) + name;
#endif
    // A relative XDG_DATA_HOME is not valid and is ignored, as the XDG rules say.
    const auto usable = [](const char *variable) {
        const QString value = QDir::cleanPath(qEnvironmentVariable(variable));
        return QDir::isAbsolutePath(value) && value != QStringLiteral("/") ? value : QString();
    };
    if (const QString data = usable("XDG_DATA_HOME"); !data.isEmpty())
        return data + name;
    if (const QString home = usable("HOME"); !home.isEmpty())
        return home + QStringLiteral("/.local/share") + name;
    return {};
}

Journal::Journal(const QString &path, int limit) : path_(path), limit_(std::max(1, limit)) {}

JournalWriteResult Journal::append(const JournalEntry &entry) const
{
    JournalWriteResult result;
    const auto fail = [&result, this](const QString &reason) {
        result.ok = false;
        result.errorMessage =
            QStringLiteral("Envoi non noté dans le journal %1 : %2").arg(shownPath(path_), reason);
        return result;
    };
    if (path_.isEmpty())
        return fail(QStringLiteral("aucun dossier de données (HOME et XDG_DATA_HOME ne sont pas "
                                   "des chemins absolus)"));
    if (!QDir().mkpath(QFileInfo(path_).absolutePath()))
        return fail(QStringLiteral("impossible de créer le dossier %1")
                        .arg(shownPath(QFileInfo(path_).absolutePath())));

    const ProfileLock lock(path_);
    if (lock.heldElsewhere())
        return fail(lock.failureReason());

    QByteArray existing;
    QFile file(path_);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return fail(file.errorString());
        existing = file.readAll();
        file.close();
    }
    const JournalLines lines = splitLines(existing);
    const QByteArray line = entryLine(entry);

    if (lines.complete.size() + 1 > limit_) {
        // The oldest entries go; the file is replaced whole, so a crash keeps the old one.
        QByteArray kept;
        for (qsizetype i = lines.complete.size() - (limit_ - 1); i < lines.complete.size(); ++i)
            kept += lines.complete.at(i) + '\n';
        const ReplaceResult replaced = replaceFile(path_, kept + line);
        if (!replaced.ok)
            return fail(systemErrorText(replaced.error));
        return result;
    }

    // One write, so that a crash leaves at most this line unfinished; a line left unfinished by
    // an earlier crash gets its line feed first, so that it cannot swallow this one.
    const QByteArray bytes = (lines.unfinished.isEmpty() ? QByteArray() : QByteArray("\n")) + line;
    FileSystem &system = fileSystem();
    const int fd = system.open(encodePath(path_).constData(), kAppendFlags, 0666);
    if (fd < 0)
        return fail(systemErrorText(errno));
    const ssize_t written = system.write(fd, bytes.constData(), size_t(bytes.size()));
    int error = written < 0 ? errno : 0;
    if (written >= 0 && written != bytes.size())
        error = ENOSPC;
    if (error == 0 && system.fsync(fd) != 0)
        error = errno;
    if (system.close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        return fail(systemErrorText(error));
    return result;
}

JournalReadResult Journal::read(int count) const
{
    JournalReadResult result;
    QFile file(path_);
    if (path_.isEmpty() || !file.exists())
        return result;
    QByteArray bytes;
    {
        // A writer in the middle of its line would look like a crash: it is waited for, briefly.
        const ProfileLock lock(path_, 1000);
        if (!file.open(QIODevice::ReadOnly)) {
            result.ok = false;
            result.errorMessage = QStringLiteral("Journal %1 illisible : %2")
                                      .arg(shownPath(path_), file.errorString());
            return result;
        }
        bytes = file.readAll();
    }
    JournalLines lines = splitLines(bytes);
    if (!lines.unfinished.isEmpty())
        lines.complete.append(lines.unfinished);
    for (qsizetype i = lines.complete.size() - 1; i >= 0; --i) {
        const std::optional<JournalEntry> entry = parseLine(lines.complete.at(i));
        if (!entry) {
            ++result.skippedLines;
            continue;
        }
        if (count < 0 || result.entries.size() < count)
            result.entries.append(*entry);
    }
    if (result.skippedLines > 0)
        result.remark =
            QStringLiteral("%1 du journal %2 %3 ignorée%4 : écriture interrompue ou "
                           "ligne abîmée.")
                .arg(result.skippedLines == 1
                         ? QStringLiteral("1 ligne")
                         : QStringLiteral("%1 lignes").arg(result.skippedLines),
                     shownPath(path_),
                     result.skippedLines == 1 ? QStringLiteral("est") : QStringLiteral("sont"),
                     result.skippedLines == 1 ? QString() : QStringLiteral("s"));
    return result;
}

}  // namespace platine
