#include "base/uFileBytes.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Bytes read from a file per system call.
constexpr size_t ReadChunkBytes = 64 * 1024;
// Random names tried for a temporary file before giving up.
constexpr int TemporaryNameAttempts = 16;
// Reading a whole file: no limit.
constexpr qint64 Unlimited = std::numeric_limits<qint64>::max();
// The exit code of a process that the test seam ends in the middle of a write.
constexpr int FaultExitCode = 86;
// The first bytes of a journal file and its layout's version.
constexpr char JournalMagic[] = "grazlo-journal";
constexpr qint32 JournalVersion = 1;

TWriteFaults &faults()
{
    static TWriteFaults injected;
    return injected;
}

QByteArray nativePath(const QString &path) { return QFile::encodeName(path); }

// The seam's stand-in for a kill at this step of an in-place write.
void exitIfFaultAt(TWriteFaults::TStep step)
{
    if (faults().ExitAt == step)
        ::_exit(FaultExitCode);
}

// Repeats a system call that a signal interrupted.
template <typename Call> auto retried(Call call)
{
    decltype(call()) result;
    do
        result = call();
    while (result < 0 && errno == EINTR);
    return result;
}

// Reads from the file's position to its end, at most limit bytes.
int readAll(int fd, QByteArray &bytes, qint64 limit)
{
    char buffer[ReadChunkBytes];
    while (bytes.size() < limit) {
        const size_t want = static_cast<size_t>(std::min<qint64>(sizeof buffer, limit - bytes.size()));
        const ssize_t n = retried([&] { return ::read(fd, buffer, want); });
        if (n < 0)
            return errno;
        if (n == 0)
            break;
        bytes.append(buffer, n);
    }
    return 0;
}

// Writes all bytes at the file's position. budget counts down the bytes the
// test seam still lets through (negative: no limit).
int writeAll(int fd, const QByteArray &bytes, qint64 &budget)
{
    const char *data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        if (budget == 0)
            return ENOSPC;
        const qint64 chunk = budget > 0 ? std::min(left, budget) : left;
        const ssize_t n = retried([&] { return ::write(fd, data, static_cast<size_t>(chunk)); });
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        if (budget > 0)
            budget -= n;
        data += n;
        left -= n;
    }
    return 0;
}

