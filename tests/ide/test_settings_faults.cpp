// The settings file on a full disk and with text that looks like a byte-order
// mark: its other sections survive, and what is written reads back.
#include "ide/uWindowSettings.h"
#include "tests/support/FileFaults.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

TEST(SettingsFaults, AFullDiskKeepsTheWholeFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("grazlo.ini");
    QByteArray original = "[ressources]\n";
    for (int i = 0; i < 100; ++i)
        original += "bild" + QByteArray::number(i) + "=datei.bmp\n";
    WriteAll(path, original);

    const grazlo_test::TChildOutcome outcome = grazlo_test::RunWithFileSizeLimit(original.size(), [&] {
        TIniFile ini(path);
        try {
            WriteMainSettings(ini, TMainSettings());
        } catch (const TIniWriteError &error) {
            return error.Reason;
        }
        return QStringLiteral("geschrieben");
    });
    ASSERT_TRUE(outcome.Exited);
    EXPECT_EQ(outcome.Text.toStdString(),
              ("Die Datei \"" + path + "\" kann nicht geschrieben werden: Die Datei ist zu groß.").toStdString());
    EXPECT_EQ(ReadAll(path), original);
}

TEST(SettingsFaults, AWindows1252FileStartingWithThornAndYReadsBackAsWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("grazlo.ini");
    WriteAll(path, "\xFE\xFF;x\n[ressources]\npath=.\n");  // an odd length: no UTF-16
    TIniFile(path).WriteInteger("main", "left", 3);

    const TIniFile back(path);
    EXPECT_EQ(back.ReadInteger("main", "left", 0), 3);
    EXPECT_EQ(back.ReadString("ressources", "path", ""), ".");
    EXPECT_EQ(ReadAll(path), "\xEF\xBB\xBF\xC3\xBE\xC3\xBF;x\n[ressources]\npath=.\n\n[main]\nleft=3\n");
}
