// The lawn: rows and fields, lawn files, levels and counts.
#include "sheep/uTile.h"
#include "tests/support/Printers.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString codes(const TTileList &row) { return row.Serialize(); }

QStringList rowsOf(const TField &field)
{
    QStringList rows;
    for (int r = 0; r < field.RowCount(); ++r)
        rows.append(field.Rows(r).Serialize());
    return rows;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

int bruteCount(const TField &field, TTileType tt)
{
    int n = 0;
    for (int r = 0; r < field.RowCount(); ++r)
        for (int c = 0; c < field.Rows(r).Count(); ++c)
            n += field.Rows(r).Tiles(c).TileType() == tt;
    return n;
}

// Rows may be ragged here, so a cell is checked against its own row.
bool inRow(const TField &field, int c, int r) { return r < field.RowCount() && c < field.Rows(r).Count(); }

void expectCountsTrue(const TField &field)
{
    for (int t = 0; t < TileTypeCount; ++t)
        ASSERT_EQ(field.GetCount(TTileType(t)), bruteCount(field, TTileType(t))) << "kind " << t;
}

} // namespace

TEST(Rows, ReadCodesAndFallBackToGrass)
{
    TTileList row;
    row.setSerialize("1,,3");
    EXPECT_EQ(codes(row), "1,1,3");
    row.setSerialize("1,7,x");
    EXPECT_EQ(codes(row), "1,1,1");
    row.setSerialize("0,1,2,3,4,-1,5, 2");
    EXPECT_EQ(codes(row), "0,1,2,3,4,1,1,2");
    row.setSerialize("");
    EXPECT_EQ(row.Count(), 0);
    EXPECT_EQ(row.Serialize(), "");

    row.setSerialize("0,3");
    row.SetCount(4);
    EXPECT_EQ(codes(row), "0,3,1,1");
    row.SetCount(1);
    EXPECT_EQ(codes(row), "0");
    row.SetCount(-3);
    EXPECT_EQ(row.Count(), 0);
    EXPECT_THROW(row.Tiles(0), std::out_of_range);
}

TEST(Field, LoadsRaggedRowsToTheFirstRowsWidth)
{
    TField field;
    field.Load(QStringList{"1,2,3", "4"});
    ASSERT_EQ(field.ColCount(), 3);
    ASSERT_EQ(field.RowCount(), 2);
    EXPECT_EQ(rowsOf(field), (QStringList{"1,2,3", "4,1,1"}));

    field.Load(QStringList{"0,0", "3,3,3,3", ""});
    EXPECT_EQ(rowsOf(field), (QStringList{"0,0", "3,3", "1,1"}));

    field.Load(QStringList{"", "1,1"});
    EXPECT_EQ(field.RowCount(), 2);
    EXPECT_EQ(field.ColCount(), 0);
    EXPECT_EQ(field.Rows(1).Count(), 0);
    EXPECT_FALSE(field.Valid(0, 0));

    field.Load(QStringList{});
    EXPECT_EQ(field.RowCount(), 0);
    EXPECT_EQ(field.ColCount(), 0);
    EXPECT_FALSE(field.Valid(0, 0));
}

TEST(Field, ValidAndResizeKeepTilesInPlace)
{
    TField field;
    ApplyLevel(field, 6);
    EXPECT_TRUE(field.Valid(0, 0));
    EXPECT_TRUE(field.Valid(9, 9));
    EXPECT_FALSE(field.Valid(-1, 0));
    EXPECT_FALSE(field.Valid(10, 0));
    EXPECT_FALSE(field.Valid(0, 10));
    EXPECT_FALSE(field.Valid(0, -1));

    const QStringList before = rowsOf(field);
    field.SetSize(12, 8);
    ASSERT_EQ(field.ColCount(), 12);
    ASSERT_EQ(field.RowCount(), 8);
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(field.Rows(r).Serialize(), before[r] + ",1,1");

    field.SetSize(-2, 3);
    EXPECT_EQ(field.RowCount(), 3);
    EXPECT_EQ(field.ColCount(), 0);
    field.SetSize(2, -1);
    EXPECT_EQ(field.RowCount(), 0);
}