// Flushes the file to the disk and closes it; the first error counts.
int syncAndClose(int fd)
{
    int error = ::fsync(fd) == 0 ? 0 : errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

// The file a write really changes: the end of a chain of symbolic links.
QString resolvedTarget(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

// A new, empty file beside target under a name of its own, ".<name>.<8 hex
// digits>.tmp"; -1 with errno set when none can be made. New files get the
// rights the umask allows of mode.
int createTemporary(const QString &target, QString &tempPath, mode_t mode = 0666)
{
    const QFileInfo info(target);
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        const quint32 tag = QRandomGenerator::global()->generate();
        tempPath =
            info.dir().filePath(QStringLiteral(".%1.%2.tmp").arg(info.fileName()).arg(tag, 8, 16, QLatin1Char('0')));
        const int fd = retried(
            [&] { return ::open(nativePath(tempPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode); });
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Removes the temporary files that an ended save of target left behind; a
// save of the same file runs in one process at a time.
void removeStaleTemporaries(const QString &target)
{
    const QFileInfo info(target);
    const QDir folder = info.dir();
    const QRegularExpression own(
        QStringLiteral("^\\.%1\\.[0-9a-f]{8}\\.tmp$").arg(QRegularExpression::escape(info.fileName())));
    const QStringList candidates =
        folder.entryList({QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : candidates)
        if (own.match(name).hasMatch())
            ::unlink(nativePath(folder.filePath(name)).constData());
}

// A replacing file keeps the rights and, where allowed, the owner of the file
// it replaces.
void copyAccessRights(const QString &target, int fd)
{
    struct stat original;
    if (::stat(nativePath(target).constData(), &original) != 0)
        return;
    // Only root may hand a file to another owner; anyone else keeps owning it.
    [[maybe_unused]] const int handedOver = ::fchown(fd, original.st_uid, original.st_gid);
    ::fchmod(fd, original.st_mode & 07777);
}

// Makes the rename itself survive a power cut; a folder that cannot be
// flushed changes nothing about the written file.
void syncFolder(const QString &target)
{
    const int fd = ::open(nativePath(QFileInfo(target).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Writes the bytes over the file from its start and cuts off what is left of
// the old ones; each step checked and flushed to the disk.
int overwrite(int fd, const QByteArray &bytes, qint64 &budget)
{
    if (::lseek(fd, 0, SEEK_SET) != 0)
        return errno;
    if (const int error = writeAll(fd, bytes, budget))
        return error;
    exitIfFaultAt(TWriteFaults::TStep::BytesWritten);
    if (::ftruncate(fd, bytes.size()) != 0)
        return errno;
    exitIfFaultAt(TWriteFaults::TStep::Truncated);
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Puts the old bytes back after a failed in-place write.
bool restore(int fd, const QByteArray &old)
{
    qint64 unlimited = -1;
    return overwrite(fd, old, unlimited) == 0;
}

// What an in-place write changes, kept until the new bytes are on the disk.
struct TJournal
{
    QString Target;
    QByteArray Old;
    QByteArray New;
};

QByteArray encodeJournal(const TJournal &journal)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.writeRawData(JournalMagic, sizeof JournalMagic);
    out << JournalVersion << journal.Target << journal.Old << journal.New;
    return bytes;
}

bool decodeJournal(const QByteArray &bytes, TJournal &journal)
{
    if (!bytes.startsWith(QByteArray(JournalMagic, sizeof JournalMagic)))
        return false;
    QDataStream in(bytes.mid(sizeof JournalMagic));
    qint32 version = 0;
    in >> version >> journal.Target >> journal.Old >> journal.New;
    return in.status() == QDataStream::Ok && in.atEnd() && version == JournalVersion && !journal.Target.isEmpty();
}

// Whether the file shows an unfinished write of the journal's new bytes over
// its old ones: a start of the new bytes, then the old ones from there on.
bool showsUnfinishedWrite(const QByteArray &current, const TJournal &journal)
{
    if (current == journal.Old || current == journal.New)
        return false;
    const qsizetype limit = std::min(current.size(), journal.New.size());
    qsizetype written = 0;
    while (written < limit && current[written] == journal.New[written])
        ++written;
    if (written > journal.Old.size())
        return current.size() == written;
    return current.mid(written) == journal.Old.mid(written);
}

// Writes the journal to a new file of the journal folder, flushed to the disk
// and locked while the returned descriptor stays open; -1 with errno set when
// it cannot be kept.
int writeJournal(const TJournal &journal, QString &journalPath)
{
    const QString folder = WriteJournalFolder();
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        errno = EACCES;
        return -1;
    }
    QString tempPath;
    const int fd = createTemporary(QDir(folder).filePath(QStringLiteral("journal")), tempPath, 0600);
    if (fd < 0)
        return -1;
    // ".journal.<tag>.tmp" becomes "<tag>.journal" once complete.
    journalPath = QDir(folder).filePath(QFileInfo(tempPath).fileName().section(u'.', 2, 2) + ".journal");
    qint64 unlimited = -1;
    int error = ::flock(fd, LOCK_EX) == 0 ? 0 : errno;
    if (!error)
        error = writeAll(fd, encodeJournal(journal), unlimited);
    if (!error && ::fsync(fd) != 0)
        error = errno;
    if (!error && ::rename(nativePath(tempPath).constData(), nativePath(journalPath).constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(nativePath(tempPath).constData());
        ::close(fd);
        errno = error;
        return -1;
    }
    syncFolder(journalPath);
    return fd;
}

// Ends a journal whose write is done; unlinked before the lock goes with the
// descriptor, so that no replay finds it unlocked.
void discardJournal(int fd, const QString &journalPath)
{
    ::unlink(nativePath(journalPath).constData());
    ::close(fd);
}

// For a file in a folder that takes no new files. The old bytes go to a
// journal first, so that a failed write, or one a kill ends, can put them back;
// without a journal nothing is written and the folder's refusal stands.
TWriteResult writeInPlace(const QString &target, const QByteArray &bytes, qint64 &budget, int folderError)
{
    const int fd = retried([&] { return ::open(nativePath(target).constData(), O_RDWR | O_CLOEXEC); });
    if (fd < 0)
        return {errno};
    TJournal journal{QFileInfo(target).absoluteFilePath(), {}, bytes};
    if (const int error = readAll(fd, journal.Old, Unlimited)) {
        ::close(fd);
        return {error};
    }
    QString journalPath;
    const int journalFd = writeJournal(journal, journalPath);
    if (journalFd < 0) {
        ::close(fd);
        return {folderError};
    }
    exitIfFaultAt(TWriteFaults::TStep::JournalWritten);
    TWriteResult result{overwrite(fd, bytes, budget)};
    exitIfFaultAt(TWriteFaults::TStep::Synced);
    if (result.Error)
        result.Damaged = !restore(fd, journal.Old);
    if (::close(fd) != 0 && !result.Error)
        result.Error = errno;
    // Old bytes that could not be put back stay in the journal for the next start.
    if (result.Damaged)
        ::close(journalFd);
    else
        discardJournal(journalFd, journalPath);
    return result;
}

// A device, FIFO or socket takes the bytes as they come or refuses them;
// renaming over it would replace it.
TWriteResult writeIntoNonFile(const QString &target, const QByteArray &bytes, qint64 &budget)
{
    // Non-blocking only while opening: a FIFO without a reader refuses at once.
    const int fd =
        retried([&] { return ::open(nativePath(target).constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC); });
    if (fd < 0)
        return {errno, false, TWriteRefusal::NotAFile};
    int error = ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0 ? 0 : errno;
    if (!error)
        error = writeAll(fd, bytes, budget);
    if (::close(fd) != 0 && !error)
        error = errno;
    return {error};
}

// Write rights a rename would not ask for: none for anyone, or none for this user.
bool isReadOnlyFile(const QString &target, const struct stat &info)
{
    if ((info.st_mode & 0222) == 0)
        return true;
    return ::access(nativePath(target).constData(), W_OK) != 0 && (errno == EACCES || errno == EPERM);
}

// Takes a journal's lock unless its writer still holds it; -1 also for a
// journal that its writer removed meanwhile.
int lockJournal(const QString &path)
{
    const int fd = retried([&] { return ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC); });
    if (fd < 0)
        return -1;
    struct stat held, named;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 &&
        ::stat(nativePath(path).constData(), &named) == 0 && held.st_ino == named.st_ino && held.st_dev == named.st_dev)
        return fd;
    ::close(fd);
    return -1;
}

// Puts the journal's file back where it shows the unfinished write; false
// while the file can be neither read nor put back, so the journal must stay.
bool settleJournal(const TJournal &journal, QString &notice)
{
    QByteArray current;
    if (const int readError = ReadFileBytes(journal.Target, current))
        return readError == ENOENT;
    if (!showsUnfinishedWrite(current, journal))
        return true;
    const int fd = retried([&] { return ::open(nativePath(journal.Target).constData(), O_RDWR | O_CLOEXEC); });
    if (fd < 0)
        return false;
    const bool restored = restore(fd, journal.Old);
    ::close(fd);
    if (restored)
        notice = QStringLiteral("Das Speichern von \"%1\" wurde abgebrochen; die Datei hat wieder ihren vorigen "
                                "Inhalt.")
                     .arg(journal.Target);
    return restored;
}

// Settles one journal file; returns the notice for the user, empty when
// nothing was put back. An unfinished journal (".journal.*.tmp") or an
// unreadable one guards no write and goes.
QString replayJournal(const QString &path)
{
    const int fd = lockJournal(path);
    if (fd < 0)
        return {};
    QByteArray bytes;
    TJournal journal;
    QString notice;
    const bool complete = path.endsWith(QStringLiteral(".journal")) && readAll(fd, bytes, Unlimited) == 0 &&
                          decodeJournal(bytes, journal);
    if (!complete || settleJournal(journal, notice))
        discardJournal(fd, path);
    else
        ::close(fd);
    return notice;
}

// Writes a temporary file completely, then renames it over the target.
TWriteResult writeViaTemporary(int fd, const QString &tempPath, const QString &target, const QByteArray &bytes,
                               qint64 &budget)
{
    copyAccessRights(target, fd);
    int error = writeAll(fd, bytes, budget);
    const int closeError = syncAndClose(fd);
    if (!error)
        error = closeError;
    if (!error && ::rename(nativePath(tempPath).constData(), nativePath(target).constData()) != 0)
        error = errno;
    if (error) {
        ::unlink(nativePath(tempPath).constData());
        return {error};
    }
    syncFolder(target);
    return {};
}

} // namespace

QString SystemErrorText(int errnum)
{
    switch (errnum) {
    case ENOENT:
        return QStringLiteral("Die Datei oder der Ordner existiert nicht.");
    case EACCES:
    case EPERM:
        return QStringLiteral("Zugriff verweigert.");
    case EISDIR:
        return QStringLiteral("Es ist ein Ordner.");
    case ENOTDIR:
        return QStringLiteral("Ein Teil des Pfades ist kein Ordner.");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Auf dem Datenträger ist kein Platz mehr frei.");
    case EROFS:
        return QStringLiteral("Das Dateisystem ist schreibgeschützt.");
    case EFBIG:
    case EOVERFLOW:
        return QStringLiteral("Die Datei ist zu groß.");
    case EIO:
        return QStringLiteral("Ein-/Ausgabefehler des Datenträgers.");
    default:
        // The system's own words stay as a hint for whoever helps the user.
        return QStringLiteral("Systemfehler %1 (%2).").arg(errnum).arg(qt_error_string(errnum));
    }
}

int ReadFileBytes(const QString &path, QByteArray &bytes, qint64 maxBytes)
{
    const int fd = retried([&] { return ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC); });
    if (fd < 0)
        return errno;
    const qint64 limit = maxBytes >= 0 ? maxBytes + 1 : std::numeric_limits<qint64>::max();
    QByteArray read;
    int error = readAll(fd, read, limit);
    ::close(fd);
    if (!error)
        bytes = read;
    return error;
}

TWriteResult WriteFileBytes(const QString &path, const QByteArray &bytes)
{
    const QString target = resolvedTarget(path);
    qint64 budget = faults().FailAfterBytes;
    struct stat info;
    const bool exists = ::stat(nativePath(target).constData(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))
        return writeIntoNonFile(target, bytes, budget);
    if (exists && S_ISREG(info.st_mode) && isReadOnlyFile(target, info))
        return {EACCES, false, TWriteRefusal::ReadOnlyFile};
    removeStaleTemporaries(target);
    QString tempPath;
    const int fd = faults().NoTemporaryFile ? (errno = EACCES, -1) : createTemporary(target, tempPath);
    if (fd >= 0)
        return writeViaTemporary(fd, tempPath, target, bytes, budget);
    const int createError = errno;
    if (exists && S_ISREG(info.st_mode))
        return writeInPlace(target, bytes, budget, createError);
    return {createError};
}

QStringList ReplayWriteJournals()
{
    const QString folder = WriteJournalFolder();
    if (folder.isEmpty())
        return {};
    QStringList notices;
    const QDir journals(folder);
    const QStringList names =
        journals.entryList({QStringLiteral("*.journal"), QStringLiteral(".journal.*.tmp")}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        const QString notice = replayJournal(journals.filePath(name));
        if (!notice.isEmpty())
            notices << notice;
    }
    return notices;
}

QString WriteJournalFolder()
{
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return cache.isEmpty() ? QString() : cache + QStringLiteral("/grazlo/journal");
}

void SetWriteFaults(const TWriteFaults &injected) { faults() = injected; }

QString WriteFailureText(const QString &path, const TWriteResult &written)
{
    QString reason = SystemErrorText(written.Error);
    if (written.Refusal == TWriteRefusal::ReadOnlyFile)
        reason = QStringLiteral("Die Datei ist schreibgeschützt.");
    else if (written.Refusal == TWriteRefusal::NotAFile)
        reason = QStringLiteral("Es ist keine gewöhnliche Datei, und sie nimmt nichts an.");
    QString text = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2").arg(path, reason);
    if (written.Damaged)
        text += QStringLiteral(" Ihr alter Inhalt konnte nicht wiederhergestellt werden.");
    return text;
}
