// Writing files so that no failure loses what was there: a full disk, a
// read-only folder, and the German words for the system's errors.
#include "base/uFileBytes.h"
#include "base/uTextFile.h"
#include "tests/support/FileFaults.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList entries(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

const QByteArray Original = "int a = 1\r\nmessage(a)\r\n";

int makeSocket(const QString &path)
{
    sockaddr_un address = {.sun_family = AF_UNIX, .sun_path = {}};
    std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    return fd;
}

// Writes bytes in place in a child that the writer's seam ends at step, as a kill would.
bool killedWhileWriting(const QString &path, const QByteArray &bytes, TWriteFaults::TStep step)
{
    return !grazlo_test::RunWithFileSizeLimit(RLIM_INFINITY, [&] {
                SetWriteFaults({.NoTemporaryFile = true, .ExitAt = step});
                WriteFileBytes(path, bytes);
                return QString();
            }).Exited;
}

bool noJournalsLeft()
{
    return QDir(WriteJournalFolder()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

TEST(FullDisk, AScriptThatDoesNotFitLeavesTheFileAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("skript.klc");
    writeBytes(path, Original);
    // Small enough to sit in a write buffer until the final flush.
    const QStringList lines(200, QStringLiteral("string s = \"eine lange Zeile\""));

    const grazlo_test::TChildOutcome outcome = grazlo_test::RunWithFileSizeLimit(4096, [&] {
        TTextFormat format;
        QString error;
        return WriteTextFile(path, lines, format, error) ? QStringLiteral("gespeichert") : error;
    });
    ASSERT_TRUE(outcome.Exited);
    EXPECT_EQ(outcome.Text, "Die Datei \"" + path + "\" kann nicht geschrieben werden: Die Datei ist zu groß.");
    EXPECT_EQ(fileBytes(path), Original);
    EXPECT_EQ(entries(dir), QStringList{"skript.klc"}) << "no temporary file is left behind";
}

TEST(FaultyWrites, AWriteThatFailsHalfwayKeepsTheOriginal)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rasen.glw");
    writeBytes(path, Original);
    grazlo_test::TWriteFaultScope faults({.FailAfterBytes = 10});
    const TWriteResult result = WriteFileBytes(path, QByteArray(5000, '1'));
    EXPECT_EQ(result.Error, ENOSPC);
    EXPECT_FALSE(result.Damaged);
    EXPECT_EQ(fileBytes(path), Original);
    EXPECT_EQ(entries(dir), QStringList{"rasen.glw"});

    SetWriteFaults({.FailAfterBytes = 5000});
    EXPECT_TRUE(WriteFileBytes(path, QByteArray(5000, '1'))) << "exactly what fits is written";
    EXPECT_EQ(fileBytes(path), QByteArray(5000, '1'));
}

TEST(FaultyWrites, AReplacedFileKeepsItsRightsAndLinksKeepTheirTarget)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("skript.klc");
    writeBytes(path, Original);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    const QString link = dir.filePath("verweis.klc");
    ASSERT_TRUE(QFile::link(path, link));

    ASSERT_TRUE(WriteFileBytes(link, "neu"));
    EXPECT_EQ(fileBytes(path), "neu");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(FaultyWrites, WithoutATemporaryFileAnExistingFileIsWrittenInPlace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("skript.klc");
    writeBytes(path, Original);
    const grazlo_test::TWriteFaultScope faults({.NoTemporaryFile = true});

    ASSERT_TRUE(WriteFileBytes(path, "kurz"));
    EXPECT_EQ(fileBytes(path), "kurz") << "a shorter text leaves nothing of the old one";
    ASSERT_TRUE(WriteFileBytes(path, Original + Original));
    EXPECT_EQ(fileBytes(path), Original + Original);

    const TWriteResult missing = WriteFileBytes(dir.filePath("neu.klc"), "x");
    EXPECT_EQ(missing.Error, EACCES) << "a new file needs the folder";
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("neu.klc")));
}

TEST(SpecialTargets, AFifoOrSocketIsWrittenIntoOrRefusedButNeverReplaced)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("rohr");
    const QString socket = dir.filePath("buchse");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    const int listening = makeSocket(socket);

    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK);
    EXPECT_TRUE(WriteFileBytes(fifo, "schaf")) << "a FIFO with a reader takes the bytes";
    char received[16];
    EXPECT_EQ(::read(reader, received, sizeof received), 5);
    ::close(reader);
    for (const QString &path : {fifo, socket}) {
        const TWriteResult refused = WriteFileBytes(path, "x");
        EXPECT_FALSE(refused) << path.toStdString();
        EXPECT_EQ(WriteFailureText(path, refused), "Die Datei \"" + path +
                                                       "\" kann nicht geschrieben werden: Es ist keine gewöhnliche "
                                                       "Datei, und sie nimmt nichts an.");
        EXPECT_FALSE(QFileInfo(path).isFile()) << "never replaced by a plain file";
    }
    EXPECT_EQ(entries(dir), (QStringList{"buchse", "rohr"}));
    ::close(listening);
}

TEST(ReadOnlyFiles, AreRefusedAndLeftAsTheyWereAlsoInAReadOnlyFolder)
{
    for (const bool readOnlyFolder : {false, true}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("skript.klc");
        writeBytes(path, Original);
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
        const grazlo_test::TWriteFaultScope faults({.NoTemporaryFile = readOnlyFolder});

        const TWriteResult refused = WriteFileBytes(path, "neu");
        EXPECT_EQ(WriteFailureText(path, refused),
                  "Die Datei \"" + path + "\" kann nicht geschrieben werden: Die Datei ist schreibgeschützt.");
        EXPECT_EQ(fileBytes(path), Original);
        EXPECT_EQ(QFileInfo(path).permissions() & QFile::WriteOwner, 0);
    }
}