TEST(Field, CountsStayTrueUnderEveryKindOfChange)
{
    TField field;
    ApplyLevel(field, 5);
    expectCountsTrue(field);
    QRandomGenerator rng(42);
    for (int i = 0; i < 2000; ++i) {
        const int c = rng.bounded(field.ColCount() + 1), r = rng.bounded(field.RowCount() + 1);
        const auto tt = TTileType(rng.bounded(TileTypeCount));
        switch (rng.bounded(9)) {
        case 0:
            if (inRow(field, c, r))
                field.setTileType(c, r, tt);
            break;
        case 1:
            if (inRow(field, c, r))
                field.setCell(c, r, TTile(tt));
            break;
        case 2:
            field.GrowUp();
            break;
        case 3:
            field.SetSize(rng.bounded(1, 14), rng.bounded(1, 14));
            break;
        case 4:
            if (field.RowCount() > 0)
                field.Rows(r % field.RowCount()).setSerialize("4,2,0,3,9");
            break;
        case 5:
            if (rng.bounded(20) == 0)
                field.Init();
            break;
        case 6:
            if (field.RowCount() > 0) {
                TTileList row;
                row.setSerialize("2,2,4");
                field.setRows(r % field.RowCount(), row);
            }
            break;
        case 7:
            if (field.RowCount() > 0)
                field.Rows(r % field.RowCount()).SetCount(c);
            break;
        default:
            if (rng.bounded(30) == 0)
                ApplyLevel(field, rng.bounded(1, 7));
            break;
        }
        expectCountsTrue(field);
    }
}

TEST(Levels, HaveTheirLayoutsAndCounts)
{
    TField field;
    field.Load(QStringList(15, "2,2,2,2,2,2,2,2,2,2,2,2,2,2,2"));
    ASSERT_TRUE(ApplyLevel(field, 1));
    EXPECT_EQ(field.ColCount(), 10);
    EXPECT_EQ(field.RowCount(), 10);
    EXPECT_EQ(field.GetCount(ttGreen), 100);

    ASSERT_TRUE(ApplyLevel(field, 2));
    EXPECT_EQ(field.GetCount(ttGreen), 12);
    EXPECT_EQ(field.GetCount(ttDirt), 88);
    ASSERT_TRUE(ApplyLevel(field, 3));
    EXPECT_EQ(field.GetCount(ttGreen), 99);
    EXPECT_EQ(field.Cell(4, 4).TileType(), ttTree);
    ASSERT_TRUE(ApplyLevel(field, 4));
    EXPECT_EQ(field.Rows(4).Serialize(), "1,1,1,0,0,0,0,1,1,1");
    ASSERT_TRUE(ApplyLevel(field, 5));
    EXPECT_EQ(field.Rows(9).Serialize(), "1,0,1,1,1,1,1,3,3,3");
    ASSERT_TRUE(ApplyLevel(field, 6));
    EXPECT_EQ(field.Rows(0).Serialize(), "1,1,3,0,0,0,0,0,0,1");
    EXPECT_EQ(field.GetCount(ttTree), 31);

    for (int level = 2; level <= 6; ++level) {
        ApplyLevel(field, level);
        EXPECT_EQ(field.ColCount(), 10);
        EXPECT_EQ(field.RowCount(), 10);
        EXPECT_EQ(WriteCommaText(rowsOf(field)), LevelLayout(level)) << "stored form of level " << level;
    }
    EXPECT_FALSE(ApplyLevel(field, 7));
    EXPECT_FALSE(ApplyLevel(field, 0));
    EXPECT_EQ(rowsOf(field).front(), "1,1,3,0,0,0,0,0,0,1");
}

