// The seven pictures: where they are looked up, all-or-nothing loading, and
// how tiles paint with them.
#include "sheep/uTile.h"
#include "tests/support/ModalRecorder.h"
#include "tests/support/Printers.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList PictureFiles{"schaf_north.bmp", "schaf_east.bmp", "schaf_south.bmp", "schaf_west.bmp",
                               "baum.bmp",        "weg.bmp",        "mark.bmp"};

class TileImages : public ::testing::Test
{
protected:
    void SetUp() override { iOldCwd = QDir::currentPath(); }
    void TearDown() override
    {
        QDir::setCurrent(iOldCwd);
        for (const auto &[text, kind] : iModal.shown)
            EXPECT_EQ(kind, TModalKind::Warning) << text.toStdString();
    }

    void copyPictures(const QString &folder, const QStringList &names = PictureFiles)
    {
        QDir().mkpath(folder);
        for (const QString &name : names)
            ASSERT_TRUE(QFile::copy(QString(GRAZLO_SOURCE_DIR) + "/resources/runtime/" + name, folder + "/" + name));
    }

    void writeIni(const QString &text)
    {
        QFile ini(iSettings.filePath("grazlo.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(text.toUtf8());
    }

    static bool allLoaded()
    {
        for (int i = 0; i < ImageCount; ++i)
            if (TileImage(TImageKey(i)).isNull())
                return false;
        return true;
    }

    static bool noneLoaded()
    {
        for (int i = 0; i < ImageCount; ++i)
            if (!TileImage(TImageKey(i)).isNull())
                return false;
        return true;
    }

    QString iOldCwd;
    TModalRecorder iModal;
    QTemporaryDir iSettings; // the executable's folder
    QTemporaryDir iWork;     // the working folder
};

QRgb paintTile(TTileType tt)
{
    QImage target(30, 30, QImage::Format_RGB32);
    target.fill(Qt::black);
    QPainter p(&target);
    TTile(tt).Draw(p, QRect(0, 0, 30, 30));
    p.end();
    return target.pixel(0, 0);
}

} // namespace

TEST_F(TileImages, LoadFromTheWorkingFolderByDefault)
{
    copyPictures(iWork.path());
    QDir::setCurrent(iWork.path());
    EXPECT_TRUE(LoadTileImages(iSettings.path()));
    EXPECT_TRUE(allLoaded());
    EXPECT_TRUE(iModal.texts().isEmpty());

    // Beside the executable is not where they are looked for.
    copyPictures(iSettings.path());
    QDir::setCurrent(QDir::tempPath());
    EXPECT_FALSE(LoadTileImages(iSettings.path()));
    EXPECT_EQ(iModal.texts(), QStringList{"Fehler: Fehlende Dateien!"});
    EXPECT_TRUE(noneLoaded());
}

TEST_F(TileImages, SettingsNameTheFolderAndFiles)
{
    copyPictures(iWork.filePath("images"));
    QDir::setCurrent(iWork.path());
    writeIni("[ressources]\npath=images\n");
    EXPECT_TRUE(LoadTileImages(iSettings.path()));
    writeIni("[ressources]\npath=images/\n");
    EXPECT_TRUE(LoadTileImages(iSettings.path()));
    EXPECT_TRUE(allLoaded());

    QFile::rename(iWork.filePath("images/baum.bmp"), iWork.filePath("images/eiche.bmp"));
    EXPECT_FALSE(LoadTileImages(iSettings.path()));
    QFile::rename(iWork.filePath("images/mark.bmp"), iWork.filePath("images/mark,neu.bmp"));
    writeIni("[Ressources]\nPATH=" + iWork.filePath("images") + "\ntree=eiche.bmp\nMark=mark,neu.bmp\n");
    QDir::setCurrent(QDir::tempPath());
    EXPECT_TRUE(LoadTileImages(iSettings.path())) << "names in any letter case, commas kept";
    EXPECT_EQ(iModal.texts().size(), 1);
}

// A profile value is the text after "=" as written: a blank after a comma, a
// semicolon and a backslash belong to the file name.
TEST_F(TileImages, FileNamesAreReadAsWritten)
{
    copyPictures(iWork.path());
    QDir::setCurrent(iWork.path());
    const QString name = "mark, neu;1 \\ b.bmp";
    ASSERT_TRUE(QFile::rename(iWork.filePath("mark.bmp"), iWork.filePath(name)));
    writeIni("[ressources]\nMark=" + name + "\n");
    EXPECT_TRUE(LoadTileImages(iSettings.path()));
    EXPECT_TRUE(iModal.texts().isEmpty());
    EXPECT_TRUE(allLoaded());
}

TEST_F(TileImages, OneMissingOrBrokenFileLeavesAllEmpty)
{
    copyPictures(iWork.path(), PictureFiles.mid(0, 6));
    QDir::setCurrent(iWork.path());
    EXPECT_FALSE(LoadTileImages(iSettings.path()));
    EXPECT_EQ(iModal.texts(), QStringList{"Fehler: Fehlende Dateien!"});
    EXPECT_TRUE(noneLoaded());

    QFile broken(iWork.filePath("mark.bmp"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a bitmap");
    broken.close();
    EXPECT_FALSE(LoadTileImages(iSettings.path()));
    EXPECT_EQ(iModal.texts().size(), 2);
    EXPECT_TRUE(noneLoaded());
}

TEST_F(TileImages, TilesPaintFillAndPictureWithExactTransparency)
{
    QDir::setCurrent(iWork.path());
    LoadTileImages(iSettings.path());
    EXPECT_EQ(paintTile(ttGreen), qRgb(17, 170, 17));
    EXPECT_EQ(paintTile(ttShortGreen), qRgb(68, 221, 68));
    EXPECT_EQ(paintTile(ttDirt), qRgb(170, 119, 119)) << "without pictures only the fill shows";
    EXPECT_EQ(paintTile(ttTree), qRgb(17, 170, 17));

    copyPictures(iWork.path());
    ASSERT_TRUE(LoadTileImages(iSettings.path()));
    QImage way(iWork.filePath("weg.bmp"));
    EXPECT_EQ(paintTile(ttDirt), way.pixel(0, 0)) << "the path covers its fill";
    EXPECT_EQ(paintTile(ttTree), qRgb(17, 170, 17)) << "blue around the tree is see-through";
    EXPECT_EQ(paintTile(ttMark), qRgb(68, 221, 68));

    const QImage sheep = SheepImage(tdEast);
    EXPECT_EQ(qAlpha(sheep.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(sheep.pixel(15, 15)), 255);
    EXPECT_EQ(&SheepImage(tdWest), &TileImage(TImageKey::SheepWest));
    EXPECT_EQ(qAlpha(TileImage(TImageKey::Way).pixel(0, 0)), 255);
}
