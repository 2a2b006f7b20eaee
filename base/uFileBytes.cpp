#include "base/uFileBytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Bytes read from a file per system call.
constexpr size_t ReadChunkBytes = 64 * 1024;
// Random names tried for a temporary file before giving up.
constexpr int TemporaryNameAttempts = 16;

TWriteFaults &faults()
{
    static TWriteFaults injected;
    return injected;
}

QByteArray nativePath(const QString &path) { return QFile::encodeName(path); }

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

// A new, empty file beside target under a name of its own; -1 with errno set
// when none can be made. New files get the rights the umask allows.
int createTemporary(const QString &target, QString &tempPath)
{
    if (faults().NoTemporaryFile) {
        errno = EACCES;
        return -1;
    }
    const QFileInfo info(target);
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        const quint32 tag = QRandomGenerator::global()->generate();
        tempPath =
            info.dir().filePath(QStringLiteral(".%1.%2.tmp").arg(info.fileName()).arg(tag, 8, 16, QLatin1Char('0')));
        const int fd = retried(
            [&] { return ::open(nativePath(tempPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); });
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
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

// Puts the old bytes back after a failed in-place write.
bool restore(int fd, const QByteArray &old)
{
    qint64 unlimited = -1;
    return ::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, old, unlimited) == 0 && ::ftruncate(fd, old.size()) == 0 &&
           ::fsync(fd) == 0;
}

// For a file in a folder that takes no new files. The old bytes are read
// first, so that a failed write can put them back.
TWriteResult writeInPlace(const QString &target, const QByteArray &bytes, qint64 &budget)
{
    const int fd = retried([&] { return ::open(nativePath(target).constData(), O_RDWR | O_CLOEXEC); });
    if (fd < 0)
        return {errno};
    QByteArray old;
    TWriteResult result{readAll(fd, old, std::numeric_limits<qint64>::max())};
    if (!result.Error && ::lseek(fd, 0, SEEK_SET) != 0)
        result.Error = errno;
    if (!result.Error) {
        result.Error = writeAll(fd, bytes, budget);
        if (!result.Error && ::ftruncate(fd, bytes.size()) != 0)
            result.Error = errno;
        if (!result.Error && ::fsync(fd) != 0)
            result.Error = errno;
        if (result.Error)
            result.Damaged = !restore(fd, old);
    }
    if (::close(fd) != 0 && !result.Error)
        result.Error = errno;
    return result;
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
    QString tempPath;
    const int fd = createTemporary(target, tempPath);
    if (fd >= 0)
        return writeViaTemporary(fd, tempPath, target, bytes, budget);
    const int createError = errno;
    if (QFileInfo(target).isFile())
        return writeInPlace(target, bytes, budget);
    return {createError};
}

void SetWriteFaults(const TWriteFaults &injected) { faults() = injected; }

QString WriteFailureText(const QString &path, const TWriteResult &written)
{
    QString text =
        QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2").arg(path, SystemErrorText(written.Error));
    if (written.Damaged)
        text += QStringLiteral(" Ihr alter Inhalt konnte nicht wiederhergestellt werden.");
    return text;
}