TEST(LawnFiles, StoreRegrowsAndLoadGivesTheFieldBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("rasen.glw");
    TField field;
    field.Load(QStringList{"0,2,4", "3,1,2"});
    QString error;
    ASSERT_TRUE(field.Store(path, error)) << error.toStdString();
    EXPECT_EQ(readFile(path), QByteArray("0,1,1\r\n3,1,1\r\n"));
    EXPECT_EQ(rowsOf(field), (QStringList{"0,1,1", "3,1,1"})) << "the live lawn regrew";

    TField loaded;
    ASSERT_TRUE(loaded.Load(path, error));
    EXPECT_EQ(rowsOf(loaded), rowsOf(field));

    writeFile(path, "1,2,3\n4");
    ASSERT_TRUE(loaded.Load(path, error));
    EXPECT_EQ(rowsOf(loaded), (QStringList{"1,2,3", "4,1,1"}));

    writeFile(path, "");
    ASSERT_TRUE(loaded.Load(path, error));
    EXPECT_EQ(loaded.RowCount(), 0);

    writeFile(path, "\xEF\xBB\xBF"
                    "1,0\r\n\r\n");
    ASSERT_TRUE(loaded.Load(path, error));
    EXPECT_EQ(rowsOf(loaded), (QStringList{"1,0", "1,1"}));
}

TEST(LawnFiles, BadFilesFailCleanlyAndKeepTheLawn)
{
    QTemporaryDir dir;
    TField field;
    ApplyLevel(field, 4);
    const QStringList level4 = rowsOf(field);
    QString error;

    EXPECT_FALSE(field.Load(dir.filePath("fehlt.glw"), error));
    EXPECT_TRUE(error.contains("fehlt.glw")) << error.toStdString();
    EXPECT_EQ(rowsOf(field), level4);

    const QString wide = dir.filePath("wide.glw");
    writeFile(wide, QByteArray("1,").repeated(TField::MaxSize) + "1\r\n");
    EXPECT_FALSE(field.Load(wide, error));
    EXPECT_TRUE(error.contains("zu groß")) << error.toStdString();
    EXPECT_EQ(rowsOf(field), level4);

    const QString tall = dir.filePath("tall.glw");
    writeFile(tall, QByteArray("1\n").repeated(TField::MaxSize + 1));
    EXPECT_FALSE(field.Load(tall, error));

    const QString huge = dir.filePath("huge.glw");
    writeFile(huge, QByteArray(TField::MaxFileBytes + 1, ' '));
    EXPECT_FALSE(field.Load(huge, error));
    EXPECT_EQ(rowsOf(field), level4);

    // The largest allowed lawn loads; rows below the first may be far wider.
    const QString largest = dir.filePath("largest.glw");
    const QByteArray row = QByteArray("2,").repeated(TField::MaxSize - 1) + "3\n";
    writeFile(largest, row.repeated(TField::MaxSize - 1) + QByteArray("0,").repeated(500000));
    ASSERT_TRUE(field.Load(largest, error)) << error.toStdString();
    EXPECT_EQ(field.ColCount(), TField::MaxSize);
    EXPECT_EQ(field.RowCount(), TField::MaxSize);
    EXPECT_EQ(field.GetCount(ttShortGreen), (TField::MaxSize - 1) * (TField::MaxSize - 1));
    EXPECT_EQ(field.GetCount(ttDirt), TField::MaxSize);

    QByteArray garbage(4096, '\0');
    QRandomGenerator rng(7);
    for (char &b : garbage)
        b = char(rng.bounded(256));
    const QString binary = dir.filePath("binary.glw");
    writeFile(binary, garbage);
    EXPECT_TRUE(field.Load(binary, error));
    for (int r = 1; r < field.RowCount(); ++r)
        EXPECT_EQ(field.Rows(r).Count(), field.ColCount());

    const QString blocked = binary + "/unter.glw";
    EXPECT_FALSE(field.Store(blocked, error));
    EXPECT_TRUE(error.contains("kann nicht geschrieben werden")) << error.toStdString();
}