TEST(FaultyWrites, ASaveRemovesTheTemporaryFilesAnEndedSaveOfTheSameFileLeft)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("skript.klc");
    const QStringList others = {".skript.klc.0000000g.tmp", ".skript.klc.1234abcd.tmp.alt",
                                ".xskript.klc.1234abcd.tmp"};
    for (const QString &name : others + QStringList{".skript.klc.0badf00d.tmp", ".skript.klc.1234abcd.tmp"})
        writeBytes(dir.filePath(name), "");

    ASSERT_TRUE(WriteFileBytes(path, Original));
    EXPECT_EQ(entries(dir), others + QStringList{"skript.klc"});
}

TEST(InterruptedWrites, AFileWrittenInPlaceIsOldOrNewOrPutBackAtTheNextStart)
{
    using TStep = TWriteFaults::TStep;
    const QByteArray shorter = "kurz";
    for (const TStep step : {TStep::JournalWritten, TStep::BytesWritten, TStep::Truncated, TStep::Synced}) {
        QTemporaryDir dir;
        const QString path = dir.filePath("skript.klc");
        writeBytes(path, Original);
        ASSERT_TRUE(killedWhileWriting(path, shorter, step));
        const QStringList notices = ReplayWriteJournals();
        const QByteArray now = fileBytes(path);
        EXPECT_TRUE(now == Original || now == shorter) << static_cast<int>(step) << ": " << now.toStdString();
        if (!notices.isEmpty()) {
            EXPECT_EQ(notices, QStringList{"Das Speichern von \"" + path +
                                           "\" wurde abgebrochen; die Datei hat wieder ihren vorigen Inhalt."});
        }
        EXPECT_TRUE(noJournalsLeft());
    }
    // A write that fails rather than being killed puts the old bytes back at once.
    QTemporaryDir dir;
    const QString path = dir.filePath("skript.klc");
    writeBytes(path, Original);
    const grazlo_test::TWriteFaultScope faults({.FailAfterBytes = 10, .NoTemporaryFile = true});
    EXPECT_EQ(WriteFileBytes(path, QByteArray(1000, 'x')).Error, ENOSPC);
    EXPECT_EQ(fileBytes(path), Original);
    EXPECT_TRUE(noJournalsLeft());
}

TEST(InterruptedWrites, AFileChangedSinceIsNotPutBackAndUnfinishedJournalsGo)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("skript.klc");
    writeBytes(path, Original);
    ASSERT_TRUE(killedWhileWriting(path, "kurz", TWriteFaults::TStep::BytesWritten));
    writeBytes(path, "von Hand");
    writeBytes(QDir(WriteJournalFolder()).filePath(".journal.0badf00d.tmp"), "a journal killed while written");
    EXPECT_TRUE(ReplayWriteJournals().isEmpty());
    EXPECT_EQ(fileBytes(path), "von Hand");
    EXPECT_TRUE(noJournalsLeft());
}

TEST(InterruptedWrites, WithoutAJournalAWriteInPlaceIsRefused)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("skript.klc");
    writeBytes(path, Original);
    writeBytes(dir.filePath("cache"), "a file where the cache folder would be");
    const QByteArray cache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("cache")));
    const grazlo_test::TWriteFaultScope faults({.NoTemporaryFile = true});
    const TWriteResult refused = WriteFileBytes(path, "neu");
    qputenv("XDG_CACHE_HOME", cache);
    EXPECT_EQ(refused.Error, EACCES) << "as for a new file in a read-only folder";
    EXPECT_EQ(fileBytes(path), Original);
}

TEST(SystemErrors, AreSaidInGerman)
{
    EXPECT_EQ(SystemErrorText(ENOENT), "Die Datei oder der Ordner existiert nicht.");
    EXPECT_EQ(SystemErrorText(EACCES), "Zugriff verweigert.");
    EXPECT_EQ(SystemErrorText(EPERM), "Zugriff verweigert.");
    EXPECT_EQ(SystemErrorText(EISDIR), "Es ist ein Ordner.");
    EXPECT_EQ(SystemErrorText(ENOSPC), "Auf dem Datenträger ist kein Platz mehr frei.");
    EXPECT_EQ(SystemErrorText(EROFS), "Das Dateisystem ist schreibgeschützt.");
    EXPECT_EQ(SystemErrorText(EFBIG), "Die Datei ist zu groß.");
    EXPECT_TRUE(SystemErrorText(EMLINK).startsWith(QString("Systemfehler %1 (").arg(EMLINK)));

    QTemporaryDir dir;
    TTextLines text;
    QString error;
    const QString missing = dir.filePath("nix.gzc");
    EXPECT_FALSE(ReadTextFile(missing, text, error));
    EXPECT_EQ(error,
              "Die Datei \"" + missing + "\" kann nicht gelesen werden: Die Datei oder der Ordner existiert nicht.");
    EXPECT_FALSE(ReadTextFile(dir.path(), text, error));
    EXPECT_EQ(error, "Die Datei \"" + dir.path() + "\" kann nicht gelesen werden: Es ist ein Ordner.");
}
