// Storing a lawn onto a full disk.
#include "sheep/uTile.h"
#include "tests/support/FileFaults.h"
#include "tests/support/Printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A stored lawn the new one is written over.
QString storedLawn(const QTemporaryDir &dir)
{
    const QString path = dir.filePath("rasen.glw");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("1,3\r\n0,1\r\n");
    return path;
}
} // namespace

TEST(LawnFaults, AFullDiskKeepsTheStoredLawn)
{
    QTemporaryDir dir;
    const QString path = storedLawn(dir);
    TField field;
    field.SetSize(100, 50); // about 10 kB, small enough for a write buffer

    const grazlo_test::TChildOutcome outcome = grazlo_test::RunWithFileSizeLimit(4096, [&] {
        QString error;
        return field.Store(path, error) ? QStringLiteral("gespeichert") : error;
    });
    ASSERT_TRUE(outcome.Exited);
    EXPECT_EQ(outcome.Text.toStdString(),
              ("Die Datei \"" + path + "\" kann nicht geschrieben werden: Die Datei ist zu groß.").toStdString());
    EXPECT_EQ(contentsOf(path), "1,3\r\n0,1\r\n");
}
