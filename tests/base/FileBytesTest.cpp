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
#include <sys/stat.h>

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

TEST(FullDisk, AWriteInPlaceThatDoesNotFitPutsTheOldBytesBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("skript.klc");
    writeBytes(path, Original);
    const grazlo_test::TChildOutcome outcome = grazlo_test::RunWithFileSizeLimit(100, [&] {
        SetWriteFaults({.NoTemporaryFile = true});
        return QString::number(WriteFileBytes(path, QByteArray(1000, 'x')).Error);
    });
    ASSERT_TRUE(outcome.Exited);
    EXPECT_EQ(outcome.Text, QString::number(EFBIG));
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
